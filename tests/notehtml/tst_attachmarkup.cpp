// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;

namespace {

// Each record as one line, so a failing comparison shows every field.
std::vector<QString> describe(const std::vector<NewAttachFile> &records)
{
    std::vector<QString> lines;
    for (const NewAttachFile &r : records)
        lines.push_back(
            u"kind=%1 src=%2 store=%3 orig=%4 ext=%5 path=%6 spare=%7 time=%8"_qs.arg(r.fileKind)
                .arg(r.isImageSrc)
                .arg(r.storeName, r.origName, r.fileExt, r.filePath, r.spareText, r.modifyTime));
    return lines;
}

// The line of a record with no spare text or time; thumbnails (kind 1) are image sources.
QString expected(int kind, const QString &store, const QString &orig, const QString &ext,
                 const QString &path)
{
    return u"kind=%1 src=%2 store=%3 orig=%4 ext=%5 path=%6 spare= time="_qs.arg(kind)
        .arg(kind == 1 ? 1 : 0)
        .arg(store, orig, ext, path);
}

QString root()
{
    return GetAttachRootDir() + u'/';
}

// A note as the editor saves it, with comments before <html>, a head and markup the readers
// must look through.
const QString kNote = uR"(<!-- note --><!DOCTYPE html><html><head><title>t</title></head><body>
<p>Report <img class="userdata\attachment\aaa.docx" src="../userdata\attachment\aaa_thumb.png" zv_exdata='{"OrigName_B64":"5oql5ZGKIHYyLmRvY3g="}'></p>
<img src="../userdata/attachment/plain.png">
<div><span><img class="userdata\attachment\pic.png" src="../userdata\attachment\pic.png" zv_exdata='{"OrigName_B64":"5paH5Lu2LnBuZw=="}'></span>
<img class="userdata\attachment\aaa.docx" src="../userdata\attachment\aaa_thumb.png" zv_exdata='{"OrigName_B64":"5oql5ZGKIHYyLmRvY3g="}'>
<img class="userdata\attachment\aaa.docx" src="../userdata/attachment/aaa_thumb.png" zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img src="../userdata/attachment/only.png" zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img class="userdata\attachment\q.png" src="../userdata\attachment\q.png" zv_exdata='{"OrigName_B64":""}'>
<img class="userdata\attachment\only.png" zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img class="userdata\attachment\noext" src="" zv_exdata="garbage">
<img src="file:///C:/a/x.png" zv_exdata='{}'></div>
tail</body></html>)"_qs;

