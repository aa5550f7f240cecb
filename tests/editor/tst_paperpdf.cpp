// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// A long note drawn in parts on several threads and the parts joined into one PDF, read back
// with poppler's tools and checked by qpdf; and documents the join refuses, with the reason.
#include "editor/paperpdf_p.h"
#include "editor/pdfjoin_p.h"
#include "notehtml/htmlcuts_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// A PDF written by QPdfWriter with one page for each HTML of `pages`.
QByteArray pdfOf(const QStringList &pages)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(96);
    QPainter painter(&writer);
    for (qsizetype n = 0; n < pages.size(); ++n) {
        if (n > 0)
            writer.newPage();
        QTextDocument page;
        page.setHtml(pages[n]);
        page.drawContents(&painter);
    }
    painter.end();
    return pdf;
}

class PdfJoinTest : public ::testing::Test
{
protected:
    // `pdf` as a file of the test's, checked by qpdf, which fails on any broken structure.
    QString checkedFile(const QByteArray &pdf)
    {
        const QString path = folder.filePath(u"joined.pdf"_s);
        EXPECT_TRUE(writeBytes(path, pdf));
        EXPECT_THAT(programOutput(u"qpdf"_s, {u"--check"_s, path}).toStdString(),
                    ::testing::HasSubstr("No syntax or stream encoding errors found"));
        return path;
    }
    static QString pageText(const QString &path, int page)
    {
        const QString number = QString::number(page);
        return programOutput(u"pdftotext"_s, {u"-f"_s, number, u"-l"_s, number, path, u"-"_s});
    }

    QTemporaryDir folder;
};

TEST_F(PdfJoinTest, PagesOfEachPartFollowInOrderWithTheirLinks)
{
    // Link targets that look like object references, or hold brackets, stay as they are.
    const QByteArray first = pdfOf(
        {u"<p>alpha one</p>"_s, u"<p><a href=\"https://example.com/5 0 R\">alpha two</a></p>"_s});
    const QByteArray second = pdfOf({u"<p><a href=\"https://example.com/(2 0 R)\">beta</a></p>"_s});
    const QByteArray third = pdfOf({u"<p>gamma 3 0 R</p>"_s});
    QString error;
    const QByteArray joined = PdfJoin::join({first, second, third}, error);
    ASSERT_FALSE(joined.isEmpty()) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(joined.startsWith("%PDF-1.4\n"));
    EXPECT_TRUE(joined.endsWith("%%EOF\n"));

    const QString path = checkedFile(joined);
    EXPECT_THAT(programOutput(u"pdfinfo"_s, {path}).toStdString(),
                ::testing::HasSubstr("Pages:           4\n"));
    EXPECT_EQ(pageText(path, 1), u"alpha one\n\n\f"_s);
    EXPECT_EQ(pageText(path, 2), u"alpha two\n\n\f"_s);
    EXPECT_EQ(pageText(path, 3), u"beta\n\n\f"_s);
    EXPECT_EQ(pageText(path, 4), u"gamma 3 0 R\n\n\f"_s);
    EXPECT_EQ(programOutput(u"pdfinfo"_s, {u"-url"_s, path}),
              u"Page  Type          URL\n"
              "   2  Annotation    https://example.com/5 0 R\n"
              "   3  Annotation    https://example.com/(2 0 R)\n"_s);
}

TEST_F(PdfJoinTest, OnePartComesBackWhole)
{
    QString error;
    const QString path = checkedFile(PdfJoin::join({pdfOf({u"<p>only</p>"_s})}, error));
    EXPECT_EQ(pageText(path, 1), u"only\n\n\f"_s);
}

TEST_F(PdfJoinTest, ADocumentNotOfQtsShapeIsRefusedWithTheReason)
{
    const QByteArray good = pdfOf({u"<p>good</p>"_s});
    const auto changed = [&](const char *from, const char *to) {
        QByteArray bytes = good;
        EXPECT_TRUE(bytes.contains(from)) << from;
        return bytes.replace(from, to);
    };
    const struct
    {
        std::vector<QByteArray> parts;
        QString error;
    } cases[] = {
        {{}, u"nothing to join"_s},
        {{good, QByteArray()}, u"part 2: no cross-reference table"_s},
        {{good, good.left(good.size() - 30)}, u"part 2: no cross-reference table"_s},
        {{' ' + good}, u"part 1: no cross-reference table"_s},
        {{changed("0000000015 00000 n", "0000000016 00000 n")},
         u"part 1: object 1 is not where the table says"_s},
        {{changed("xref\n0 ", "xref\n1 ")},
         u"part 1: the cross-reference table is not one section from object 0"_s},
        {{changed(" 65535 f ", " 65535 x ")},
         u"part 1: entry 0 of the cross-reference table cannot be read"_s},
        {{changed("trailer", "trailed")}, u"part 1: no trailer after the cross-reference table"_s},
        {{changed("/Root", "/Rood")}, u"part 1: no catalog"_s},
        {{changed("/Kids", "/Kind")}, u"part 1: no page tree"_s},
    };
    for (const auto &refused : cases) {
        QString error;
        EXPECT_TRUE(PdfJoin::join(refused.parts, error).isEmpty()) << refused.error.toStdString();
        EXPECT_EQ(error, refused.error);
    }
}

