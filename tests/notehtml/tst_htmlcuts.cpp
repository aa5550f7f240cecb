// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Where note HTML is cut into stretches read on their own: before the body's own blocks only,
// at about equal shares, at a heading where one is near; whole when the markup's nesting
// cannot be followed.
#include "notehtml/htmlcuts_p.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// A block of `length` characters: `<tag>xxx…</tag>`.
QString block(const char *tag, int length)
{
    const QString open = u"<%1>"_s.arg(QLatin1StringView(tag));
    const QString close = u"</%1>"_s.arg(QLatin1StringView(tag));
    return open + QString(length - open.size() - close.size(), u'x') + close;
}

QStringList stretches(const QString &html, int count, qsizetype shortest = 1)
{
    QStringList texts;
    for (const QStringView stretch : HtmlCuts::cut(html, count, shortest))
        texts << stretch.toString();
    return texts;
}

TEST(HtmlCuts, CutsBeforeBlocksAtEqualShares)
{
    const QString p = block("p", 100);
    EXPECT_EQ(stretches(p.repeated(6), 3), (QStringList{p + p, p + p, p + p}));
    EXPECT_EQ(stretches(p.repeated(6), 2), (QStringList{p.repeated(3), p.repeated(3)}));
    // A share ending inside a block cuts after it.
    EXPECT_EQ(stretches(p.repeated(5), 2), (QStringList{p.repeated(3), p.repeated(2)}));
}

TEST(HtmlCuts, AHeadingWithinATenthOfAShareBeforeItsEndStartsTheNextStretch)
{
    // 600 characters in three shares of 200: the heading at 185 is within 20 of 200, the one
    // at 375 is not within 20 of 400.
    const QString near = block("p", 100) + block("p", 85) + block("h2", 15) + block("p", 100);
    const QString far = block("p", 75) + block("h3", 25) + block("p", 100) + block("p", 100);
    ASSERT_EQ(QString(near + far).size(), 600);
    EXPECT_EQ(stretches(near + far, 3),
              (QStringList{block("p", 100) + block("p", 85),
                           block("h2", 15) + block("p", 100) + block("p", 75) + block("h3", 25),
                           block("p", 100) + block("p", 100)}));
}

TEST(HtmlCuts, NeitherANestedBlockNorARunOfTextIsSplit)
{
    const QString nested = u"<div>"_s + block("p", 100).repeated(5) + u"</div>"_s;
    EXPECT_EQ(stretches(nested, 3), QStringList{nested});

    // Text, inline elements and void elements at the top stay with the block before them.
    const QString p = block("p", 100);
    const QString inlineRun = u"text <b>bold</b> <img src=\"a.png\"><br>more "_s;
    const QString html = p + inlineRun + p + p;
    EXPECT_EQ(stretches(html, 2), (QStringList{p + inlineRun + p, p}));
}

TEST(HtmlCuts, QuotedBracketsCommentsAndScriptsAreNotMarkup)
{
    const QString p = block("p", 100);
    const QString quoted = u"<p title=\"a > b\" data-x='<p>'>quoted</p>"_s;
    const QString comment = u"<!-- <p> <div> -->"_s;
    const QString script = u"<script>if (a < b) document.write('<div>')</script>"_s;
    const QString html = p + quoted + comment + script + p + p;
    EXPECT_EQ(stretches(html, 2), (QStringList{p + quoted + comment + script, p + p}));
    EXPECT_EQ(stretches(html, 3), (QStringList{p + quoted + comment + script, p, p}));
}

TEST(HtmlCuts, AWholePageIsCutInsideItsBody)
{
    const QString p = block("p", 100);
    const QString head = u"<!DOCTYPE html><html><head><title>Note</title></head><body>"_s;
    const QString html = head + p.repeated(4) + u"</body></html>"_s;
    EXPECT_EQ(stretches(html, 2), (QStringList{head + p + p, p + p + u"</body></html>"_s}));
}

TEST(HtmlCuts, MarkupWhoseNestingCannotBeFollowedStaysWhole)
{
    const QString p = block("p", 100);
    const QStringList unfollowable{p + u"</div>"_s + p + p, p + p + u"<p title=\"open>"_s + p,
                                   p + u"<!-- open"_s + p + p, p + u"<style>p{}"_s + p + p};
    for (const QString &html : unfollowable) {
        EXPECT_EQ(stretches(html, 2), QStringList{html}) << html.toStdString();
    }
}

TEST(HtmlCuts, NoStretchIsShorterThanTheShortest)
{
    const QString html = block("p", 100).repeated(6);
    EXPECT_EQ(stretches(html, 3, 200).size(), 3);
    EXPECT_EQ(stretches(html, 3, 201).size(), 2);
    EXPECT_EQ(stretches(html, 3, 300).size(), 2);
    EXPECT_EQ(stretches(html, 3, 301), QStringList{html});
    EXPECT_EQ(stretches(QString(), 3), QStringList{QString()});
}

} // namespace
