// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Note files and their markup: attachment elements, the HTML reader, the note file format and
// its upgrades, and the MHT and ODT exports (with the DOCX export where they fail alike).
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/documentmarkup_p.h"
#include "notehtml/docxexport_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/htmlfileupgrademgr_p.h"
#include "notehtml/htmlver_1_to_2_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"
#include "notehtml/odtexport_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

// zv_exdata of a.txt and b.txt as they appear in markup.
const QString kExA = u"{&quot;OrigName_B64&quot;:&quot;YS50eHQ=&quot;}"_qs;
const QString kExB = u"{&quot;OrigName_B64&quot;:&quot;Yi50eHQ=&quot;}"_qs;

QString img(const QString &cls, const QString &src, const QString &exdata)
{
    return u"<img class=\""_qs + cls + u"\" src=\""_qs + src + u"\" zv_exdata=\""_qs + exdata
        + u"\">"_qs;
}

TEST(AttachMarkup, ParseAttListListsEachFileOnceSkipsNamesLeavingAndUpdatesRepointElements)
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

    // The rewriter repoints every matching element and rewrites paths and metadata.
    const QString body = u"<p>附件 "_qs
        + img(u"userdata\\attachment\\old.txt"_qs, u"../userdata\\attachment\\old_t.png"_qs, kExA)
        + u"</p><img src=\"../userdata\\attachment\\pic.png\">"_qs
        + img(u"userdata\\attachment\\old.txt"_qs, u"../userdata/attachment/old_t.png"_qs, kExA)
        + u"<img class=\"userdata\\attachment\\old.txt\" zv_exdata='{\"OrigName_B64\": \"YS50eHQ=\"}'>"_qs
        + img(u"userdata\\attachment\\b.txt"_qs, u"../userdata\\attachment\\b_t.png"_qs, kExB);
    const QString page = u"<!-- saved --><html><head><title>x</title></head><body>"_qs + body
        + u"</body></html>"_qs;

    QString rewritten = u"unset"_qs;
    QString rewrittenText = u"unset"_qs;
    ASSERT_EQ(AttachMarkupRewriter::UpdateHtmlAttachAttr(
                  page, u"a.txt"_qs, u"userdata\\attachment\\new.txt"_qs,
                  u"../userdata\\attachment\\new_t.png"_qs, rewritten, rewrittenText),
              1);
    const QString changed
        = img(u"userdata\\attachment\\new.txt"_qs, u"../userdata\\attachment\\new_t.png"_qs, kExA);
    EXPECT_EQ(
        rewritten,
        u"<p>附件 "_qs + changed + u"</p><img src=\"../userdata\\attachment\\pic.png\">"_qs
            + changed
            // a blank inside the JSON makes it another text: not matched, written back normalised
            + u"<img class=\"userdata\\attachment\\old.txt\" zv_exdata=\"{&quot;OrigName_B64&quot;: &quot;YS50eHQ=&quot;}\">"_qs
            + img(u"userdata\\attachment\\b.txt"_qs, u"../userdata\\attachment\\b_t.png"_qs, kExB));
    EXPECT_EQ(rewrittenText, u"附件"_qs);

    // No element carries the name: the body comes back as it was.
    ASSERT_EQ(AttachMarkupRewriter::UpdateHtmlAttachAttr(page, u"nobody.txt"_qs, u"c"_qs, u"s"_qs,
                                                         rewritten, rewrittenText),
              1);
    EXPECT_EQ(
        rewritten,
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
TEST(DocumentMarkup, AStyleLengthIsReadFromItsOwnDeclarationOnly)
{
    const std::pair<const char *, const char *> lengths[] = {
        {"width: 120px", "120px"},
        {"WIDTH:50%", "50%"},
        {"max-width: 30px; width: 2.5PX !important", "2.5px"},
        {"border-width: 3px", ""},
        {"width: auto; width: 40%", "40%"},
        {"width: 1.px", ""},
        {"width: 12em", ""},
        {"width: px", ""},
        {"height: 20px", ""},
        {"", ""},
    };
    for (const auto &[style, length] : lengths) {
        HtmlDocument note;
        ASSERT_TRUE(
            note.parse(QStringLiteral("<p style=\"%1\">a</p>").arg(QLatin1StringView(style))));
        EXPECT_EQ(DocumentMarkup::styleLength(note.elementsByTagName("p").front(), "width"),
                  QLatin1StringView(length))
            << style;
    }
    HtmlDocument unstyled;
    ASSERT_TRUE(unstyled.parse(QStringLiteral("<p width=\"30\">a</p>")));
    const HtmlDocument::Element paragraph = unstyled.elementsByTagName("p").front();
    EXPECT_EQ(DocumentMarkup::styleLength(paragraph, "width"), QString());
    EXPECT_EQ(DocumentMarkup::pixelLength(paragraph, "width"), 30);
}

TEST(HtmlDocument, MarkupRoundTripsRepairedOnlyTheBodyIsSerializedAndAttributesAreExact)
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

    HtmlDocument parsed;
    ASSERT_TRUE(parsed.parse(u"<img src=\"\" zv_exdata><img class=\"c\"><p>no img</p><img>"_qs));
    const auto images = parsed.elementsByTagName("img");
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
    EXPECT_EQ(HtmlDocument::innerHtml(parsed.body()),
              u"<img src=\"\" zv_exdata=\"\"><img class=\"c\"><p>no img</p>"
              "<img src=\"..\\a\\名 &amp; &quot;q&quot; <x> %5C &amp;amp;\" "
              "class=\"userdata\\attachment\\x.png\">"_qs);

    // Serialized and parsed again, the value is the same text.
    HtmlDocument again;
    ASSERT_TRUE(again.parse(HtmlDocument::innerHtml(parsed.body())));
    EXPECT_EQ(HtmlDocument::attribute(again.elementsByTagName("img")[2], "src"), hostile);

    // Removing an element removes what it contains.
    ASSERT_TRUE(parsed.parse(u"<p>a<span><img src=\"1\">in</span>b</p><img src=\"2\">"_qs));
    parsed.removeElement(parsed.elementsByTagName("span").at(0));
    EXPECT_EQ(parsed.elementsByTagName("img").size(), 1u);
    EXPECT_EQ(HtmlDocument::innerHtml(parsed.body()), u"<p>ab</p><img src=\"2\">"_qs);

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

    // Scanning sees the same elements with the same attribute values as the parsed document.
    const QString sources[] = {
        u"<p>a<img src=\"x\\1.png\" class=\"s&amp;t\" zv_exdata=\"{&quot;a&quot;:1}\">b</p>"
        "<table><tr><td><img ismap alt></td></tr></table><img SRC=\"UPPER\">"_qs,
        u"<!DOCTYPE html><html><head><title>t</title></head><body><img src=\"p\"></body></html>"_qs,
        u"text first <b><img src=\"a\"><p><img src=\"b\"></b><noscript><img src=\"c\"></noscript>"_qs,
        u"<img"_qs,
        QString(),
    };
    qsizetype met = 0;
    for (const QString &html : sources) {
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

const QByteArray kHeader2 = QByteArrayLiteral("<!--{\"ver_number\":2}-->");
const QString kV1Image
    = uR"(<p>old</p><img class="userdata\attachment\ab12.png" src="../userdata\attachment\ab12_t.png">)"_qs;
const QString kV2Image
    = uR"(<p>old</p><img class="userdata\attachment\ab12.png" src="../userdata\attachment\ab12_t.png" zv_exdata="{&quot;OrigName_B64&quot;:&quot;YWIxMi5wbmc=&quot;}">)"_qs;

class NoteFiles : public AppFolderTest
{
protected:
    QStringList storeFiles() const { return QDir(m_root).entryList(QDir::Files, QDir::Name); }
};

TEST_F(NoteFiles, ReadingSplitsHeaderAndContentAndWritingPutsItFirst)
{
    QByteArray legacy = QStringEncoder("GB18030").encode(u"旧笔记"_qs);
    // file bytes, content, version
    const std::tuple<QByteArray, QString, int> cases[]
        = {{kHeader2 + "<p>x</p>", u"<p>x</p>"_qs, 2},
           {"<p>no header</p>", u"<p>no header</p>"_qs, 0},
           {"<!---->abc", u"<!---->abc"_qs, 0}, // the end marker must come after the opening one
           {"", u""_qs, 0},
           {"<!--{\"ver_number\":1}-->", u""_qs, 1},
           {"<!--not json-->abc", u"abc"_qs, 0},
           {"<!--{\"ver_number\":\"2\"}-->abc", u"abc"_qs, 0},
           {"<!-- {\"ver_number\":7} // hand-edited\n-->abc", u"abc"_qs, 7},
           {"<!--{\"ver_number\":2}", u"<!--{\"ver_number\":2}"_qs, 0},
           {"<!--a--><!--{\"ver_number\":2}-->x", u"<!--{\"ver_number\":2}-->x"_qs, 0},
           {QByteArray("<!--{\"ver_number\":2}-->ab\0cd", 27), u"ab"_qs, 2}};
    const QString path = m_app.filePath(u"note.html"_qs);
    for (const auto &[bytes, expectedContent, expectedVersion] : cases) {
        ASSERT_TRUE(writeBytes(path, bytes));
        QString content = u"unset"_qs;
        int version = -1;
        EXPECT_EQ(NoteHtmlRW::ReadHtmlTextFromFile(path, content, version), 1);
        EXPECT_EQ(content, expectedContent) << bytes.toStdString();
        EXPECT_EQ(version, expectedVersion) << bytes.toStdString();
    }

    // A UTF-8 note damaged in one place stays UTF-8, a legacy note is read as legacy; the log
    // says which reading was used.
    const std::pair<QByteArray, QString> notUtf8[]
        = {{kHeader2 + "<p>\xE4\xB8\xAD\xE6\x96\x87\xFF</p>",
            u"as UTF-8, 1 invalid byte(s) replaced"_qs},
           {kHeader2 + legacy, u"as GB18030 (legacy code page)"_qs}};
    for (const auto &[bytes, reading] : notUtf8) {
        ASSERT_TRUE(writeBytes(path, bytes));
        LogCapture log;
        QString content;
        int version = -1;
        EXPECT_EQ(NoteHtmlRW::ReadHtmlTextFromFile(path, content, version), 1);
        EXPECT_EQ(content, reading.contains(u"UTF-8") ? u"<p>中文\uFFFD</p>"_qs : u"旧笔记"_qs);
        EXPECT_EQ(log.lines(),
                  Lines{u"NoteHtmlRW::ReadHtmlTextFromFile, not valid UTF-8, read "_qs + reading
                        + u": "_qs + path});
    }

    QString content = u"unset"_qs;
    int version = -1;
    EXPECT_EQ(
        NoteHtmlRW::ReadHtmlTextFromFile(m_app.filePath(u"missing.html"_qs), content, version), 0);
    EXPECT_EQ(content, u"unset"_qs);
    EXPECT_EQ(version, -1);

    // Writing puts the header before the content.
    const QString written = m_app.filePath(u"w.html"_qs);
    ASSERT_TRUE(writeBytes(written, QByteArray(1000, 'x')));
    ASSERT_EQ(NoteHtmlRW::WriteHtmlTextFile(written, u"<p>名</p>"_qs, 2), 1);
    EXPECT_EQ(readBytes(written), "<!--{\"ver_number\":2}--><p>\xe5\x90\x8d</p>");
    ASSERT_EQ(NoteHtmlRW::WriteHtmlTextFile(written, QString(), -15), 1);
    EXPECT_EQ(readBytes(written), "<!--{\"ver_number\":-15}-->");

    LogCapture log;
    const QString inMissingFolder = m_app.filePath(u"no/such/n.html"_qs);
    EXPECT_EQ(NoteHtmlRW::WriteHtmlTextFile(inMissingFolder, u"x"_qs, 2), 0);
    EXPECT_EQ(NoteHtmlRW::WriteHtmlTextFile(m_app.path(), u"x"_qs, 2), 0);
    // A full disk leaves the previous file whole and nothing else behind.
    const auto restore = qScopeGuard([] { Internal::setWriteCallForTesting(nullptr); });
    Internal::setWriteCallForTesting([](int, const void *, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    EXPECT_EQ(NoteHtmlRW::WriteHtmlTextFile(written, u"new"_qs, 2), 0);
    EXPECT_EQ(readBytes(written), "<!--{\"ver_number\":-15}-->");
    EXPECT_EQ(QDir(m_app.path()).entryList(QDir::Files),
              (QStringList{u"note.html"_qs, u"w.html"_qs}));
    EXPECT_THAT(log.lines(),
                ElementsAre(u"cause:2, error:2 and file name is "_qs + inMissingFolder,
                            u"cause:3, error:21 and file name is "_qs + m_app.path(),
                            u"cause:13, error:28 and file name is "_qs + written));
}

TEST_F(NoteFiles, SavingStoresUnderTheHashOfTheWrittenBytesAndReplacesADamagedFile)
{
    QString content = u"<p>saved 中文</p>"_qs;
    NewAttachFile record;
    record.origName = u"kept"_qs;
    int version = 2;
    ASSERT_EQ(NoteHtmlRW::SaveHtmlTextToFile(content, record, &version), 1);
    const QByteArray bytes = kHeader2 + content.toUtf8();
    const QString name = md5Hex(bytes) + u".html"_qs;
    EXPECT_EQ(record.storeName, name);
    EXPECT_EQ(record.filePath, m_root + name);
    EXPECT_EQ(record.fileExt, u"html"_qs);
    EXPECT_EQ(record.fileKind, 0);
    EXPECT_EQ(record.origName, u"kept"_qs);
    EXPECT_TRUE(matches(u"\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"_qs, record.modifyTime))
        << record.modifyTime.toStdString();
    EXPECT_EQ(readBytes(record.filePath), bytes);
    EXPECT_EQ(version, 2);

    // The same content again: same name, the existing file kept, no temporary file left.
    const quint64 before = inodeOf(record.filePath);
    ASSERT_NE(before, 0u);
    NewAttachFile again;
    ASSERT_EQ(NoteHtmlRW::SaveHtmlTextToFile(content, again, nullptr), 1);
    EXPECT_EQ(again.storeName, name);
    EXPECT_EQ(inodeOf(record.filePath), before);
    EXPECT_EQ(storeFiles(), QStringList{name});

    // A torn copy under the right name is replaced.
    QString damaged = u"<p>to be damaged</p>"_qs;
    const QString torn = md5Hex(kHeader2 + damaged.toUtf8()) + u".html"_qs;
    ASSERT_TRUE(writeBytes(m_root + torn, kHeader2 + "<p>to be dam"));
    LogCapture log;
    NewAttachFile repaired;
    ASSERT_EQ(NoteHtmlRW::SaveHtmlTextToFile(damaged, repaired, nullptr), 1);
    EXPECT_EQ(readBytes(m_root + torn), kHeader2 + damaged.toUtf8());
    EXPECT_THAT(
        log.lines(),
        ElementsAre(u"[ERROR] NoteHtmlRW::SaveHtmlTextToFile replaces a damaged note file: "_qs
                    + m_root + torn));
    EXPECT_EQ(storeFiles().size(), 2) << "a temporary file was left";
}

TEST_F(NoteFiles, SavingUpgradesOlderMarkupAndFailsCleanlyWhenTheFolderIsNotWritable)
{
    // version, passed to the save, content, stored content, version in the header
    const std::tuple<int, bool, QString, QString, int> cases[]
        = {{1, true, kV1Image, kV2Image, 2},
           {0, true, kV1Image, kV2Image, 2},
           {0, true, u"<p>plain</p>"_qs, u"<p>plain</p>"_qs, 2},
           {2, true, kV1Image, kV1Image, 2}, // a version-2 note is never upgraded
           {3, true, kV1Image, kV1Image, 3},
           {1, false, kV1Image, kV1Image, 2}};
    for (const auto &[from, withPointer, original, stored, header] : cases) {
        QString content = original;
        int version = from;
        NewAttachFile record;
        ASSERT_EQ(NoteHtmlRW::SaveHtmlTextToFile(content, record, withPointer ? &version : nullptr),
                  1);
        EXPECT_EQ(content, stored) << "from version " << from;
        EXPECT_EQ(version, withPointer ? qMax(2, from) : from);
        EXPECT_EQ(readBytes(record.filePath), NoteHtmlRW::header(header) + stored.toUtf8());
    }

    QDir(m_root).removeRecursively();
    ASSERT_TRUE(writeBytes(m_root.chopped(1), "a file where the folder should be"));
    LogCapture log;
    QString content = u"<p>x</p>"_qs;
    NewAttachFile record;
    record.storeName = u"untouched"_qs;
    EXPECT_EQ(NoteHtmlRW::SaveHtmlTextToFile(content, record, nullptr), 0);
    EXPECT_EQ(record.storeName, u"untouched"_qs);
    const auto lines = log.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(
        lines[lines.size() - 2].startsWith(u"cause:3, error:20 and file name is "_qs + m_root))
        << lines[lines.size() - 2].toStdString();
    EXPECT_TRUE(lines[lines.size() - 2].endsWith(u".tmp"_qs));
    EXPECT_EQ(lines.back(), u"[ERROR] NoteHtmlRW::SaveHtmlTextToFile faild!"_qs);
}

TEST(HtmlUpgrade, Version1MarkupGetsOriginalNamesAndTheChainRunsToTheLastVersion)
{
    const std::pair<QString, QString> cases[] = {
        // no result: the input comes back as it is
        {kV1Image, kV2Image},
        {u"<img class=\"userdata/attachment/cd.png\" zv_exdata=\"\">"_qs,
         u"<img class=\"userdata/attachment/cd.png\" zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;Y2QucG5n&quot;}\">"_qs},
        {u"<html><head><title>t</title></head><body><IMG class=\"noseparator.png\"></body></html>"_qs,
         {}},
        {u"<img class=\"userdata\\attachment\\e.png\" zv_exdata='{\"OrigName_B64\":\"YS50eHQ=\"}'>  <b>x</b>"_qs,
         {}},
        {u"<head><title>t</title></head><p>a</p><img class=\"x\\y.png\">"_qs,
         u"<p>a</p><img class=\"x\\y.png\" zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;eS5wbmc=&quot;}\">"_qs}};
    for (const auto &[in, upgraded] : cases) {
        QString out = u"unset"_qs;
        EXPECT_EQ(HtmlVer_1_To_2().DoUpgrade(in, out), 1);
        EXPECT_EQ(out, upgraded.isNull() ? in : upgraded) << in.toStdString();
    }
    EXPECT_EQ(AttachMarkup::GetOrigNameFromJson("{\"OrigName_B64\":\"Y2QucG5n\"}"), u"cd.png"_qs);

    const std::tuple<int, int, int> chain[]
        = {// from, to, result
           {0, 2, 1}, {1, 2, 1}, {0, 1, 1},       {2, 2, 0},
           {2, 5, 0}, {1, 1, 0}, {INT_MIN, 2, 1}, {INT_MAX, INT_MAX, 0}};
    HtmlFileUpgradeMgr upgrades;
    for (const auto &[from, to, result] : chain) {
        QString upgraded = u"unset"_qs;
        EXPECT_EQ(upgrades.UpgradeHtml(kV1Image, from, to, upgraded), result) << from << "->" << to;
        EXPECT_EQ(upgraded, result ? kV2Image : u"unset"_qs) << from << "->" << to;
    }
    QString same = kV1Image;
    EXPECT_EQ(upgrades.UpgradeHtml(same, 1, 2, same), 1);
    EXPECT_EQ(same, kV2Image);
}

// A process saving notes is killed at random moments; whatever it left under a hash name must
// be complete and match its name.
TEST_F(NoteFiles, KilledWhileSavingLeavesNoDamagedNoteFile)
{
    QRandomGenerator random(20261205);
    QElapsedTimer clock;
    clock.start();
    int rounds = 0;
    for (; rounds < 40 && (rounds < 10 || clock.elapsed() < 12000); ++rounds) {
        QProcess saver;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"TAVRIK_APP_DIR"_qs, m_app.path());
        saver.setProcessEnvironment(env);
        saver.start(QString::fromUtf8(NOTEHTML_SAVELOOP), {QString::number(rounds)});
        ASSERT_TRUE(saver.waitForStarted(5000));
        ASSERT_TRUE(saver.waitForReadyRead(5000));
        QThread::msleep(random.bounded(1, 40));
        saver.kill(); // SIGKILL
        ASSERT_TRUE(saver.waitForFinished(5000));
    }
    const QRegularExpression hashName(u"^([0-9a-f]{32})\\.html$"_qs);
    int notes = 0;
    for (const QString &name : storeFiles()) {
        const QRegularExpressionMatch match = hashName.match(name);
        if (!match.hasMatch()) {
            EXPECT_TRUE(name.endsWith(u".tmp"_qs)) << name.toStdString();
            continue;
        }
        ++notes;
        const QByteArray bytes = readBytes(m_root + name);
        EXPECT_EQ(md5Hex(bytes), match.captured(1)) << name.toStdString();
        EXPECT_TRUE(bytes.startsWith(kHeader2)) << name.toStdString();
        EXPECT_TRUE(bytes.endsWith("</p>")) << name.toStdString();
    }
    EXPECT_GE(notes, rounds);
}

// The text properties of the style of the span that holds exactly `text`.
QString spanStyle(const QString &content, const QString &text)
{
    const QString style
        = QRegularExpression(u"text:style-name=\"(c\\d+)\">"_qs + QRegularExpression::escape(text)
                             + u"</text:span>"_qs)
              .match(content)
              .captured(1);
    return QRegularExpression(u"style:name=\""_qs + style
                              + u"\" style:family=\"text\">\\s*<style:text-properties ([^/]*)/>"_qs)
        .match(content)
        .captured(1);
}

// Makes `folder` refuse new files, to a process that may write anywhere too, or take them again.
// The errno of making a file there.
int lock(const QString &folder, bool locked)
{
    const auto owner = QFile::ReadOwner | QFile::ExeOwner;
    QFile::setPermissions(folder, locked ? owner : owner | QFile::WriteOwner);
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
    QFile::setPermissions(folder, locked ? owner : owner | QFile::WriteOwner);
    const QByteArray probe = QFile::encodeName(folder + u"/probe"_qs);
    const int made = ::open(probe.constData(), O_WRONLY | O_CREAT, 0644);
    const int error = made < 0 ? errno : 0;
    if (made >= 0 && ::close(made) == 0)
        ::unlink(probe.constData());
    return error;
}

class ExportTest : public AppFolderTest
{
protected:
    // Stores a picture, a thumbnail card and a file that is not a picture in the attachment
    // folder; gives a note in the editor's markup that shows them, the picture twice, and a
    // picture missing on disk.
    QString storeNote()
    {
        EXPECT_TRUE(m_card.save(m_root + u"c4rd.bmp"_qs, "BMP"));
        EXPECT_TRUE(writeBytes(m_root + u"ab.png"_qs, m_png));
        EXPECT_TRUE(writeBytes(m_root + u"text.png"_qs, "not a picture"));
        return u"<h1>Trip</h1>\n<h2>Day one</h2><p><b>bold</b> <i>italic</i> <u>under</u> "
               "<span style=\"color:#ff0000\">red</span> <a href=\"https://example.com/\">link</a>"
               "</p><ul><li>first</li><li>second</li></ul><ol><li>one</li></ol>"
               "<ul class=\"checklist\"><li data-checked=\"true\">milk</li>"
               "<li data-checked=\"false\">bread</li></ul>"
               "<table><tbody><tr><td>cell 1</td><td>cell 2</td></tr></tbody></table>"
               "<img src=\"../userdata\\attachment\\ab.png\">"
               "<img src=\"../userdata\\attachment\\ab.png\" class=\"again\" width=\"74\">"
               "<img src=\"../userdata\\attachment\\c4rd.bmp\" class=\"doc.pdf\" "
               "style=\"height: 96px\" height=\"10\">"
               "<img src=\"../userdata\\attachment\\gone.png\">"
               "<img src=\"../userdata\\attachment\\text.png\">"_qs;
    }
    // The lines the export `name` logs for the missing picture and the file that is not one.
    Lines skippedPictures(const QString &name) const
    {
        return {u"[ERROR] "_qs + name + u": picture not found, not embedded: "_qs + m_root
                    + u"gone.png (No such file or directory)"_qs,
                u"[ERROR] "_qs + name + u": not a picture, not embedded: "_qs + m_root
                    + u"text.png"_qs};
    }

    const QByteArray m_png = pngBytes(filledImage(37, 21, Qt::red));
    const QImage m_card = filledImage(90, 48, Qt::blue).convertToFormat(QImage::Format_RGB555);
};

TEST_F(ExportTest, HtmlConvertMakesImagePathsAbsoluteAndFailuresLeaveTheTargetAsItWas)
{
    LogCapture log;
    QString out;
    const QString page
        = u"<html><head><title>t</title></head><body><p>图</p>"
          "<img src=\"../userdata\\attachment\\ab.png\" class=\"c\" zv_exdata=\"{}\">"
          "<img src=\"http://example.com/pics/x.png\">"
          "<img src=\"a.png\"><img alt=\"no src\"><img src=\"../..\">"
          "</body></html>"_qs;
    ASSERT_EQ(MhtExport::HtmlConvert(page, out), 1);
    EXPECT_EQ(out,
              u"<p>图</p><img src=\""_qs + m_root
                  + u"ab.png\" class=\"c\" zv_exdata=\"{}\">"
                    "<img src=\""_qs
                  + m_root + u"x.png\"><img src=\""_qs + m_root
                  + u"a.png\"><img alt=\"no src\"><img src=\"../..\">"_qs);
    EXPECT_THAT(
        log.lines(),
        ElementsAre(u"[ERROR] Attachment name leaves the attachment folder, skipped: .."_qs));

    // Without images the text is returned as it is, head included.
    const QString noImages = u"<html><head><title>t</title></head><body><P>x</P></body></html>"_qs;
    ASSERT_EQ(MhtExport::HtmlConvert(noImages, out), 1);
    EXPECT_EQ(out, noImages);

    // Failures leave the target as it was and say why.
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.mht"_qs);
    EXPECT_EQ(MhtExport::NoteHtmlFileToMhtFile(dir.filePath(u"missing.html"_qs), target), 0);
    EXPECT_FALSE(QFile::exists(target));

    const QString note = dir.filePath(u"note.html"_qs);
    ASSERT_EQ(NoteHtmlRW::WriteHtmlTextFile(note, u"<p>from file</p>"_qs, 2), 1);
    ASSERT_EQ(MhtExport::NoteHtmlFileToMhtFile(note, target), 1);
    const QByteArray exported = readBytes(target);
    EXPECT_TRUE(exported.contains("\r\n\r\n<p>from file</p>\r\n")) << exported.toStdString();

    const QString folderTarget = dir.filePath(u"folder.mht"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"folder.mht/inside"_qs));
    const QString readOnly = dir.filePath(u"locked"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"locked"_qs));
    const int lockedError = lock(readOnly, true);
    std::vector<std::pair<QString, int>> cases = {
        {dir.filePath(u"no/such/folder/out.mht"_qs), ENOENT},
        {folderTarget, EISDIR},
        {target, ENOSPC}, // the disk fills up while writing
    };
    if (lockedError != 0)
        cases.emplace_back(readOnly + u"/out.mht"_qs, lockedError);
    else // a process that may write anywhere and may not lock folders
        std::printf("a read-only folder cannot be made here: that case is left out\n");
    const std::pair<QString, int (*)(const QString &, const QString &)> exporters[]
        = {{u"HtmlToMht"_qs, &MhtExport::HtmlToMht},
           {u"HtmlToOdt"_qs, &OdtExport::HtmlToOdt},
           {u"HtmlToDocx"_qs, &DocxExport::HtmlToDocx}};
    for (const auto &[name, exporter] : exporters) {
        for (const auto &[path, error] : cases) {
            LogCapture log;
            if (error == ENOSPC)
                Internal::setWriteCallForTesting([](int, const void *, size_t) -> ssize_t {
                    errno = ENOSPC;
                    return -1;
                });
            EXPECT_EQ(exporter(u"<p>x</p>"_qs, path), 0);
            Internal::setWriteCallForTesting(nullptr);
            EXPECT_THAT(log.lines(),
                        ElementsAre(u"[ERROR:] "_qs + name + u"发生错误，错误信息: cannot write "_qs
                                    + path + u": "_qs
                                    + QString::fromLocal8Bit(std::strerror(error))));
        }
    }
    lock(readOnly, false);
    EXPECT_EQ(readBytes(target), exported);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{u"folder.mht"_qs, u"locked"_qs, u"note.html"_qs, u"out.mht"_qs}));
    EXPECT_EQ(QDir(folderTarget).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"inside"_qs});
    EXPECT_TRUE(QDir(readOnly).isEmpty());

    QString message = u"unchanged"_qs;
    EXPECT_FALSE(MhtExport::ExportWord(QString(), target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_qs);
    EXPECT_FALSE(MhtExport::ExportWord(u"<p>x</p>"_qs, folderTarget, message));
    EXPECT_EQ(message, u"转化为word失败！"_qs);
    message = u"unchanged"_qs;
    EXPECT_TRUE(MhtExport::ExportWord(u"<p>x</p>"_qs, target, message));
    EXPECT_EQ(message, u"unchanged"_qs);
}