TEST(AttachMarkup, ParseAttListListsEachFileOnceReadsHugeNotesAndSkipsNamesLeaving)
{
    std::vector<NewAttachFile> records(3); // replaced, not appended to
    QString text;
    ASSERT_EQ(AttachMarkup::ParseAttList(u"note1"_qs, kNote, records, &text), 1);
    const QString r = root();
    EXPECT_THAT(
        describe(records),
        ElementsAre(expected(2, u"aaa.docx"_qs, u"报告 v2.docx"_qs, u"docx"_qs,
                             r + u"note1/报告 v2.docx"_qs),
                    expected(1, u"aaa_thumb.png"_qs, {}, u"png"_qs, r + u"aaa_thumb.png"_qs),
                    expected(2, u"pic.png"_qs, u"文件.png"_qs, u"png"_qs, r + u"note1/文件.png"_qs),
                    expected(1, u"pic.png"_qs, {}, u"png"_qs, r + u"pic.png"_qs),
                    expected(2, u"aaa.docx"_qs, u"a.txt"_qs, u"docx"_qs, r + u"note1/a.txt"_qs),
                    expected(1, u"only.png"_qs, {}, u"png"_qs, r + u"only.png"_qs),
                    expected(2, u"q.png"_qs, {}, u"png"_qs, r + u"q.png"_qs),
                    expected(2, u"noext"_qs, {}, u"noext"_qs, r + u"noext"_qs),
                    expected(1, u"x.png"_qs, {}, u"png"_qs, r + u"x.png"_qs)));
    EXPECT_EQ(text, u"Report\ntail"_qs);

    // The list of original names keeps duplicates and appends.
    std::vector<QString> names{u"earlier"_qs};
    ASSERT_EQ(AttachMarkup::ParseAttOrigFileNameList(kNote, names), 1);
    EXPECT_THAT(names,
                ElementsAre(u"earlier"_qs, u"报告 v2.docx"_qs, u"文件.png"_qs, u"报告 v2.docx"_qs,
                            u"a.txt"_qs, u"a.txt"_qs, u"a.txt"_qs));

    // Without attachments the list is emptied.
    for (const QString &html : {u""_qs, u"<p>text only</p>"_qs,
                                u"<img src=\"../userdata\\attachment\\a.png\" class=\"x\">"_qs}) {
        records.resize(2);
        EXPECT_EQ(AttachMarkup::ParseAttList(u"n"_qs, html, records), 1) << html.toStdString();
        EXPECT_TRUE(records.empty()) << html.toStdString();
    }

    EXPECT_EQ(AttachMarkup::FormatOrigNameToJson(QString()), uR"({"OrigName_B64":""})"_qs);
    EXPECT_EQ(AttachMarkup::FormatOrigNameToJson(u"文件.png"_qs),
              uR"({"OrigName_B64":"5paH5Lu2LnBuZw=="})"_qs);
    for (const QString &name : {u"报告 v2.docx"_qs, u"😀 ü\\&\"'<>.x"_qs, u"a"_qs, u"ab"_qs}) {
        EXPECT_EQ(
            AttachMarkup::GetOrigNameFromJson(AttachMarkup::FormatOrigNameToJson(name).toUtf8()),
            name);
    }
    const std::pair<QByteArray, QString> cases[] = {
        {R"({"OrigName_B64":""})", {}},
        {"not json", {}},
        {"", {}},
        {"[\"YS50eHQ=\"]", {}},
        {R"({"OrigName_B64":5})", {}},
        {"/* kept by old pages */ {\"other\":1, \"OrigName_B64\":\"YS50eHQ=\" // name\n}",
         u"a.txt"_qs},
        {R"({"OrigName_B64":"vsnD+y5kb2M="})", u"旧名.doc"_qs}, // written in GB18030 by older hosts
        {R"({"OrigName_B64":"YQBi"})", u"a"_qs}, // bytes end at the first zero
        {QByteArray(100000, '['), {}}};
    for (const auto &[json, name] : cases)
        EXPECT_EQ(AttachMarkup::GetOrigNameFromJson(json), name) << json.left(60).toStdString();

    // The attach files of a note are the existing class files.
    const QString noteId = u"note3"_qs;
    const QString noteHtml
        = uR"(<img class="userdata\attachment\s1.txt" src="../userdata\attachment\s1.txt" zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img class="userdata\attachment\s2.txt" zv_exdata='{"OrigName_B64":""}'>
<img class="userdata\attachment\gone.txt" zv_exdata='{"OrigName_B64":""}'>)"_qs;
    for (const QString &name : {QString(noteId + u"/a.txt"_qs), u"s2.txt"_qs, u"s1.txt"_qs})
        ASSERT_TRUE(writeBytes(root() + name, {}));
    std::vector<QString> paths{u"kept"_qs};
    QString noteText = u"old"_qs;
    AttachMarkup::GetAttachFileFromHtml(noteId, noteHtml, paths, &noteText);
    EXPECT_THAT(paths,
                ElementsAre(u"kept"_qs, root() + noteId + u"/a.txt"_qs, root() + u"s2.txt"_qs));
    EXPECT_EQ(noteText, QString());

    // A text run just past the parser's default 10,000,000-byte limit for one text node.
    const QString huge = u"<p>"_qs + QString(10'000'001, u'x')
        + uR"(</p><img class="userdata\attachment\big.bin" zv_exdata='{"OrigName_B64":""}'>)"_qs;
    std::vector<NewAttachFile> found;
    QString hugeText;
    ASSERT_EQ(AttachMarkup::ParseAttList(u"n"_qs, huge, found, &hugeText), 1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].storeName, u"big.bin"_qs);
    EXPECT_EQ(hugeText.size(), 10'000'001);

    const QString leaving = uR"(
