// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;

namespace {

// zv_exdata of a.txt and b.txt as they appear in markup.
const QString kExA = u"{&quot;OrigName_B64&quot;:&quot;YS50eHQ=&quot;}"_qs;
const QString kExB = u"{&quot;OrigName_B64&quot;:&quot;Yi50eHQ=&quot;}"_qs;

QString img(const QString &cls, const QString &src, const QString &exdata)
{
    return u"<img class=\""_qs + cls + u"\" src=\""_qs + src + u"\" zv_exdata=\""_qs + exdata
        + u"\">"_qs;
}

TEST(AttachMarkupRewriter, UpdateHtmlAttachAttrRepointsEveryMatchingElement)
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
}

TEST(AttachMarkupRewriter, UpdateAttachAttValueRewritesPathsAndMetadata)
{
    const QByteArray html
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
    ASSERT_EQ(AttachMarkupRewriter::UpdateAttachAttValue(html, changes, out), 1);
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
    EXPECT_EQ(AttachMarkupRewriter::UpdateAttachAttValue2(html, changes, copy), 1);
    EXPECT_EQ(copy, html);
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

TEST_F(DeleteAttachment, RemovesTheFirstMatchingElementAndStoresANewNote)
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
}

TEST_F(DeleteAttachment, NothingChangesWithoutANoteFileOrAMatch)
{
    const std::vector<NewAttachFile> stored = storedNote(att(1, kExA), 2);
    const QStringList before = QDir(m_root).entryList(QDir::Files);

    std::vector<NewAttachFile> records = stored;
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"b.txt"_qs, records), 0);
    EXPECT_EQ(records.size(), 2u);

    records = {stored[0]}; // no note record
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, records), 0);
    EXPECT_EQ(records.size(), 1u);

    records = stored;
    records[1].filePath = m_root + u"missing.html"_qs;
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, records), 0);
    EXPECT_EQ(records[1].filePath, m_root + u"missing.html"_qs);

    records[1].filePath.clear();
    EXPECT_EQ(AttachMarkupRewriter::DelAttachFromHtmlFile(u"n1"_qs, u"a.txt"_qs, records), 0);
    EXPECT_EQ(QDir(m_root).entryList(QDir::Files), before);
}

} // namespace
