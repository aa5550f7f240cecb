// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The PDF export and the printing of a note shown in the dark theme, read back with poppler's
// tools: its exact text, its pictures, white paper; and a target in a missing folder.
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
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// What a poppler tool prints to its standard output.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << tool.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << tool.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The first page of a PDF drawn at 20 dots an inch.
QImage firstPage(const QString &pdf)
{
    const QString prefix = pdf + u"-page"_s;
    poppler(u"pdftoppm"_s, {u"-r"_s, u"20"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, prefix});
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

    // A note of two lines of text, a blue picture and the card of a text file, saved.
    void writeNote()
    {
        runScript(editor->page(),
                  u"(function(){Tavrik.editor.setContent('<p>Quarterly plan 季度计划</p>"
                  "<p>Second line</p>');Tavrik.editor.focus();const d=Tavrik.editor.document();"
                  "const r=d.createRange();r.selectNodeContents(d.body);r.collapse(false);"
                  "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s);
        ASSERT_TRUE(writeBytes(in.filePath(u"notes.txt"_s), "alpha"));
        ASSERT_TRUE(
            writeBytes(in.filePath(u"blue.png"_s), pngBytes(filledImage(40, 30, Qt::blue))));
        editor->InsertLocalFile({in.filePath(u"notes.txt"_s), in.filePath(u"blue.png"_s)});
        ASSERT_TRUE(waitForScript(
            editor->page(), u"Tavrik.editor.document().querySelectorAll('img').length === 2"_s));
        editor->SaveEditor();
    }

    QTemporaryDir in;
    QTemporaryDir out;
    EditorHost host;
    CZorvaEditorImpl *editor = nullptr; // the host's
};

TEST_F(NotePrintingTest, PdfHoldsTheTextAndPicturesOnWhitePaperInTheDarkTheme)
{
    writeNote();
    const QString pdf = out.filePath(u"note.pdf"_s);
    QString error;
    ASSERT_TRUE(NotePrinting::ExportPdf(*editor, pdf, error)) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{u"note.pdf"_s});
    EXPECT_TRUE(QFile::permissions(pdf) & QFile::ReadOther);

    EXPECT_EQ(poppler(u"pdftotext"_s, {pdf, u"-"_s}),
              u"Quarterly plan 季度计划\n\nSecond line\n\n\f"_s);

    // "page num type width height ...": the card and the picture at their own sizes.
    QStringList images
        = poppler(u"pdfimages"_s, {u"-list"_s, pdf}).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(images.size(), 4) << images.join(u'\n').toStdString();
    const QStringList picture = images[3].split(u' ', Qt::SkipEmptyParts);
    EXPECT_EQ(picture.mid(3, 2), (QStringList{u"40"_s, u"30"_s})) << images[3].toStdString();

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
    EXPECT_THAT(poppler(u"pdfinfo"_s, {pdf}).toStdString(),
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

TEST_F(NotePrintingTest, TargetInAMissingFolderFailsWithTheReasonAndWritesNothing)
{
    writeNote();
    const LogCapture log;
    const QString pdf = out.filePath(u"missing/note.pdf"_s);
    QString error;
    EXPECT_FALSE(NotePrinting::ExportPdf(*editor, pdf, error));
    EXPECT_EQ(error, u"文件夹 %1 不存在。"_s.arg(out.filePath(u"missing"_s)));
    EXPECT_TRUE(QDir(out.path()).isEmpty());
    EXPECT_THAT(log.lines(),
                ::testing::Contains(u"[ERROR] NotePrinting::ExportPdf %1: %2"_s.arg(pdf, error)));
}

} // namespace