// The export read by a browser, from another folder, after the note's pictures are gone.
TEST_F(ExportTest, BrowserShowsTheExportWithItsPicturesFromAnywhere)
{
    // An application folder whose addresses need escaping and pass a header line's length.
    SetAppDirectory(m_app.filePath(u"an application folder with a long name 笔记"_qs));
    m_root = GetAttachRootDir() + u'/';
    // An attachment as the editor marks it, too.
    const QString note = storeNote()
        + uR"(<img src="../userdata\attachment\ab.png" class="userdata\attachment\ab.png" )"
          uR"(zv_exdata="{&quot;OrigName_B64&quot;:&quot;YS5wbmc=&quot;}" zvimgsrc="z" )"
          uR"(data-ke-src="d" width="20" height="10" align="right">)"
          uR"(<table><thead><tr><th scope="col">h</th></tr></thead>)"
          uR"(<tr><td rowspan="2" colspan="2" width="80">m</td><td>x</td></tr>)"
          uR"(<tr><td>y</td></tr></table>)"_qs;
    const QByteArray firstLine = "Trip";
    QTemporaryDir out;
    const QString target = out.filePath(u"note.mht"_qs);
    ASSERT_TRUE(writeBytes(target, QByteArray(200000, 'z'))); // replaced, not appended to
    LogCapture log;
    ASSERT_EQ(MhtExport::NoteHtmlContentToMhtFile(note, target), 1);
    EXPECT_EQ(log.lines(), skippedPictures(u"HtmlToMht"_qs));

    const QByteArray bytes = readBytes(target);
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "every line ends in CR LF";
    EXPECT_TRUE(QString::fromLatin1(bytes).contains(QRegularExpression(
        u"\r\nContent-Type: multipart/related; boundary=\"[^\"]+\";\r\n\ttype=\"text/html\"\r\n"_qs)))
        << bytes.left(400).toStdString();
    const QByteArray root = "http://note.invalid/";
    const qsizetype html = bytes.indexOf("Content-Type: text/html; charset=utf-8\r\n");
    const qsizetype picture = bytes.indexOf("Content-Type: image/png\r\n");
    const qsizetype cardPart = bytes.indexOf("Content-Type: image/bmp\r\n");
    EXPECT_TRUE(html > 0 && html < picture && picture < cardPart) << html << picture << cardPart;
    EXPECT_EQ(bytes.count("Content-Location: "), 3);
    EXPECT_EQ(bytes.count("Content-Location: http://note.invalid/note.mht\r\n"), 1);
    EXPECT_EQ(bytes.count(QByteArray("Content-Location: " + root + "ab.png\r\n")), 1);
    EXPECT_EQ(bytes.count(QByteArray("Content-Location: " + root + "c4rd.bmp\r\n")), 1);
    // Nothing of this computer's folders or of the editor's own markup; the note's title.
    for (const QByteArray &mine :
         {QUrl::toPercentEncoding(m_root, "/"), m_root.toUtf8(), QByteArray("zv_exdata"),
          QByteArray("zvimgsrc"), QByteArray("data-ke-src"), QByteArray("userdata")})
        EXPECT_FALSE(bytes.contains(mine)) << mine.toStdString();
    EXPECT_TRUE(bytes.contains(QByteArray("\r\nSubject: " + firstLine + "\r\n")))
        << bytes.left(600).toStdString();

    // Opened elsewhere, with the pictures moved away.
    QTemporaryDir elsewhere;
    const QString moved = elsewhere.filePath(u"moved.mht"_qs);
    ASSERT_TRUE(QFile::rename(target, moved));
    ASSERT_TRUE(QDir().rename(GetAppDirectory(), m_app.filePath(u"gone"_qs)));
    QWebEngineView view;
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(moved));
    ASSERT_TRUE(loaded.wait(30000));
    ASSERT_TRUE(loaded.first().first().toBool());
    // Archives run without page scripts; the checks run in a world of their own.
    const auto inPage = [&](const QString &script) {
        return runScript(view.page(), script, QWebEngineScript::ApplicationWorld);
    };
    EXPECT_FALSE(inPage(u"document.body.innerHTML"_qs).toString().contains(u"userdata"_qs));
    EXPECT_EQ(inPage(u"document.querySelector('td + td').textContent"_qs), u"cell 2"_qs);
    // A checklist shows its boxes without the editor's style sheet.
    EXPECT_EQ(inPage(u"document.querySelector('ul.checklist').innerText"_qs),
              u"\u2611 milk\n\u2610 bread"_qs);
    EXPECT_EQ(
        inPage(u"getComputedStyle(document.querySelector('ul.checklist > li')).display + ' ' +"
               "getComputedStyle(document.querySelector('ul.checklist')).listStyleType"_qs),
        u"list-item none"_qs);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return inPage(u"[...document.images].every(i => i.complete)"_qs).toBool(); }));
    EXPECT_EQ(inPage(u"[...document.images].map(i => i.naturalWidth + 'x' + i.naturalHeight)"
                     ".join(' ')"_qs),
              u"37x21 37x21 90x48 0x0 0x0 37x21"_qs);
    // A picture's size and place and a table's merged cells and widths travel as they are.
    EXPECT_EQ(inPage(u"[...document.images].at(-1).getAttributeNames().join(' ')"_qs),
              u"src width height align"_qs);
    EXPECT_EQ(inPage(u"document.querySelector('td[rowspan]').outerHTML"_qs),
              u"<td rowspan=\"2\" colspan=\"2\" width=\"80\">m</td>"_qs);
    EXPECT_EQ(inPage(u"document.querySelector('thead').outerHTML"_qs),
              u"<thead><tr><th scope=\"col\">h</th></tr></thead>"_qs);
}

