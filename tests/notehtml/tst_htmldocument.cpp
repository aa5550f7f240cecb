// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/htmldocument_p.h"
#include "testhelpers.h"

using TAVRIKCORE::RICHEDITOR::HtmlDocument;

namespace {

QString bodyHtml(const QString &html)
{
    HtmlDocument doc;
    EXPECT_TRUE(doc.parse(html));
    return HtmlDocument::innerHtml(doc.body());
}

// What a contenteditable body produces comes back byte for byte.
TEST(HtmlDocument, EditorMarkupRoundTripsExactly)
{
    const QString cases[] = {
        u"<p>plain text</p>"_qs,
        u"leading text<br>second line<br><div>third</div>"_qs,
        u"<div><span style=\"color: rgb(255, 0, 0); font-size: 14px;\">red</span></div>"_qs,
        u"<font face=\"宋体\" color=\"#ff0000\" size=\"3\">字体</font>"_qs,
        u"<a href=\"https://example.com/a b?x=1&amp;y=2#frag\">link</a>"_qs,
        u"<img src=\"../userdata\\attachment\\ab12.png\" class=\"userdata\\attachment\\ab12.png\" "
        "zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;5paH5Lu2LnBuZw==&quot;}\" "
        "data-ke-src=\"../userdata\\attachment\\ab12.png\" zvimgsrc=\"..\\userdata\\attachment\\ab12.png\">"_qs,
        u"<table border=\"1\"><tbody><tr><td>a</td><td>b</td></tr><tr><td colspan=\"2\">c</td></tr></tbody></table>"_qs,
        u"<pre>  indented\n\tcode &lt;x&gt; &amp;&amp; y</pre>"_qs,
        u"<pre>\n\nstarts with blank line</pre>"_qs,
        u"<p>non&nbsp;breaking&nbsp;&nbsp;spaces and 中文 ünïcödé 😀</p>"_qs,
        u"<!-- a comment --><p>after</p>"_qs,
        u"<span class=\"a\\b/c\" title=\"x &gt; y\">t</span>"_qs,
        u"<p>   spaces   inside   </p>\n<p>second</p>"_qs,
        // Inline SVG and MathML keep their mixed-case names, HTML inside them is HTML again.
        u"<svg viewBox=\"0 0 8 8\" preserveAspectRatio=\"none\"><defs><linearGradient id=\"g\" "
        "gradientUnits=\"userSpaceOnUse\"><stop offset=\"0\"></stop></linearGradient></defs>"
        "<foreignObject width=\"8\"><div class=\"c\">html</div></foreignObject>"
        "<clipPath clipPathUnits=\"objectBoundingBox\"><rect></rect></clipPath></svg>"
        "<math definitionURL=\"u\"><mi>x</mi></math>"_qs,
        u""_qs,
    };
    for (const QString &html : cases) {
        // ">" in attribute values is written back unescaped, as HTML5 does.
        QString expected = html;
        expected.replace(u"title=\"x &gt; y\""_qs, u"title=\"x > y\""_qs);
        EXPECT_EQ(bodyHtml(html), expected) << "for input " << html.toStdString();
    }
}

TEST(HtmlDocument, PageIsParsedAsPageAndOnlyBodyContentIsSerialized)
{
    const QString page
        = u"<!-- saved by the editor -->\n<!DOCTYPE html>\n<HTML><head><title>t</title>"
          "<style>p{color:red}</style></head><BODY class=\"b\"><P>x</P>tail</BODY></HTML>"_qs;
    HtmlDocument doc;
    ASSERT_TRUE(doc.parse(page));
    EXPECT_EQ(HtmlDocument::innerHtml(doc.body()), u"<p>x</p>tail"_qs);
    EXPECT_EQ(HtmlDocument::className(doc.body()), u"b"_qs);
    EXPECT_EQ(doc.elementsByTagName("body").size(), 1u);
    EXPECT_EQ(doc.elementsByTagName("style").size(), 1u);
}

TEST(HtmlDocument, BrokenMarkupIsRepairedLeniently)
{
    const std::pair<QString, QString> cases[] = {
        {u"<p><b>bold<i>both</b>italic</i></p>"_qs, u"<p><b>bold<i>both</i></b>italic</p>"_qs},
        {u"<div>unclosed <span>span"_qs, u"<div>unclosed <span>span</span></div>"_qs},
        {u"<br/><img src=\"a.png\"/>"_qs, u"<br><img src=\"a.png\">"_qs},
        {u"</p>stray end"_qs, u"stray end"_qs},
        {u"<input checked>"_qs, u"<input checked=\"checked\">"_qs},
        {u"<P CLASS=\"Up\">case</P>"_qs, u"<p class=\"Up\">case</p>"_qs},
        {u"<SVG VIEWBOX=\"0\"><LinearGradient></LinearGradient></SVG><div viewBox=\"1\"></div>"_qs,
         u"<svg viewBox=\"0\"><linearGradient></linearGradient></svg><div viewbox=\"1\"></div>"_qs},
        {u"<p>x &unknown; y</p>"_qs, u"<p>x &amp;unknown; y</p>"_qs},
        {u"<script>if (a < b && c) {}</script>"_qs, u"<script>if (a < b && c) {}</script>"_qs}};
    for (const auto &[in, out] : cases)
        EXPECT_EQ(bodyHtml(in), out) << "for input " << in.toStdString();
}

TEST(HtmlDocument, AttributesTellAbsentFromEmptyAndSetExactValues)
{
    HtmlDocument doc;
    ASSERT_TRUE(doc.parse(u"<img src=\"\" zv_exdata><img class=\"c\"><p>no img</p><img>"_qs));
    const auto images = doc.elementsByTagName("img");
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(HtmlDocument::attribute(images[0], "src"), QString());
    EXPECT_TRUE(HtmlDocument::attribute(images[0], "src").has_value());
    EXPECT_EQ(HtmlDocument::attribute(images[0], "zv_exdata"), QString());
    EXPECT_FALSE(HtmlDocument::attribute(images[1], "src").has_value());
    EXPECT_FALSE(HtmlDocument::attribute(images[0], "SRC").has_value());
    EXPECT_EQ(HtmlDocument::className(images[0]), QString());
    EXPECT_EQ(HtmlDocument::className(images[1]), u"c"_qs);

    const QString hostile = u"..\\a\\名 & \"q\" <x> %5C &amp;"_qs;
    HtmlDocument::setAttribute(images[2], "src", hostile);
    HtmlDocument::setClassName(images[2], u"userdata\\attachment\\x.png"_qs);
    EXPECT_EQ(HtmlDocument::attribute(images[2], "src"), hostile);
    EXPECT_EQ(HtmlDocument::innerHtml(doc.body()),
              u"<img src=\"\" zv_exdata=\"\"><img class=\"c\"><p>no img</p>"
              "<img src=\"..\\a\\名 &amp; &quot;q&quot; <x> %5C &amp;amp;\" "
              "class=\"userdata\\attachment\\x.png\">"_qs);

    // Serialized and parsed again, the value is the same text.
    HtmlDocument again;
    ASSERT_TRUE(again.parse(HtmlDocument::innerHtml(doc.body())));
    EXPECT_EQ(HtmlDocument::attribute(again.elementsByTagName("img")[2], "src"), hostile);

    // Removing an element removes what it contains.
    ASSERT_TRUE(doc.parse(u"<p>a<span><img src=\"1\">in</span>b</p><img src=\"2\">"_qs));
    doc.removeElement(doc.elementsByTagName("span").at(0));
    EXPECT_EQ(doc.elementsByTagName("img").size(), 1u);
    EXPECT_EQ(HtmlDocument::innerHtml(doc.body()), u"<p>ab</p><img src=\"2\">"_qs);
}

TEST(HtmlDocument, InnerTextBreaksLinesAtBlocksAndBr)
{
    HtmlDocument doc;
    ASSERT_TRUE(
        doc.parse(u"first<div>second<br>third</div><p>fourth&nbsp;x</p><ul><li>a</li><li>b</li>"
                  "</ul><script>skip()</script><style>p{}</style>last"_qs));
    EXPECT_EQ(HtmlDocument::innerText(doc.body()),
              u"first\nsecond\nthird\nfourth\u00a0x\na\nb\nlast"_qs);
    EXPECT_EQ(HtmlDocument::innerText(nullptr), QString());

    ASSERT_TRUE(doc.parse(u"\n  <p>  a \n b  </p>  <pre> x\n  y </pre><br><br>z <b>bold</b>\n"_qs));
    EXPECT_EQ(HtmlDocument::innerText(doc.body()), u"a b\n x\n  y \n\n\nz bold"_qs);
}

TEST(HtmlDocument, OddInputsGiveADocumentAndNeverCrash)
{
    const QByteArray inputs[] = {
        QByteArray(),
        QByteArray("<"),
        QByteArray("<html"),
        QByteArray("<html><head><title>no body</title></head></html>"),
        QByteArray("\xff\xfe\x00<p>x", 7),
        QByteArray("<body><body><p>two bodies</body></body>"),
        QByteArray(5000, '<') + QByteArray(5000, '>'),
        QByteArray("<div>").repeated(3000),
    };
    for (const QByteArray &input : inputs) {
        HtmlDocument doc;
        ASSERT_TRUE(doc.parse(input)) << input.left(40).toStdString();
        ASSERT_NE(doc.body(), nullptr) << input.left(40).toStdString();
        HtmlDocument::innerHtml(doc.body());
        HtmlDocument::innerText(doc.body());
    }
    HtmlDocument doc;
    ASSERT_TRUE(doc.parse(QByteArray("<meta charset=\"iso-8859-1\"><p>\xc3\xa9</p>")));
    EXPECT_EQ(HtmlDocument::innerText(doc.body()), u"é"_qs);
}

} // namespace

