// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Export as Markdown: the saved note as note.md with copies of its picture and file beside it,
// byte for byte; a second export beside the first; an empty note and a folder that cannot be
// made are refused; a conversion that gives nothing leaves no copy behind.
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notehtml/mhtexport_p.h"
#include "store/notefolderexport.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

class MarkdownExport : public EditorPageSuite
{
protected:
    void SetUp() override
    {
        editor = new CZorvaEditorImpl;
        ASSERT_TRUE(openEditor(editor, &host));
        ASSERT_TRUE(waitForScript(editor->page(), u"window.Tavrik && Tavrik.ready === true"_s));
        editor->NewEditor(noteId, false);
    }

    // A heading, a checklist and a code block, then a blue picture and the card of a text
    // file added at the end, saved.
    void writeNote()
    {
        runScript(
            editor->page(),
            u"(function(){Tavrik.editor.setContent('<h2>Plan 计划</h2><ul class=\"checklist\">"
            "<li data-checked=\"true\">Book</li></ul><pre class=\"language-bash\">ls -l</pre>"
            "<p>Files:</p>');Tavrik.editor.focus();const d=Tavrik.editor.document();"
            "const r=d.createRange();r.selectNodeContents(d.querySelector('p'));r.collapse(false);"
            "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s);
        ASSERT_TRUE(writeBytes(in.filePath(u"notes.txt"_s), "alpha"));
        ASSERT_TRUE(
            writeBytes(in.filePath(u"blue sky.png"_s), pngBytes(filledImage(40, 30, Qt::blue))));
        editor->InsertLocalFile({in.filePath(u"blue sky.png"_s), in.filePath(u"notes.txt"_s)});
        ASSERT_TRUE(waitForScript(
            editor->page(), u"Tavrik.editor.document().querySelectorAll('img').length === 2"_s));
        editor->SaveEditor();
    }

    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir in;
    QTemporaryDir out;
    EditorHost host;
    CZorvaEditorImpl *editor = nullptr; // the host's
    QString noteId;
};

TEST_F(MarkdownExport, TheNoteIsWrittenAsNoteMdWithItsFilesBesideIt)
{
    writeNote();
    const QString folder = out.filePath(u"Plan"_s);
    QString error;
    ASSERT_TRUE(editor->ExportMarkdown(folder, error)) << error.toStdString();
    EXPECT_EQ(filesIn(folder),
              (QStringList{u"blue sky.png"_s, u"note.md"_s, u"notes.txt"_s, u"notes.txt.bmp"_s}));
    EXPECT_EQ(readBytes(folder + u"/note.md"_s),
              u"## Plan 计划\n\n- [x] Book\n\n```bash\nls -l\n```\n\n"
              "Files:![blue sky.png](blue%20sky.png)[![notes.txt](notes.txt.bmp)](notes.txt)\n"_s
                  .toUtf8());
    EXPECT_EQ(readBytes(folder + u"/notes.txt"_s), "alpha");
    EXPECT_EQ(readBytes(folder + u"/blue sky.png"_s), readBytes(in.filePath(u"blue sky.png"_s)));

    // Again into the same folder: nothing there is overwritten.
    ASSERT_TRUE(editor->ExportMarkdown(folder, error)) << error.toStdString();
    EXPECT_EQ(filesIn(folder),
              (QStringList{u"blue sky(1).png"_s, u"blue sky.png"_s, u"note(1).md"_s, u"note.md"_s,
                           u"notes(1).txt"_s, u"notes.txt"_s, u"notes.txt(1).bmp"_s,
                           u"notes.txt.bmp"_s}));
    EXPECT_TRUE(readBytes(folder + u"/note(1).md"_s)
                    .endsWith("[![notes.txt](notes.txt%281%29.bmp)](notes%281%29.txt)\n"))
        << readBytes(folder + u"/note(1).md"_s).toStdString();
}

TEST_F(MarkdownExport, AnEmptyNoteAFolderThatCannotBeMadeOrAFailedConversionLeaveNothing)
{
    QString error;
    EXPECT_FALSE(editor->ExportMarkdown(out.filePath(u"Empty"_s), error));
    EXPECT_EQ(error, MhtExport::EmptyNoteMessage());
    EXPECT_FALSE(QFileInfo::exists(out.filePath(u"Empty"_s)));

    writeNote();
    ASSERT_TRUE(writeBytes(out.filePath(u"taken"_s), "a file"));
    LogCapture log;
    EXPECT_FALSE(editor->ExportMarkdown(out.filePath(u"taken/Plan"_s), error));
    EXPECT_EQ(error, u"cannot create the folder "_s + out.filePath(u"taken/Plan"_s));
    EXPECT_EQ(log.lines(),
              std::vector<QString>{u"[ERROR] NoteFolderExport: cannot create the "
                                   "folder "_s
                                   + out.filePath(u"taken/Plan"_s)});

    QString html;
    editor->GetLastHtml(html);
    const QString folder = out.filePath(u"Failed"_s);
    const NoteFolderExport::Result result = NoteFolderExport::ExportContent(
        noteId, html, folder, u"note.md"_s, [](const QByteArray &) { return std::nullopt; });
    EXPECT_EQ(result.error, u"the note could not be converted: note "_s + noteId);
    EXPECT_EQ(log.lines().back(),
              u"[ERROR] NoteFolderExport: the note could not be converted: "
              "note "_s
                  + noteId);
    EXPECT_TRUE(result.files.empty());
    EXPECT_EQ(filesIn(folder), QStringList());
}

} // namespace