<img class="userdata\attachment\.." src="../userdata/attachment/.." zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img class="userdata\attachment\a.bin" zv_exdata='{"OrigName_B64":"Li4vZXZpbC50eHQ="}'>
<img class="userdata\attachment\b.bin" zv_exdata='{"OrigName_B64":"eFx5LnR4dA=="}'>
<img class="userdata\attachment\c.bin" zv_exdata='{"OrigName_B64":"Li4="}'>
<img class="userdata\attachment\ok.bin" src="../userdata\attachment\." zv_exdata='{"OrigName_B64":""}'>)"_qs;
    LogCapture log;
    ASSERT_EQ(AttachMarkup::ParseAttList(u"note2"_qs, leaving, found), 1);
    // A '\\' is part of a Linux file name: kept under a name without it.
    EXPECT_THAT(describe(found),
                ElementsAre(expected(2, u"b.bin"_qs, u"x\\y.txt"_qs, u"bin"_qs,
                                     root() + u"note2/x\uFF3Cy.txt"_qs),
                            expected(2, u"ok.bin"_qs, {}, u"bin"_qs, root() + u"ok.bin"_qs)));
    const QString prefix = u"[ERROR] Attachment name leaves the attachment folder, skipped: "_qs;
    EXPECT_THAT(log.lines(),
                ElementsAre(prefix + u".."_qs, prefix + u".."_qs, prefix + u"../evil.txt"_qs,
                            prefix + u".."_qs, prefix + u"."_qs));

    // A note id that is not one folder name keeps kept copies from being addressed through it.
    LogCapture idLog;
    ASSERT_EQ(
        AttachMarkup::ParseAttList(
            u"../up"_qs,
            uR"(<img class="userdata\attachment\k.bin" src="../userdata\attachment\k.png" zv_exdata='{"OrigName_B64":"YS50eHQ="}'>)"_qs,
            found),
        1);
    EXPECT_THAT(describe(found),
                ElementsAre(expected(1, u"k.png"_qs, {}, u"png"_qs, root() + u"k.png"_qs)));
    EXPECT_THAT(idLog.lines(), ElementsAre(prefix + u"../up"_qs));
}

// zv_exdata of a.txt and b.txt as they appear in markup.
const QString kExA = u"{&quot;OrigName_B64&quot;:&quot;YS50eHQ=&quot;}"_qs;
const QString kExB = u"{&quot;OrigName_B64&quot;:&quot;Yi50eHQ=&quot;}"_qs;

QString img(const QString &cls, const QString &src, const QString &exdata)
{
    return u"<img class=\""_qs + cls + u"\" src=\""_qs + src + u"\" zv_exdata=\""_qs + exdata
        + u"\">"_qs;
}

