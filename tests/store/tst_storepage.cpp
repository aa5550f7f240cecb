// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "store/notefolderexport.h"
#include "store/storecleanup.h"
#include "storenotebook.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// Every picture of a page has loaded and has a width.
const QString AllPicturesShown
    = u"[...document.images].every(i => i.complete && i.naturalWidth > 0)"_s;

TEST_F(StoreTest, AfterCleanupTheEditorOpensTheLiveNoteAndItsExportShowsEveryPicture)
{
    stageEditorPage(GetAppDirectory());
    const QByteArray red = pngBytes(filledImage(40, 30, Qt::red));
    const QByteArray blue = pngBytes(filledImage(20, 10, Qt::blue));
    const Added photo = attach(a, u"photo.png"_s, red);
    const Added report = attach(a, u"report.pdf"_s, "%PDF-1.4 report");
    const Added named = attach(a, u"图 #1.png"_s, blue);
    const QString first = save(u"<p>A</p>"_s + photo.element + report.element + named.element);
    const QString second = save(u"<p>A</p>"_s + photo.element + named.element);

    QTemporaryDir out;
    const NoteFolderExport::Result exported = NoteFolderExport::Export(a, first, out.path());
    EXPECT_EQ(exported.error, QString());
    EXPECT_EQ(exported.htmlPath, out.filePath(u"note.html"_s));
    const QStringList copies
        = {u"photo.png"_s, u"report.pdf.bmp"_s, u"report.pdf"_s, u"图 #1.png"_s};
    ASSERT_EQ(exported.files.size(), size_t(4));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(exported.files[size_t(i)], out.filePath(copies[i]));
    EXPECT_EQ(readBytes(out.filePath(u"图 #1.png"_s)), blue);
    EXPECT_EQ(readBytes(out.filePath(u"report.pdf.bmp"_s)), readBytes(root + report.show));
    // Exporting again keeps the first export.
    EXPECT_EQ(NoteFolderExport::Export(a, first, out.path()).htmlPath,
              out.filePath(u"note(1).html"_s));

    age();
    EXPECT_EQ(StoreCleanup::Remove({{a, second}}).items.size(), size_t(3)); // first, report, card

    QWebEngineView view;
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(exported.htmlPath));
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_TRUE(
        waitForScript(view.page(), AllPicturesShown + u" && document.images.length == 3"_s));
    EXPECT_EQ(runScript(view.page(), u"document.querySelector('a').href"_s).toString(),
              QUrl::fromLocalFile(out.filePath(u"report.pdf"_s)).toString());

    EditorHost host;
    auto *editor = new CZorvaEditorImpl;
    ASSERT_TRUE(openEditor(editor, &host));
    editor->LoadEditor(a, {second}, {}, false);
    EXPECT_TRUE(waitForScript(editor->page(),
                              u"(d => d.images.length == 2 && "_s
                                  + QString(AllPicturesShown).replace(u"document"_s, u"d"_s)
                                  + u")(Tavrik.editor.document())"_s));
}

} // namespace