// A note of `sections` headings, each with paragraphs and a link, as the editor writes it, and
// its words as a PDF reader gives them, each followed by a space.
struct LongNote
{
    QString html;
    QString words;
};

LongNote longNote(int sections)
{
    LongNote note;
    const auto add = [&](const QString &open, const QString &text, const QString &close) {
        note.html += open + text + close;
        note.words += text + u' ';
    };
    for (int section = 1; section <= sections; ++section) {
        add(u"<h2>"_s, u"Part %1"_s.arg(section), u"</h2>"_s);
        for (int paragraph = 1; paragraph <= 40; ++paragraph) {
            add(u"<p>"_s,
                u"Paragraph %1.%2 of the long note, with words enough to fill a line or two on "
                "the page."_s.arg(section)
                    .arg(paragraph),
                u"</p>"_s);
        }
        add(u"<p><a href=\"https://example.com/part/%1\">"_s.arg(section),
            u"source %1"_s.arg(section), u"</a></p>"_s);
    }
    return note;
}

TEST(PaperPdf, ALongNoteDrawnInPartsReadsWholeAndInOrder)
{
    const LongNote note = longNote(60);
    ASSERT_GT(note.html.size(), 4 * PaperPdf::ShortestPart); // two threads draw four parts
    QTemporaryDir folder;
    const QString path = folder.filePath(u"long.pdf"_s);
    ASSERT_TRUE(writeBytes(path, PaperPdf::write(note.html, 2)));
    EXPECT_THAT(programOutput(u"qpdf"_s, {u"--check"_s, path}).toStdString(),
                ::testing::HasSubstr("No syntax or stream encoding errors found"));

    const QString text = programOutput(u"pdftotext"_s, {path, u"-"_s});
    EXPECT_EQ(text.simplified() + u' ', note.words);

    // Each part after the first starts its page with the heading it was cut before.
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    EXPECT_THAT(programOutput(u"pdfinfo"_s, {path}).toStdString(),
                ::testing::HasSubstr("Pages:           " + std::to_string(pages.size()) + '\n'));
    const std::vector<QStringView> parts = HtmlCuts::cut(note.html, 4, PaperPdf::ShortestPart);
    ASSERT_EQ(parts.size(), 4u);
    for (const QStringView part : {parts[1], parts[2], parts[3]}) {
        const QString heading
            = QRegularExpression(u"^<h2>(Part \\d+)</h2>"_s).match(part).captured(1) + u'\n';
        EXPECT_EQ(std::count_if(pages.begin(), pages.end(),
                                [&](const QString &page) { return page.startsWith(heading); }),
                  1)
            << heading.toStdString();
    }

    QStringList links;
    for (int section = 1; section <= 60; ++section)
        links << u"https://example.com/part/%1"_s.arg(section);
    const QStringList listed = programOutput(u"pdfinfo"_s, {u"-url"_s, path})
                                   .split(u'\n', Qt::SkipEmptyParts)
                                   .mid(1)
                                   .replaceInStrings(QRegularExpression(u"^.* "_s), QString());
    EXPECT_EQ(listed, links);
}

TEST(PaperPdf, AShortNoteIsOnePartWhateverTheThreads)
{
    const QString note = longNote(2).html;
    ASSERT_LT(note.size(), 2 * PaperPdf::ShortestPart);
    QTemporaryDir folder;
    const QString one = folder.filePath(u"one.pdf"_s);
    const QString four = folder.filePath(u"four.pdf"_s);
    ASSERT_TRUE(writeBytes(one, PaperPdf::write(note, 1)));
    ASSERT_TRUE(writeBytes(four, PaperPdf::write(note, 4)));
    const QString text = programOutput(u"pdftotext"_s, {one, u"-"_s});
    EXPECT_TRUE(text.startsWith(u"Part 1\nParagraph 1.1 of the long note"_s));
    EXPECT_EQ(programOutput(u"pdftotext"_s, {four, u"-"_s}), text);
}

// The x of each run of columns where the pixels of `rows` are all close to `color`.
std::vector<int> columnsOf(const QImage &page, const std::vector<int> &rows, QColor color)
{
    const auto close = [&](QColor pixel) {
        return std::abs(pixel.red() - color.red()) < 24
            && std::abs(pixel.green() - color.green()) < 24
            && std::abs(pixel.blue() - color.blue()) < 24;
    };
    std::vector<int> runs;
    for (int x = 0, last = -2; x < page.width(); ++x) {
        if (!std::all_of(rows.begin(), rows.end(),
                         [&](int y) { return close(page.pixelColor(x, y)); }))
            continue;
        if (x > last + 1)
            runs.push_back(x);
        last = x;
    }
    return runs;
}

