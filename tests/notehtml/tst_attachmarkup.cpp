// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>

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

TEST(AttachMarkup, ParseAttListListsEachFileOnceAndTheNameListEveryName)
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
}

// A text run just past the parser's default 10,000,000-byte limit for one text node.
TEST(AttachMarkup, HugeNoteIsReadCompletely)
{
    const QString html = u"<p>"_qs + QString(10'000'001, u'x')
        + uR"(</p><img class="userdata\attachment\big.bin" zv_exdata='{"OrigName_B64":""}'>)"_qs;
    std::vector<NewAttachFile> records;
    QString text;
    ASSERT_EQ(AttachMarkup::ParseAttList(u"n"_qs, html, records, &text), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].storeName, u"big.bin"_qs);
    EXPECT_EQ(text.size(), 10'000'001);
}

TEST(AttachMarkup, NamesThatWouldLeaveTheAttachmentFolderAreSkippedAndLogged)
{
    const QString html = uR"(
<img class="userdata\attachment\.." src="../userdata/attachment/.." zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img class="userdata\attachment\a.bin" zv_exdata='{"OrigName_B64":"Li4vZXZpbC50eHQ="}'>
<img class="userdata\attachment\b.bin" zv_exdata='{"OrigName_B64":"eFx5LnR4dA=="}'>
<img class="userdata\attachment\c.bin" zv_exdata='{"OrigName_B64":"Li4="}'>
<img class="userdata\attachment\ok.bin" src="../userdata\attachment\." zv_exdata='{"OrigName_B64":""}'>)"_qs;
    LogCapture log;
    std::vector<NewAttachFile> records;
    ASSERT_EQ(AttachMarkup::ParseAttList(u"note2"_qs, html, records), 1);
    // A '\\' is part of a Linux file name: kept under a name without it.
    EXPECT_THAT(describe(records),
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
            records),
        1);
    EXPECT_THAT(describe(records),
                ElementsAre(expected(1, u"k.png"_qs, {}, u"png"_qs, root() + u"k.png"_qs)));
    EXPECT_THAT(idLog.lines(), ElementsAre(prefix + u"../up"_qs));
}

TEST(AttachMarkup, OriginalNameJsonConversions)
{
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
}

TEST(AttachMarkup, AttachFilesFromHtmlAreTheExistingClassFiles)
{
    const QString noteId = u"note3"_qs;
    const QString html
        = uR"(<img class="userdata\attachment\s1.txt" src="../userdata\attachment\s1.txt" zv_exdata='{"OrigName_B64":"YS50eHQ="}'>
<img class="userdata\attachment\s2.txt" zv_exdata='{"OrigName_B64":""}'>
<img class="userdata\attachment\gone.txt" zv_exdata='{"OrigName_B64":""}'>)"_qs;
    for (const QString &name : {QString(noteId + u"/a.txt"_qs), u"s2.txt"_qs, u"s1.txt"_qs})
        ASSERT_TRUE(writeBytes(root() + name, {}));
    std::vector<QString> paths{u"kept"_qs};
    QString text = u"old"_qs;
    AttachMarkup::GetAttachFileFromHtml(noteId, html, paths, &text);
    EXPECT_THAT(paths,
                ElementsAre(u"kept"_qs, root() + noteId + u"/a.txt"_qs, root() + u"s2.txt"_qs));
    EXPECT_EQ(text, QString());
}

} // namespace
