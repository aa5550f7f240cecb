// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The PDF export and the printing of a note shown in the dark theme, read back with poppler's
// tools: its exact text, pictures, links, A4 pages, white paper; and a target that cannot be
// written.
#include "editor/czorvaeditorimpl.h"
#include "editor/noteprinting.h"
#include "editorhost.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// The first page of a PDF drawn at 20 dots an inch.
QImage firstPage(const QString &pdf)
{
    const QString prefix = pdf + u"-page"_s;
    programOutput(u"pdftoppm"_s, {u"-r"_s, u"20"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, prefix});
    return QImage(prefix + u"-1.ppm"_s);
}

class NotePrintingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor = new CZorvaEditorImpl;
        ASSERT_TRUE(openEditor(editor, &host));
        ASSERT_TRUE(waitForScript(editor->page(), u"window.Tavrik && Tavrik.ready === true"_s));
        editor->SetTheme(CZorvaEditorImpl::Theme::Dark);
        QString id;
        editor->NewEditor(id, false);
    }

    // A note of `html` followed by the card of a text file and a blue picture, saved.
    void writeNote(const QString &html)
    {
        runScript(editor->page(),
                  u"(function(){Tavrik.editor.setContent(%1);Tavrik.editor.focus();"
                  "const d=Tavrik.editor.document();const r=d.createRange();"
                  "r.selectNodeContents(d.body);r.collapse(false);"
                  "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s.arg(
                      jsString(html)));
        ASSERT_TRUE(writeBytes(in.filePath(u"notes.txt"_s), "alpha"));
        ASSERT_TRUE(
            writeBytes(in.filePath(u"blue.png"_s), pngBytes(filledImage(40, 30, Qt::blue))));
        editor->InsertLocalFile({in.filePath(u"notes.txt"_s), in.filePath(u"blue.png"_s)});
        ASSERT_TRUE(waitForScript(
            editor->page(), u"Tavrik.editor.document().querySelectorAll('img').length === 2"_s));
        editor->SaveEditor();
    }
    void writeNote() { writeNote(u"<p>Quarterly plan 季度计划</p><p>Second line</p>"_s); }

    QTemporaryDir in;
    QTemporaryDir out;
    EditorHost host;
    CZorvaEditorImpl *editor = nullptr; // the host's
};

TEST_F(NotePrintingTest, PdfHoldsTheNoteOnA4WhitePaperInTheDarkTheme)
{
    writeNote(u"<h1>Plan 计划</h1><p>See <a href=\"https://example.com/plan\">the site</a>, "
              "<b>bold</b> <i>it</i> <u>under</u> <span style=\"color: rgb(200, 0, 0);\">red"
              "</span>.</p><ol><li>first</li><li>second</li></ol><ul class=\"checklist\">"
              "<li data-checked=\"true\">done</li><li>open</li></ul><table><thead><tr>"
              "<th>Name</th><th>Value</th></tr></thead><tbody><tr><td colspan=\"2\">both"
              "</td></tr><tr><td>one</td><td>二</td></tr></tbody></table>"
              "<pre>int x = 1;</pre>"_s);
    const QString pdf = out.filePath(u"note.pdf"_s);
    QString error;
    ASSERT_TRUE(NotePrinting::ExportPdf(*editor, pdf, error)) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{u"note.pdf"_s});
    EXPECT_TRUE(QFile::permissions(pdf) & QFile::ReadOther);

    EXPECT_EQ(programOutput(u"pdftotext"_s, {pdf, u"-"_s}),
              u"Plan 计划\nSee the site, bold it under red.\n1. first\n2. second\n☑ done\n☐ open\n"
              "Name Value\nboth\none\n\n二\n\nint x = 1;\n\n\f"_s);
    const QString info = programOutput(u"pdfinfo"_s, {pdf});
    EXPECT_THAT(info.toStdString(), ::testing::HasSubstr("Pages:           1\n"));
    EXPECT_THAT(info.toStdString(), ::testing::HasSubstr("Page size:       595 x 842 pts (A4)\n"));
    EXPECT_THAT(programOutput(u"pdfinfo"_s, {u"-url"_s, pdf}).toStdString(),
                ::testing::HasSubstr("https://example.com/plan"));

    // "page num type width height ... x-ppi y-ppi ...": the card and the picture with all their
    // pixels, shown at their own size (96 pixels an inch).
    QStringList images
        = programOutput(u"pdfimages"_s, {u"-list"_s, pdf}).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(images.size(), 4) << images.join(u'\n').toStdString();
    const QStringList picture = images[3].split(u' ', Qt::SkipEmptyParts);
    EXPECT_EQ(picture.mid(3, 2), (QStringList{u"40"_s, u"30"_s})) << images[3].toStdString();
    EXPECT_EQ(picture.mid(12, 2), (QStringList{u"96"_s, u"96"_s})) << images[3].toStdString();

    const QImage page = firstPage(pdf);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(page.width() / 2, page.height() - 3), QColor(Qt::white));
}

// A printer gets the note drawn as pictures of its pages (QWebEngineView::print): dark marks
// on white paper, one page.
TEST_F(NotePrintingTest, PrintingDrawsTheNoteOnWhitePaper)
{
    writeNote();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = out.filePath(u"printed.pdf"_s);
    printer.setOutputFileName(pdf);
    QString error;
    ASSERT_TRUE(NotePrinting::Print(*editor, &printer, error)) << error.toStdString();
    EXPECT_THAT(programOutput(u"pdfinfo"_s, {pdf}).toStdString(),
                ::testing::HasSubstr("Pages:           1\n"));
    const QImage page = firstPage(pdf);
    ASSERT_FALSE(page.isNull());
    EXPECT_GE(page.pixelColor(2, 2).lightness(), 250); // drawn as a picture: 254 at its edge
    int marks = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            marks += page.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(marks, 10);
}

TEST_F(NotePrintingTest, TargetThatCannotBeWrittenFailsWithTheReasonAndLeavesNothing)
{
    writeNote();
    const LogCapture log;
    QString error;
    const QString missing = out.filePath(u"missing/note.pdf"_s);
    EXPECT_FALSE(NotePrinting::ExportPdf(*editor, missing, error));
    EXPECT_EQ(error, u"文件夹 %1 不存在。"_s.arg(out.filePath(u"missing"_s)));
    EXPECT_THAT(
        log.lines(),
        ::testing::Contains(u"[ERROR] NotePrinting::ExportPdf %1: %2"_s.arg(missing, error)));
    // A folder in place of the file: the PDF is drawn, and not written anywhere.
    const QString folder = out.filePath(u"taken.pdf"_s);
    ASSERT_TRUE(QDir(out.path()).mkdir(u"taken.pdf"_s));
    EXPECT_FALSE(NotePrinting::ExportPdf(*editor, folder, error));
    EXPECT_EQ(error, u"无法写入 %1：Is a directory"_s.arg(folder));
    EXPECT_THAT(
        log.lines(),
        ::testing::Contains(u"[ERROR] NotePrinting::ExportPdf %1: %2"_s.arg(folder, error)));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"taken.pdf"_s});
    EXPECT_TRUE(QDir(folder).isEmpty());
}

} // namespace
