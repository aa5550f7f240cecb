// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Plain tables taken out of a note for paper, each row an object the document lays out; the
// tables they cannot draw left as they are; the widths and heights of the rows.
#include "editor/papertables_p.h"
#include "notehtml/htmldocument_p.h"

#include <gmock/gmock.h>

#include <QBuffer>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr qreal TextWidth = 600;
constexpr QSizeF Page(TextWidth, 900);

class PaperTablesTest : public ::testing::Test
{
protected:
    PaperTablesTest() { measure.setResolution(96); }

    static QFont textFont()
    {
        QFont font;
        font.setPixelSize(15);
        return font;
    }

    // The note's markup after the tables are taken.
    QString taken(const QString &html)
    {
        EXPECT_TRUE(note.parse(html));
        tables.take(note, html);
        return HtmlDocument::innerHtml(note.body());
    }
    // The size of the first row of the one table of `html`, taken alone.
    QSizeF firstRow(const QString &html)
    {
        PaperTables own(Page, font, &measure);
        HtmlDocument alone;
        EXPECT_TRUE(alone.parse(html));
        own.take(alone, html);
        const QString markup = HtmlDocument::innerHtml(alone.body());
        EXPECT_TRUE(markup.startsWith(u"<div>\ue000</div>"_s)) << markup.toStdString();
        return own.rowCount() > 0 ? own.size(0) : QSizeF();
    }

    QBuffer nowhere;
    QPdfWriter measure{&nowhere};
    QFont font = textFont();
    PaperTables tables{Page, font, &measure};
    HtmlDocument note;
};

TEST_F(PaperTablesTest, EachRowOfAPlainTableBecomesAnObjectOfItsOwn)
{
    const QString markup
        = taken(u"<p>before</p><table style=\"border-collapse: collapse; width: 100%;\">"
                "<tbody><tr><td valign=\"top\" style=\"vertical-align: "
                "top\">a</td><td><b>b</b></td></tr><tr><td>c</td><td>"
                "<a href=\"https://example.com/\">d</a></td></tr></tbody></table>"
                "<p>between</p><table align=\"center\"><tr><td>e</td></tr></table>"_s);
    EXPECT_EQ(markup,
              u"<p>before</p><div>\ue000</div><div>\ue000</div><p>between</p>"
              "<div align=\"center\">\ue000</div>"_s);
    EXPECT_EQ(tables.rowCount(), 3u);

    // In the document each mark becomes the object of its row, in order.
    QTextDocument document;
    document.setHtml(markup);
    tables.place(document);
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextCharFormat format = QTextCursor(block).charFormat();
        blocks << (format.objectType() == PaperTables::RowObject
                       ? u"row %1"_s.arg(format.intProperty(PaperTables::RowProperty))
                       : block.text());
        EXPECT_EQ(block.text(),
                  format.objectType() == PaperTables::RowObject
                      ? QString(QChar::ObjectReplacementCharacter)
                      : blocks.back());
    }
    EXPECT_EQ(blocks, QStringList({u"before"_s, u"row 0"_s, u"row 1"_s, u"between"_s, u"row 2"_s}));
}

TEST_F(PaperTablesTest, ANoteHoldingTheMarkKeepsItsTables)
{
    const QString html = u"<p>icon \ue000</p><table><tr><td>a</td></tr></table>"_s;
    EXPECT_EQ(taken(html), html);
    EXPECT_EQ(tables.rowCount(), 0u);
}

TEST_F(PaperTablesTest, TablesItCannotDrawAreLeftToTheDocument)
{
    const QString cases[] = {
        u"<table><thead><tr><th>h</th></tr></thead><tbody><tr><td>a</td></tr></tbody></table>"_s,
        u"<table><caption>c</caption><tr><td>a</td></tr></table>"_s,
        u"<table><tr><td colspan=\"2\">a</td></tr><tr><td>b</td><td>c</td></tr></table>"_s,
        u"<table><tr><td rowspan=\"2\">a</td><td>b</td></tr><tr><td>c</td></tr></table>"_s,
        u"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>"_s,
        u"<table bgcolor=\"#ffee00\"><tr><td>a</td></tr></table>"_s,
        u"<table style=\"background-color: red;\"><tr><td>a</td></tr></table>"_s,
        u"<table style=\"border: 2px solid red;\"><tr><td>a</td></tr></table>"_s,
        u"<div><table><tr><td>a</td></tr></table></div>"_s,
        u"<ul><li><table><tr><td>a</td></tr></table></li></ul>"_s,
        u"<table><tr><td><img src=\"a.png\"></td></tr></table>"_s,
        u"<table><tr><td><ul><li>a</li></ul></td></tr></table>"_s,
        u"<table><tr><td><code>a</code></td></tr></table>"_s,
        u"<table><tr><td><sup>2</sup></td></tr></table>"_s,
        u"<table><tr><td><span style=\"font-family: monospace;\">a</span></td></tr></table>"_s,
        u"<table><tr><td><table><tr><td>a</td></tr></table></td></tr></table>"_s,
        u"<table><tr><td><p style=\"margin-left: 20px;\">a</p></td></tr></table>"_s,
        u"<table><tr>x<td>a</td></tr></table>"_s,
        u"<table><tr><td valign=\"middle\">a</td><td>b<br>c</td></tr></table>"_s,
        u"<table><tr><td style=\"vertical-align: bottom;\">a</td></tr></table>"_s,
        u"<table><tr><td><span style=\"vertical-align: super;\">2</span></td></tr></table>"_s,
    };
    for (const QString &html : cases) {
        HtmlDocument original;
        ASSERT_TRUE(original.parse(html));
        HtmlDocument changed;
        ASSERT_TRUE(changed.parse(html));
        tables.take(changed, html);
        EXPECT_EQ(HtmlDocument::innerHtml(changed.body()), HtmlDocument::innerHtml(original.body()))
            << html.toStdString();
    }
    EXPECT_EQ(tables.rowCount(), 0u);
}