TEST(PaperPdf, ATableHasItsLinesAndTheWidthItAsksFor)
{
    // As the editor writes a table inserted from its toolbar.
    const QString note = u"<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\" "
                         "style=\"border-collapse: collapse; width: 100%;\"><tbody><tr><td>a</td>"
                         "<td>b</td></tr><tr><td>c</td><td>d</td></tr></tbody></table>"_s;
    QTemporaryDir folder;
    const QString path = folder.filePath(u"table.pdf"_s);
    ASSERT_TRUE(writeBytes(path, PaperPdf::write(note)));
    // 192 dots an inch: a pixel of the note is two of the picture; A4 is 1587 wide, its margins
    // of 15 mm are 113.
    programOutput(
        u"pdftoppm"_s,
        {u"-r"_s, u"192"_s, u"-png"_s, u"-singlefile"_s, path, folder.filePath(u"page"_s)});
    const QImage page(folder.filePath(u"page.png"_s));
    ASSERT_EQ(page.width(), 1587);

    // The table's top line, then rows inside its first row of cells.
    const QColor line(0xc9, 0xce, 0xd5);
    int top = 0;
    while (top < page.height() && columnsOf(page, {top}, line).size() != 1)
        ++top;
    ASSERT_LT(top, 300);
    const std::vector<int> columns = columnsOf(page, {top + 6, top + 12, top + 18}, line);
    ASSERT_EQ(columns.size(), 3u) << ::testing::PrintToString(columns);
    EXPECT_NEAR(columns[0], 113, 3);
    EXPECT_NEAR(columns[1], 113 + 1360 / 2, 12);
    EXPECT_NEAR(columns[2], 1587 - 113 - 2, 3);
}

// `html` drawn as a PDF in `folder`, checked by qpdf; its path.
QString paperFile(const QTemporaryDir &folder, const QString &html)
{
    const QString path = folder.filePath(u"note.pdf"_s);
    EXPECT_TRUE(writeBytes(path, PaperPdf::write(html)));
    EXPECT_THAT(programOutput(u"qpdf"_s, {u"--check"_s, path}).toStdString(),
                ::testing::HasSubstr("No syntax or stream encoding errors found"));
    return path;
}

TEST(PaperPdf, APlainTableKeepsItsTextAndLinks)
{
    QTemporaryDir folder;
    const QString path
        = paperFile(folder,
                    u"<p>Before</p><table style=\"border-collapse: collapse; width: 100%;\"><tbody>"
                    "<tr><td><b>Name</b></td><td>Value with <a href=\"https://example.com/v\">a "
                    "link</a></td></tr><tr><td>second   row</td><td><span style=\"color: red;\">"
                    "red</span><br>two</td></tr></tbody></table><p>After</p>"_s);
    EXPECT_EQ(programOutput(u"pdftotext"_s, {path, u"-"_s}),
              u"Before\nName\n\nValue with a link\n\nsecond row\n\nred\ntwo\n\nAfter\n\n\f"_s);
    EXPECT_EQ(programOutput(u"pdfinfo"_s, {u"-url"_s, path}),
              u"Page  Type          URL\n"
              "   1  Annotation    https://example.com/v\n"_s);
}

// The text of each page of the PDF at `path`.
QStringList pagesOf(const QString &path)
{
    return programOutput(u"pdftotext"_s, {path, u"-"_s}).split(u'\f', Qt::SkipEmptyParts);
}

TEST(PaperPdf, ALongTableBreaksBetweenItsRows)
{
    QString rows;
    for (int row = 1; row <= 120; ++row)
        rows += u"<tr><td>row %1</td><td>value %1<br>second line %1</td></tr>"_s.arg(row);
    QTemporaryDir folder;
    const QStringList pages = pagesOf(paperFile(folder, u"<table>"_s + rows + u"</table>"_s));
    ASSERT_GE(pages.size(), 3);
    // Every row once, in order, its cells and their lines on one page.
    int next = 1;
    for (const QString &page : pages) {
        const QString words = page.simplified();
        QString whole;
        while (whole.size() < words.size() && next <= 120) {
            whole += (whole.isEmpty() ? u""_s : u" "_s)
                + u"row %1 value %1 second line %1"_s.arg(next++);
        }
        EXPECT_EQ(words, whole);
    }
    EXPECT_EQ(next, 121);
}

TEST(PaperPdf, ATableWithAHeaderRowShowsItOnEveryPage)
{
    QString rows;
    for (int row = 1; row <= 120; ++row)
        rows += u"<tr><td>row %1</td><td>value %1</td></tr>"_s.arg(row);
    QTemporaryDir folder;
    const QStringList pages
        = pagesOf(paperFile(folder,
                            u"<table><thead><tr><th>Item</th><th>Amount</th></tr></thead><tbody>"_s
                                + rows + u"</tbody></table>"_s));
    ASSERT_GE(pages.size(), 2);
    for (const QString &page : pages)
        EXPECT_TRUE(page.startsWith(u"Item\n\nAmount\n"_s)) << page.left(40).toStdString();
}

} // namespace