// The export read by another program: the archive unpacked by unzip, its content as text.
TEST_F(ExportTest, ArchiveHoldsTheFormattedNoteAndItsPicturesAndContentFollowsTheMarkup)
{
    const QString note = storeNote();
    QTemporaryDir out;
    const QString target = out.filePath(u"note.odt"_qs);
    ASSERT_TRUE(writeBytes(target, "old"));
    LogCapture log;
    ASSERT_EQ(OdtExport::NoteHtmlContentToOdtFile(note, target), 1);
    EXPECT_EQ(log.lines(), skippedPictures(u"HtmlToOdt"_qs));

    EXPECT_EQ(unzip({u"-Z1"_qs, target}),
              "mimetype\ncontent.xml\nstyles.xml\nPictures/Picture1.png\nPictures/Picture2.bmp\n"
              "META-INF/manifest.xml\n");
    EXPECT_TRUE(unzip({u"-t"_qs, target}).contains("No errors detected"));
    // The type comes first, stored as it is, without an extra field.
    const QByteArray type = "application/vnd.oasis.opendocument.text";
    EXPECT_EQ(readBytes(target).left(10), QByteArray("PK\3\4\n\0\0\0\0\0", 10));
    EXPECT_EQ(readBytes(target).mid(26, 12 + type.size()),
              QByteArray("\x08\0\0\0mimetype", 12) + type);
    EXPECT_EQ(unzip({u"-p"_qs, target, u"Pictures/Picture1.png"_qs}), m_png);
    EXPECT_EQ(unzip({u"-p"_qs, target, u"Pictures/Picture2.bmp"_qs}),
              readBytes(m_root + u"c4rd.bmp"_qs));
    const QByteArray manifest = unzip({u"-p"_qs, target, u"META-INF/manifest.xml"_qs});
    for (const char *entry : {"\"/\" manifest:version=\"1.2\" manifest:media-type=\"application/"
                              "vnd.oasis.opendocument.text\"",
                              "\"content.xml\" manifest:media-type=\"text/xml\"",
                              "\"styles.xml\" manifest:media-type=\"text/xml\"",
                              "\"Pictures/Picture1.png\" manifest:media-type=\"image/png\"",
                              "\"Pictures/Picture2.bmp\" manifest:media-type=\"image/bmp\""})
        EXPECT_TRUE(manifest.contains(QByteArray(QByteArray("manifest:full-path=") + entry)))
            << entry;
    EXPECT_EQ(manifest.count("manifest:full-path="), 5);
    EXPECT_TRUE(unzip({u"-p"_qs, target, u"styles.xml"_qs})
                    .contains("<style:style style:name=\"Heading_20_1\" style:display-name="
                              "\"Heading 1\" style:family=\"paragraph\" style:parent-style-name="
                              "\"Heading\" style:next-style-name=\"Standard\" "
                              "style:default-outline-level=\"1\" style:class=\"text\">"
                              "<style:text-properties fo:font-size=\"24pt\""));

    const QString content = QString::fromUtf8(unzip({u"-p"_qs, target, u"content.xml"_qs}));
    const QString frame = u"<draw:frame text:anchor-type=\"as-char\" svg:width=\"%1cm\" "
                          "svg:height=\"%2cm\"><draw:image xlink:href=\"Pictures/%3\" "
                          "xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/>"
                          "</draw:frame>"_qs;
    const QString picture = frame.arg(u"0.979"_qs, u"0.556"_qs, u"Picture1.png"_qs);
    const QString cell = u"<table:table-cell table:style-name=\"Cell\" "
                         "office:value-type=\"string\"><text:p>cell %1</text:p>"
                         "</table:table-cell>"_qs;
    EXPECT_TRUE(content.contains(
        u"<office:text><text:h text:style-name=\"Heading_20_1\" text:outline-level=\"1\">"
        "Trip</text:h><text:h text:style-name=\"Heading_20_2\" text:outline-level=\"2\">Day one"
        "</text:h><text:p>"_qs))
        << content.toStdString();
    EXPECT_TRUE(content.contains(
        u" <text:a xlink:type=\"simple\" xlink:href=\"https://example.com/\">link</text:a>"
        "</text:p><text:list text:style-name=\"Bulleted\"><text:list-item><text:p>first</text:p>"
        "</text:list-item><text:list-item><text:p>second</text:p></text:list-item></text:list>"
        "<text:list text:style-name=\"Numbered\"><text:list-item><text:p>one</text:p>"
        "</text:list-item></text:list><text:list text:style-name=\"Bulleted\"><text:list-item>"
        "<text:p>\u2611 milk</text:p></text:list-item><text:list-item><text:p>\u2610 bread"
        "</text:p></text:list-item></text:list><table:table "
        "table:name=\"Table1\"><table:table-column "
        "table:number-columns-repeated=\"2\"/><table:table-row>"_qs
        + cell.arg(1) + cell.arg(2) + u"</table:table-row></table:table><text:p>"_qs + picture
        + frame.arg(u"1.958"_qs, u"1.111"_qs, u"Picture1.png"_qs)
        + frame.arg(u"4.763"_qs, u"2.540"_qs, u"Picture2.bmp"_qs) + u"</text:p></office:text>"_qs));
    const std::pair<QString, QString> styles[] = {
        {u"bold"_qs, u"fo:font-weight=\"bold\" style:font-weight-asian=\"bold\""_qs},
        {u"italic"_qs, u"fo:font-style=\"italic\" style:font-style-asian=\"italic\""_qs},
        {u"under"_qs, u"style:text-underline-style=\"solid\""_qs},
        {u"red"_qs, u"fo:color=\"#ff0000\""_qs},
    };
    for (const auto &[text, style] : styles)
        EXPECT_TRUE(spanStyle(content, text).contains(QRegularExpression(style)))
            << text.toStdString();

    QString message;
    EXPECT_FALSE(OdtExport::ExportOdt(QString(), target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_qs);
    EXPECT_FALSE(OdtExport::ExportOdt(u"<p>x</p>"_qs, out.path(), message));
    EXPECT_EQ(message, u"转化为ODT文档失败！"_qs);

    // Markup beyond the stored note: breaks, escaping, nesting, spans and styles from attributes.
    QTemporaryDir odtDir;
    const QString odt = odtDir.filePath(u"n.odt"_qs);
    const QString cellStart
        = u"<table:table-cell table:style-name=\"Cell\" office:value-type=\"string\""_qs;
    const std::pair<QString, QString> cases[] = {
        {u"<div>a<br>b<br> </div><div><br></div>\n<p></p>x &lt; y &amp; \"z\"<script>s</script>"_qs,
         u"<text:p>a<text:line-break/>b </text:p><text:p></text:p><text:p>x &lt; y &amp; "
         "&quot;z&quot;</text:p>"_qs},
        {u"<pre>a  b\n\tc <b>d</b></pre>"_qs,
         u"<text:p>a<text:s text:c=\"2\"/>b<text:line-break/><text:tab/>c<text:s text:c=\"1\"/>"
         "<text:span text:style-name=\"c1\">d</text:span></text:p>"_qs},
        {u"<ul><li>a<ol><li>b</li></ol></li><li><table><tr><td>c</td></tr></table></li></ul>"_qs,
         u"<text:list text:style-name=\"Bulleted\"><text:list-item><text:p>a</text:p><text:list "
         "text:style-name=\"Numbered\"><text:list-item><text:p>b</text:p></text:list-item>"
         "</text:list></text:list-item><text:list-item><text:p>c</text:p></text:list-item>"
         "</text:list>"_qs},
        {u"<ul class=\"checklist\"><li data-checked=\"true\">a</li><li data-checked=\"false\">"
         "<b>b</b></li><li>c</li></ul><ul><li data-checked=\"true\">d</li></ul>"_qs,
         u"<text:list text:style-name=\"Bulleted\"><text:list-item><text:p>\u2611 a</text:p>"
         "</text:list-item><text:list-item><text:p>\u2610 <text:span text:style-name=\"c1\">b"
         "</text:span></text:p></text:list-item><text:list-item><text:p>\u2610 c</text:p>"
         "</text:list-item></text:list><text:list text:style-name=\"Bulleted\"><text:list-item>"
         "<text:p>d</text:p></text:list-item></text:list>"_qs},
        {u"<table><thead><tr><th>h</th></tr></thead><tbody><tr><td>d</td></tr></tbody>"
         "</table>"_qs,
         u"<table:table table:name=\"Table1\"><table:table-column "
         "table:number-columns-repeated=\"1\"/><table:table-header-rows><table:table-row>"_qs
             + cellStart
             + u"><text:p><text:span text:style-name=\"c1\">h</text:span></text:p>"
               "</table:table-cell></table:table-row></table:table-header-rows><table:table-row>"_qs
             + cellStart
             + u"><text:p>d</text:p></table:table-cell></table:table-row>"
               "</table:table>"_qs},
        {u"<table><tr><th colspan=\"2\">h</th></tr><tr><td></td></tr></table>"_qs,
         u"<table:table table:name=\"Table1\"><table:table-column "
         "table:number-columns-repeated=\"2\"/><table:table-row>"_qs
             + cellStart
             + u" table:number-columns-spanned=\"2\"><text:p><text:span text:style-name=\"c1\">"
               "h</text:span></text:p></table:table-cell><table:covered-table-cell/>"
               "</table:table-row><table:table-row>"_qs
             + cellStart + u"><text:p/></table:table-cell>"_qs + cellStart
             + u"><text:p/></table:table-cell></table:table-row></table:table>"_qs},
        {u"<h3 style=\"color:red\"><span style=\"font-weight:700; background-color:rgb(0, 255, "
         u"0)\">"
         "g</span></h3><font color=\"blue\"><s>f</s></font>"_qs,
         u"<text:h text:style-name=\"Heading_20_3\" text:outline-level=\"3\"><text:span "
         "text:style-name=\"c1\">g</text:span></text:h><text:p><text:span "
         "text:style-name=\"c2\">f</text:span></text:p>"_qs},
    };
    // Alignment from a style (inherited by inner blocks) or an align attribute, a rule, sizes.
    const QString aligned
        = u"<div style=\"text-align: center\"><p>c</p><h2>t</h2></div><p align=\"right\">r</p>"
          "<p style=\"text-align:left\">l</p><hr><p><span style=\"font-size: 20px\">s"
          "<span style=\"font-size:150%\">m</span></span><font size=\"6\">f</font></p>"_qs;
    ASSERT_EQ(OdtExport::HtmlToOdt(aligned, odt), 1);
    const QString alignedXml = QString::fromUtf8(unzip({u"-p"_qs, odt, u"content.xml"_qs}));
    EXPECT_TRUE(alignedXml.contains(
        u"<office:text><text:p text:style-name=\"P1\">c</text:p><text:h text:style-name=\"P2\" "
        "text:outline-level=\"2\">t</text:h><text:p text:style-name=\"P3\">r</text:p><text:p>l"
        "</text:p><text:p text:style-name=\"Rule\"/><text:p><text:span text:style-name=\"c1\">s"
        "</text:span><text:span text:style-name=\"c2\">m</text:span><text:span "
        "text:style-name=\"c3\">f</text:span></text:p></office:text>"_qs))
        << alignedXml.toStdString();
    EXPECT_TRUE(alignedXml.contains(
        u"<style:style style:name=\"P1\" style:family=\"paragraph\"><style:paragraph-properties "
        "fo:text-align=\"center\"/></style:style><style:style style:name=\"P3\" "
        "style:family=\"paragraph\"><style:paragraph-properties fo:text-align=\"end\"/>"
        "</style:style><style:style style:name=\"P2\" style:family=\"paragraph\" "
        "style:parent-style-name=\"Heading_20_2\"><style:paragraph-properties "
        "fo:text-align=\"center\"/></style:style>"_qs))
        << alignedXml.toStdString();
    EXPECT_TRUE(alignedXml.contains(u"fo:border-bottom=\"0.06pt solid #808080\""_qs));
    const auto sizeOf = [&](const QString &text) {
        return spanStyle(alignedXml, text).section(u'"', 1, 1);
    };
    EXPECT_EQ(sizeOf(u"s"_qs), u"15pt"_qs);
    EXPECT_EQ(sizeOf(u"m"_qs), u"22.5pt"_qs);
    EXPECT_EQ(sizeOf(u"f"_qs), u"24pt"_qs);

    for (const auto &[html, body] : cases) {
        ASSERT_EQ(OdtExport::HtmlToOdt(html, odt), 1);
        const QString written = QString::fromUtf8(unzip({u"-p"_qs, odt, u"content.xml"_qs}));
        EXPECT_TRUE(written.contains(u"<office:text>"_qs + body + u"</office:text>"_qs))
            << written.toStdString();
    }
    const QString written = QString::fromUtf8(unzip({u"-p"_qs, odt, u"content.xml"_qs}));
    EXPECT_EQ(spanStyle(written, u"g"_qs),
              u"fo:font-weight=\"bold\" style:font-weight-asian=\"bold\" "
              "style:font-weight-complex=\"bold\" fo:color=\"#ff0000\" "
              "fo:background-color=\"#00ff00\""_qs);
    EXPECT_EQ(spanStyle(written, u"f"_qs),
              u"style:text-line-through-style=\"solid\" fo:color=\"#0000ff\""_qs);

    // A cell over two rows and two columns covers its slots; widths of col elements and cells.
    ASSERT_EQ(OdtExport::HtmlToOdt(
                  u"<table><colgroup><col width=\"96\"><col></colgroup><tr><td rowspan=\"2\" "
                  "colspan=\"2\">m</td><td style=\"width: 48px;\">x</td></tr><tr><td>y</td></tr>"
                  "<tr><td>p</td><td>q</td><td>r</td></tr></table>"_qs,
                  odt),
              1);
    const QString spans = QString::fromUtf8(unzip({u"-p"_qs, odt, u"content.xml"_qs}));
    const auto filled = [&](const QString &text) -> QString {
        return cellStart + u"><text:p>"_qs + text + u"</text:p></table:table-cell>"_qs;
    };
    EXPECT_TRUE(spans.contains(
        u"<office:text><table:table table:name=\"Table1\"><table:table-column "
        "table:style-name=\"Column1\"/><table:table-column/><table:table-column "
        "table:style-name=\"Column2\"/><table:table-row>"_qs
        + cellStart
        + u" table:number-columns-spanned=\"2\" table:number-rows-spanned=\"2\"><text:p>m"
          "</text:p></table:table-cell><table:covered-table-cell/>"_qs
        + filled(u"x"_qs)
        + u"</table:table-row><table:table-row><table:covered-table-cell/>"
          "<table:covered-table-cell/>"_qs
        + filled(u"y"_qs) + u"</table:table-row><table:table-row>"_qs + filled(u"p"_qs)
        + filled(u"q"_qs) + filled(u"r"_qs) + u"</table:table-row></table:table></office:text>"_qs))
        << spans.toStdString();
    EXPECT_TRUE(spans.contains(
        u"<style:style style:name=\"Column1\" style:family=\"table-column\">"
        "<style:table-column-properties style:column-width=\"2.540cm\"/></style:style>"
        "<style:style style:name=\"Column2\" style:family=\"table-column\">"
        "<style:table-column-properties style:column-width=\"1.270cm\"/></style:style>"_qs))
        << spans.toStdString();
}

// Pictures the text flows around, a centred one and their sizes, in the archive and as
// LibreOffice reads it.
TEST_F(ExportTest, PicturesKeepTheirPlaceAndSizeInTheArchive)
{
    storeNote();
    const QString picture = u"<img src=\"../userdata\\attachment\\ab.png\" %1>"_qs;
    const QString note = u"<p>"_qs + picture.arg(u"width=\"74\" height=\"42\" align=\"left\""_qs)
        + u"flows right</p><p>"_qs + picture.arg(u"width=\"37\" align=\"RIGHT\""_qs)
        + u"flows left</p><p style=\"text-align: center\">"_qs + picture.arg(u"height=\"42\""_qs)
        + u"</p>"_qs;
    QTemporaryDir out;
    const QString target = out.filePath(u"placed.odt"_qs);
    ASSERT_EQ(OdtExport::NoteHtmlContentToOdtFile(note, target), 1);
    const QString content = QString::fromUtf8(unzip({u"-p"_qs, target, u"content.xml"_qs}));
    const QString frame = u"<draw:frame %1 svg:width=\"%2cm\" svg:height=\"%3cm\"><draw:image "
                          "xlink:href=\"Pictures/Picture1.png\" xlink:type=\"simple\" "
                          "xlink:show=\"embed\" xlink:actuate=\"onLoad\"/></draw:frame>"_qs;
    EXPECT_TRUE(content.contains(
        u"<office:text><text:p>"_qs
        + frame.arg(u"draw:style-name=\"PictureLeft\" text:anchor-type=\"char\""_qs, u"1.958"_qs,
                    u"1.111"_qs)
        + u"flows right</text:p><text:p>"_qs
        + frame.arg(u"draw:style-name=\"PictureRight\" text:anchor-type=\"char\""_qs, u"0.979"_qs,
                    u"0.556"_qs)
        + u"flows left</text:p><text:p text:style-name=\"P1\">"_qs
        + frame.arg(u"text:anchor-type=\"as-char\""_qs, u"1.958"_qs, u"1.111"_qs)
        + u"</text:p></office:text>"_qs))
        << content.toStdString();
    EXPECT_TRUE(content.contains(
        u"<style:style style:name=\"PictureLeft\" style:family=\"graphic\">"
        "<style:graphic-properties style:wrap=\"right\" fo:margin-right=\"0.2cm\" "
        "style:horizontal-pos=\"left\" style:number-wrapped-paragraphs=\"no-limit\" "
        "style:horizontal-rel=\"paragraph\" style:vertical-pos=\"top\" "
        "style:vertical-rel=\"line\"/></style:style><style:style style:name=\"PictureRight\" "
        "style:family=\"graphic\"><style:graphic-properties style:wrap=\"left\" "
        "fo:margin-left=\"0.2cm\" style:horizontal-pos=\"right\" "
        "style:number-wrapped-paragraphs=\"no-limit\" style:horizontal-rel=\"paragraph\" "
        "style:vertical-pos=\"top\" style:vertical-rel=\"line\"/></style:style>"_qs))
        << content.toStdString();

    // LibreOffice opens the archive and writes the pictures back as HTML at their places.
    QProcess office;
    office.start(u"soffice"_qs,
                 {u"-env:UserInstallation=file://"_qs + out.filePath(u"profile"_qs),
                  u"--headless"_qs, u"--convert-to"_qs, u"html"_qs, u"--outdir"_qs, out.path(),
                  target});
    ASSERT_TRUE(office.waitForFinished(180000)) << "soffice did not finish";
    const QString html = QString::fromUtf8(readBytes(out.filePath(u"placed.html"_qs)));
    QStringList images;
    static const QRegularExpression image(u"<img [^>]*>"_qs);
    static const QRegularExpression kept(u" (align|width|height)=\"?([^\" ]*)"_qs);
    for (const QRegularExpressionMatch &match : image.globalMatch(html)) {
        QStringList attributes;
        for (const QRegularExpressionMatch &a : kept.globalMatch(match.captured()))
            attributes += a.captured(1) + u'=' + a.captured(2);
        images += attributes.join(u' ');
    }
    EXPECT_EQ(images.join(u" | "_qs),
              u"align=left width=74 height=42 | align=right width=37 height=21 | "
              "align=bottom width=74 height=42"_qs)
        << html.toStdString();
    EXPECT_TRUE(html.contains(QRegularExpression(u"<p align=\"center\"[^>]*><img "_qs)));
}

} // namespace