TEST(AttachMarkupRewriter, UpdatesRepointEveryMatchingElementAndRewritePathsAndMetadata)
{
    const QString body = u"<p>附件 "_qs
        + img(u"userdata\\attachment\\old.txt"_qs, u"../userdata\\attachment\\old_t.png"_qs, kExA)
        + u"</p><img src=\"../userdata\\attachment\\pic.png\">"_qs
        + img(u"userdata\\attachment\\old.txt"_qs, u"../userdata/attachment/old_t.png"_qs, kExA)
        + u"<img class=\"userdata\\attachment\\old.txt\" zv_exdata='{\"OrigName_B64\": \"YS50eHQ=\"}'>"_qs
        + img(u"userdata\\attachment\\b.txt"_qs, u"../userdata\\attachment\\b_t.png"_qs, kExB);
    const QString page = u"<!-- saved --><html><head><title>x</title></head><body>"_qs + body
        + u"</body></html>"_qs;

    QString html = u"unset"_qs;
    QString text = u"unset"_qs;
    ASSERT_EQ(AttachMarkupRewriter::UpdateHtmlAttachAttr(
                  page, u"a.txt"_qs, u"userdata\\attachment\\new.txt"_qs,
                  u"../userdata\\attachment\\new_t.png"_qs, html, text),
              1);
    const QString changed
        = img(u"userdata\\attachment\\new.txt"_qs, u"../userdata\\attachment\\new_t.png"_qs, kExA);
    EXPECT_EQ(
        html,
        u"<p>附件 "_qs + changed + u"</p><img src=\"../userdata\\attachment\\pic.png\">"_qs
            + changed
            // a blank inside the JSON makes it another text: not matched, written back normalised
            + u"<img class=\"userdata\\attachment\\old.txt\" zv_exdata=\"{&quot;OrigName_B64&quot;: &quot;YS50eHQ=&quot;}\">"_qs
            + img(u"userdata\\attachment\\b.txt"_qs, u"../userdata\\attachment\\b_t.png"_qs, kExB));
    EXPECT_EQ(text, u"附件"_qs);

    // No element carries the name: the body comes back as it was.
    ASSERT_EQ(AttachMarkupRewriter::UpdateHtmlAttachAttr(page, u"nobody.txt"_qs, u"c"_qs, u"s"_qs,
                                                         html, text),
              1);
    EXPECT_EQ(
        html,
        body.left(body.indexOf(u"<img class=\"userdata\\attachment\\old.txt\" zv_exdata='"_qs))
            + u"<img class=\"userdata\\attachment\\old.txt\" zv_exdata=\"{&quot;OrigName_B64&quot;: &quot;YS50eHQ=&quot;}\">"_qs
            + img(u"userdata\\attachment\\b.txt"_qs, u"../userdata\\attachment\\b_t.png"_qs, kExB));

    // UpdateAttachAttValue rewrites paths and metadata.
    const QByteArray bytes
        = QStringLiteral(
              "<p>ü</p>"
              "<img src=\"../userdata/attachment/old.png\" "
              "data-ke-src=\"../userdata\\attachment\\old.png\" "
              "zvimgsrc=\"..\\userdata\\attachment\\old.png\" zv_exdata=\"X\">"
              "<img src=\"..\\userdata\\attachment\\old.png\" "
              "data-ke-src=\"../userdata\\attachment\\old.png\" zv_exdata=\"X\">"
              "<img src=\"../userdata/attachment/w.png\" data-ke-src=\"plain\" zv_exdata=\"W\">"
              "<img src=\"../userdata/attachment/e.png\" zv_exdata=\"\">"
              "<img src=\"../userdata/attachment/n.png\">")
              .toUtf8();
    const std::vector<AttachNewAtt> changes{{u"X"_qs, u"Y"_qs, u"new.png"_qs},
                                            {u"X"_qs, u"Z"_qs, u"other.png"_qs},
                                            {u"W"_qs, u"W2"_qs, u"w2.png"_qs},
                                            {QString(), u"E"_qs, u"e2.png"_qs}};
    QByteArray out;
    ASSERT_EQ(AttachMarkupRewriter::UpdateAttachAttValue(bytes, changes, out), 1);
    EXPECT_EQ(
        out,
        QStringLiteral(
            "<p>ü</p>"
            "<img src=\"../userdata/attachment/new.png\" "
            "data-ke-src=\"../userdata\\attachment\\new.png\" "
            "zvimgsrc=\"..\\userdata\\attachment\\new.png\" zv_exdata=\"Y\">"
            "<img src=\"..\\userdata\\attachment\\old.png\" "
            "data-ke-src=\"../userdata\\attachment\\new.png\" zv_exdata=\"Y\">"
            "<img src=\"../userdata/attachment/w2.png\" data-ke-src=\"plain\" zv_exdata=\"W2\">"
            "<img src=\"../userdata/attachment/e.png\" zv_exdata=\"\">"
            "<img src=\"../userdata/attachment/n.png\">")
            .toUtf8());

    QByteArray copy;
    EXPECT_EQ(AttachMarkupRewriter::UpdateAttachAttValue2(bytes, changes, copy), 1);
    EXPECT_EQ(copy, bytes);
}

// An attachment s<n>.txt with the thumbnail t<n>.png.
QString att(int n, const QString &exdata)
{
    return img(u"userdata\\attachment\\s%1.txt"_qs.arg(n),
               u"../userdata\\attachment\\t%1.png"_qs.arg(n), exdata);
}

class DeleteAttachment : public AppFolderTest
{
protected:
    // Stores `content` as a note file of `version` and gives the note's record list, with the
    // note file second (the first record of kind 0 is the one changed).
    std::vector<NewAttachFile> storedNote(const QString &content, int version)
    {
        const QString path = m_root + u"note-v"_qs + QString::number(version) + u".html"_qs;
        EXPECT_EQ(NoteHtmlRW::WriteHtmlTextFile(path, content, version), 1);
        return {{.fileKind = 2, .filePath = u"/elsewhere"_qs}, {.fileKind = 0, .filePath = path}};
    }
};

