// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/durablefile_p.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmlfileupgrademgr_p.h"
#include "notehtml/htmlver_1_to_2_p.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QThread>

#include <climits>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;

namespace {

QString md5Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
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
    const QString name = md5Of(bytes) + u".html"_qs;
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
    const QString torn = md5Of(kHeader2 + damaged.toUtf8()) + u".html"_qs;
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
        EXPECT_EQ(md5Of(bytes), match.captured(1)) << name.toStdString();
        EXPECT_TRUE(bytes.startsWith(kHeader2)) << name.toStdString();
        EXPECT_TRUE(bytes.endsWith("</p>")) << name.toStdString();
    }
    EXPECT_GE(notes, rounds);
}

} // namespace