TEST_F(PaperTablesTest, ATableIsAsWideAsItAsksElseAsItsText)
{
    // A pixel of the table's colour at each side and between the cells.
    EXPECT_EQ(
        firstRow(u"<table style=\"width: 100%\"><tr><td>a</td><td>b</td></tr></table>"_s).width(),
        TextWidth);
    EXPECT_EQ(firstRow(u"<table width=\"50%\"><tr><td>a</td><td>b</td></tr></table>"_s).width(),
              TextWidth / 2);
    EXPECT_EQ(firstRow(u"<table width=\"250\"><tr><td>a</td></tr></table>"_s).width(), 250);
    EXPECT_EQ(firstRow(u"<table><tr><td width=\"200\">a</td></tr></table>"_s).width(), 202);
    EXPECT_EQ(firstRow(u"<table><colgroup><col width=\"120\"><col width=\"30\"></colgroup><tr>"
                       "<td>a</td><td>b</td></tr></table>"_s)
                  .width(),
              153);
    // Widths that cannot be read are not asked for.
    for (const QString &width : {u"nan"_s, u"inf"_s, u"-20"_s, u"0%"_s, u"wide"_s}) {
        EXPECT_EQ(
            firstRow(u"<table width=\"%1\"><tr><td width=\"%1\">a</td></tr></table>"_s.arg(width)),
            firstRow(u"<table><tr><td>a</td></tr></table>"_s))
            << width.toStdString();
    }
    // Wider than the page: no wider than the text, its words broken.
    EXPECT_EQ(firstRow(u"<table width=\"900\"><tr><td>a</td></tr></table>"_s).width(), TextWidth);
    EXPECT_EQ(firstRow(u"<table><tr><td>%1</td></tr></table>"_s.arg(QString(200, u'w'))).width(),
              TextWidth);
}

TEST_F(PaperTablesTest, ATableOfShortTextIsNarrowAndOfLongTextFillsTheWidth)
{
    const qreal narrow = firstRow(u"<table><tr><td>a</td><td>b</td></tr></table>"_s).width();
    EXPECT_GT(narrow, 2 * 8 + 3);
    EXPECT_LT(narrow, 60);

    const QString words = u"words "_s.repeated(60);
    const QSizeF wide = firstRow(u"<table><tr><td>%1</td><td>short</td></tr></table>"_s.arg(words));
    EXPECT_EQ(wide.width(), TextWidth);
    EXPECT_GT(wide.height(), 2 * narrow); // the long cell's text takes several lines
}

TEST_F(PaperTablesTest, TheFirstRowHoldsTheSpaceAboveTheTableAndTheLastTheSpaceBelow)
{
    ASSERT_EQ(taken(u"<table><tr><td>a</td></tr><tr><td>a</td></tr><tr><td>a</td></tr>"
                    "</table>"_s),
              u"<div>\ue000</div><div>\ue000</div><div>\ue000</div>"_s);
    const qreal middle = tables.size(1).height();
    EXPECT_EQ(tables.size(0).height(), middle + 6);
    EXPECT_EQ(tables.size(2).height(), middle + 1 + 12);
}

TEST_F(PaperTablesTest, TextInACellCollapsesItsBlanksAsTheEditorShowsIt)
{
    const auto row = [&](const QString &cell) {
        return firstRow(u"<table><tr><td>%1</td></tr></table>"_s.arg(cell));
    };
    const QSizeF one = row(u"a b"_s);
    EXPECT_EQ(row(u"  a \n\t b  "_s), one);
    EXPECT_EQ(row(u"<span> a </span> <b></b> b "_s), one);
    // A line break closing the cell starts no line; one inside it does.
    EXPECT_EQ(row(u"a b<br>"_s).height(), one.height());
    const QSizeF twoLines = row(u"a<br>b"_s);
    EXPECT_GT(twoLines.height(), one.height() + 10);
    EXPECT_EQ(row(u"<div>a</div><div>b</div>"_s).height(), twoLines.height());
    // A paragraph keeps its space below it, but not the last one.
    EXPECT_EQ(row(u"<p>a</p><p>b</p>"_s).height(), twoLines.height() + 9);
}

TEST_F(PaperTablesTest, ARowTallerThanAPageIsLeftToTheDocument)
{
    // Twenty lines fit the page's 900 pixels; sixty do not.
    EXPECT_GT(firstRow(u"<table><tr><td>%1end</td></tr></table>"_s.arg(u"line<br>"_s.repeated(20)))
                  .height(),
              20 * 15);
    const QString tall = u"<table><tr><td>a</td></tr><tr><td>%1end</td></tr></table>"_s.arg(
        u"line<br>"_s.repeated(60));
    EXPECT_EQ(taken(tall), tall);
}

} // namespace