TEST_F(DeleteAttachment, RemovesTheFirstMatchingElementOnlyFromANoteFileThatHasIt)
{
    std::vector<NewAttachFile> records = storedNote(
        u"<p>x<span>"_qs + att(1, kExA) + u"</span></p>"_qs + att(2, kExA) + att(3, kExB), 2);
    const QString oldPath = records[1].filePath;

    ASSERT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, records), 1);
    const QString content = u"<p>x<span></span></p>"_qs + att(2, kExA) + att(3, kExB);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].fileKind, 0);
    EXPECT_EQ(records[0].filePath, m_root + records[0].storeName);
    EXPECT_EQ(readBytes(records[0].filePath), NoteHtmlRW::header(2) + content.toUtf8());
    std::vector<QString> stores;
    for (const NewAttachFile &r : records) {
        stores.push_back(r.storeName);
        EXPECT_EQ(r.modifyTime, records[0].modifyTime);
    }
    EXPECT_THAT(
        stores,
        ElementsAre(records[0].storeName, u"s2.txt"_qs, u"t2.png"_qs, u"s3.txt"_qs, u"t3.png"_qs));
    EXPECT_EQ(records[1].filePath, m_root + u"n1/a.txt"_qs);
    EXPECT_TRUE(QFile::exists(oldPath));

    // A version-1 note is stored upgraded.
    const QString v1 = u"<img class=\"userdata\\attachment\\old.bin\">"_qs;
    records = storedNote(v1 + att(1, kExA), 1);
    ASSERT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, records), 1);
    EXPECT_EQ(readBytes(records[0].filePath),
              NoteHtmlRW::header(2)
                  + "<img class=\"userdata\\attachment\\old.bin\" "
                    "zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;b2xkLmJpbg==&quot;}\">");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].origName, u"old.bin"_qs);

    // Nothing changes without a note file or a match.
    const std::vector<NewAttachFile> stored = storedNote(att(1, kExA), 2);
    const QStringList before = QDir(m_root).entryList(QDir::Files);

    std::vector<NewAttachFile> kept = stored;
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"b.txt"_qs, kept), 0);
    EXPECT_EQ(kept.size(), 2u);

    kept = {stored[0]}; // no note record
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, kept), 0);
    EXPECT_EQ(kept.size(), 1u);

    kept = stored;
    kept[1].filePath = m_root + u"missing.html"_qs;
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, kept), 0);
    EXPECT_EQ(kept[1].filePath, m_root + u"missing.html"_qs);

    kept[1].filePath.clear();
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, kept), 0);
    EXPECT_EQ(QDir(m_root).entryList(QDir::Files), before);
}

QString bodyHtml(const QString &html)
{
    HtmlDocument doc;
    EXPECT_TRUE(doc.parse(html));
    return HtmlDocument::innerHtml(doc.body());
}

// What a contenteditable body produces comes back byte for byte.
TEST(HtmlDocument, EditorMarkupRoundTripsRepairedLenientlyAndOnlyTheBodyIsSerialized)
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

    const std::pair<QString, QString> broken[] = {
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
    for (const auto &[in, out] : broken)
        EXPECT_EQ(bodyHtml(in), out) << "for input " << in.toStdString();

    const QString page
        = u"<!-- saved by the editor -->\n<!DOCTYPE html>\n<HTML><head><title>t</title>"
          "<style>p{color:red}</style></head><BODY class=\"b\"><P>x</P>tail</BODY></HTML>"_qs;
    HtmlDocument doc;
    ASSERT_TRUE(doc.parse(page));
    EXPECT_EQ(HtmlDocument::innerHtml(doc.body()), u"<p>x</p>tail"_qs);
    EXPECT_EQ(HtmlDocument::className(doc.body()), u"b"_qs);
    EXPECT_EQ(doc.elementsByTagName("body").size(), 1u);
    EXPECT_EQ(doc.elementsByTagName("style").size(), 1u);

    ASSERT_TRUE(
        doc.parse(u"first<div>second<br>third</div><p>fourth&nbsp;x</p><ul><li>a</li><li>b</li>"
                  "</ul><script>skip()</script><style>p{}</style>last"_qs));
    EXPECT_EQ(HtmlDocument::innerText(doc.body()),
              u"first\nsecond\nthird\nfourth\u00a0x\na\nb\nlast"_qs);
    EXPECT_EQ(HtmlDocument::innerText(nullptr), QString());

    ASSERT_TRUE(doc.parse(u"\n  <p>  a \n b  </p>  <pre> x\n  y </pre><br><br>z <b>bold</b>\n"_qs));
    EXPECT_EQ(HtmlDocument::innerText(doc.body()), u"a b\n x\n  y \n\n\nz bold"_qs);
}

TEST(HtmlDocument, AttributesTellAbsentFromEmptyAndSetExactValuesAndOddInputsNeverCrash)
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

    // Odd inputs give a document and never crash.
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
        HtmlDocument odd;
        ASSERT_TRUE(odd.parse(input)) << input.left(40).toStdString();
        ASSERT_NE(odd.body(), nullptr) << input.left(40).toStdString();
        HtmlDocument::innerHtml(odd.body());
        HtmlDocument::innerText(odd.body());
    }
    HtmlDocument odd;
    ASSERT_TRUE(odd.parse(QByteArray("<meta charset=\"iso-8859-1\"><p>\xc3\xa9</p>")));
    EXPECT_EQ(HtmlDocument::innerText(odd.body()), u"é"_qs);
}

} // namespace