// Scanning sees the same elements with the same attribute values as the parsed document.
TEST(HtmlDocument, ScanMeetsTheElementsOfTheParsedDocument)
{
    const QString cases[] = {
        u"<p>a<img src=\"x\\1.png\" class=\"s&amp;t\" zv_exdata=\"{&quot;a&quot;:1}\">b</p>"
        "<table><tr><td><img ismap alt></td></tr></table><img SRC=\"UPPER\">"_qs,
        u"<!DOCTYPE html><html><head><title>t</title></head><body><img src=\"p\"></body></html>"_qs,
        u"text first <b><img src=\"a\"><p><img src=\"b\"></b><noscript><img src=\"c\"></noscript>"_qs,
        u"<img"_qs,
        QString(),
    };
    qsizetype met = 0;
    for (const QString &html : cases) {
        QStringList parsed, scanned;
        const auto describe = [](const std::optional<QString> &src, const QString &className,
                                 const std::optional<QString> &ismap) -> QString {
            return src.value_or(u"-"_qs) + u'|' + className + u'|' + ismap.value_or(u"-"_qs);
        };
        HtmlDocument doc;
        ASSERT_TRUE(doc.parse(html));
        for (HtmlDocument::Element image : doc.elementsByTagName("img"))
            parsed << describe(HtmlDocument::attribute(image, "src"),
                               HtmlDocument::className(image),
                               HtmlDocument::attribute(image, "ismap"));
        ASSERT_TRUE(HtmlDocument::scan(html, "img", [&](const HtmlDocument::ScannedElement &e) {
            scanned << describe(e.attribute("src"), e.className(), e.attribute("ismap"));
        }));
        EXPECT_EQ(scanned, parsed) << html.toStdString();
        met += scanned.size();
    }
    EXPECT_EQ(met, 8);
    QStringList first;
    HtmlDocument::scan(u"<p><img src=\"x\\1.png\" class=\"s&amp;t\" ismap>"_qs, "img",
                       [&](const HtmlDocument::ScannedElement &e) {
                           first << *e.attribute("src") << e.className() << *e.attribute("ismap");
                       });
    EXPECT_EQ(first, (QStringList{u"x\\1.png"_qs, u"s&t"_qs, u"ismap"_qs}));
}
