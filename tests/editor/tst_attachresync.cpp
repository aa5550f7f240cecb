// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Attachments edited outside the editor, end to end: the real editor page, the real store
// watcher, and other processes writing the kept copies.
#include "attach/attachresync_p.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "attach/iattachfilelistsource.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QDateTime>
#include <QProcess>
#include <QTest>

#include <mutex>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// The host: records saves and answers the monitor from them, as a host's index would.
class Host : public EditorHost, public IAttachFileListSource
{
public:
    int OnSaveNote(const QString &noteId, const std::vector<NewAttachFile> &files,
                   const QString &text) override
    {
        std::lock_guard lock(mutex);
        return EditorHost::OnSaveNote(noteId, files, text);
    }
    int GetNoteFileList(const QString &noteId, std::vector<AttachmentFile> &files) override
    {
        std::lock_guard lock(mutex);
        for (auto save = saves.rbegin(); save != saves.rend(); ++save) {
            if (save->noteId == noteId) {
                files = Internal::AttachResync::monitorList(save->files, {});
                return 1;
            }
        }
        return 0;
    }
    size_t saveCount()
    {
        std::lock_guard lock(mutex);
        return saves.size();
    }
    std::mutex mutex;
};

// Runs a shell command in another process.
void shell(const QString &command)
{
    ASSERT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, command}), 0) << command.toStdString();
}

class AttachResyncTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stageEditorPage(GetAppDirectory());
        m_root = GetAttachRootDir() + u'/';
        m_editor = new CZorvaEditorImpl;
        m_editor->SetAttachFileListSource(&m_host);
        ASSERT_TRUE(openEditor(m_editor, &m_host, QRect(0, 0, 800, 600), 7));
        ASSERT_TRUE(m_editor->attachFileMonitor().isRunning());
    }
    void TearDown() override { delete m_editor; }

    // Starts a note holding copies of the given files, saved once. Gives its id.
    QString noteWith(const std::vector<std::pair<QString, QByteArray>> &files)
    {
        QString id;
        m_editor->NewEditor(id, false);
        std::vector<QString> paths;
        for (const auto &[name, bytes] : files) {
            paths.push_back(m_dir.filePath(name));
            EXPECT_TRUE(writeBytes(paths.back(), bytes));
        }
        m_editor->InsertLocalFile(paths);
        const size_t before = m_host.saveCount();
        m_editor->SaveEditor();
        EXPECT_EQ(m_host.saveCount(), before + 1);
        // Until its events are quiet, a file just placed counts as new, not as edited.
        QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 2);
        return id;
    }
    // Waits for `count` saves, then a while longer for any save too many.
    void waitForSaves(size_t count)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_host.saveCount() >= count; }, 10000));
        QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 3);
        EXPECT_EQ(m_host.saveCount(), count);
    }
    // "class|src" of the page's attachment with this original name.
    QString shown(const QString &name)
    {
        return runScript(m_editor->page(),
                         u"[...Tavrik.editor.document().querySelectorAll('img')]"
                         ".filter(i => i.getAttribute('zv_exdata') === '%1')"
                         ".map(i => i.className + '|' + i.getAttribute('src')).join(',')"_s.arg(
                             AttachMarkup::FormatOrigNameToJson(name)))
            .toString();
    }
    static QString storeNameOf(const Host::Save &save, const QString &origName)
    {
        for (const NewAttachFile &file : save.files) {
            if (file.fileKind == 2 && file.origName == origName)
                return file.storeName;
        }
        return {};
    }

    RecordingPrompts m_prompts;
    Host m_host;
    CZorvaEditorImpl *m_editor = nullptr;
    QTemporaryDir m_dir;
    QString m_root;
};

TEST_F(AttachResyncTest, EditsByOtherProgramsReachThePageTheStoreAndTheHostOnce)
{
    const QByteArray png = pngBytes(filledImage(20, 10, Qt::red));
    const QString id = noteWith({{u"report.docx"_s, "first draft"}, {u"photo.PNG"_s, png}});
    const QString report = m_root + id + u"/report.docx"_s;
    const QString photo = m_root + id + u"/photo.PNG"_s;

    // Rewritten in place, in 50 pieces: one resync.
    shell(u"for i in $(seq 50); do printf 'second draft %s' $i > '%1'; done"_s.arg(report));
    waitForSaves(2);
    const QString docHash = CalcFileMd5(report);
    EXPECT_EQ(storeNameOf(m_host.saves.back(), u"report.docx"_s), docHash + u".docx"_s);
    const QStringList doc = shown(u"report.docx"_s).split(u'|');
    ASSERT_EQ(doc.size(), 2);
    EXPECT_EQ(doc[0], u"userdata\\attachment\\"_s + docHash + u".docx"_s);
    // The new card shows the new size at the current minute.
    const QString card = m_dir.filePath(u"card.bmp"_s);
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(
                  FT_WORD, u"report.docx"_s,
                  QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s) + u" 15B"_s, card),
              1);
    const QString cardName = CalcFileMd5(card) + u".bmp"_s;
    EXPECT_EQ(doc[1], u"../userdata\\attachment\\"_s + cardName);
    EXPECT_EQ(m_editor->handler().GetAttachModifyCache().count(cardName), 1u);

    // Saved through a temporary file and a rename: the new picture is shown.
    const QByteArray png2 = pngBytes(filledImage(20, 10, Qt::blue));
    ASSERT_TRUE(writeBytes(m_dir.filePath(u"blue.png"_s), png2));
    shell(u"cp '%1' '%2.tmp' && mv '%2.tmp' '%2'"_s.arg(m_dir.filePath(u"blue.png"_s), photo));
    waitForSaves(3);
    const QString picHash = CalcFileMd5(photo);
    EXPECT_EQ(storeNameOf(m_host.saves.back(), u"photo.PNG"_s), picHash + u".PNG"_s);
    EXPECT_EQ(shown(u"photo.PNG"_s),
              u"userdata\\attachment\\%1.PNG|../userdata\\attachment\\%1.PNG"_s.arg(picHash));
    EXPECT_EQ(readBytes(m_root + picHash + u".PNG"_s), png2);

    // A file in the note's folder the page does not show: logged, nothing saved.
    const QString stray = m_root + id + u"/stray.txt"_s;
    ASSERT_TRUE(writeBytes(stray, "one"));
    QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 3);
    LogCapture log;
    ASSERT_TRUE(writeBytes(stray, "two"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.lines().size() >= 2; }, 10000));
    const Lines lines = log.lines(); // the page's refusal, then the resync's line
    EXPECT_TRUE(lines.size() == 2
                && lines[0].startsWith(u"[ERROR] 修改附件class属性值失败，错误信息："_s));
    EXPECT_EQ(lines.back(),
              u"[ERROR] CZorvaEditorImpl::DoAttachFileModify 更新笔记附件属性失败！"_s);
    EXPECT_EQ(m_host.saveCount(), 3u);
}

TEST_F(AttachResyncTest, AnEditToANoteNotOpenRewritesItsNoteFileAndTellsTheHostOnce)
{
    const QString other = noteWith({{u"plan.txt"_s, "plan A"}});
    const QString oldNoteFile = m_host.saves.back().files.front().filePath;
    noteWith({{u"list.txt"_s, "milk"}});
    QString openHtml;
    m_editor->GetLastHtml(openHtml);

    shell(u"printf 'plan B, much longer' > '%1'"_s.arg(m_root + other + u"/plan.txt"_s));
    waitForSaves(3);
    const Host::Save &save = m_host.saves.back();
    ASSERT_EQ(save.noteId, other);
    const NewAttachFile &noteFile = save.files.front();
    EXPECT_NE(noteFile.filePath, oldNoteFile);
    const QString content = QString::fromUtf8(readBytes(noteFile.filePath));
    const QString hash = CalcFileMd5(m_root + other + u"/plan.txt"_s);
    EXPECT_EQ(storeNameOf(save, u"plan.txt"_s), hash + u".txt"_s);
    EXPECT_TRUE(content.contains(u"userdata\\attachment\\"_s + hash + u".txt"_s));
    // The open note is untouched.
    QString html, text;
    ASSERT_EQ(m_editor->handler().GetEditorContent(html, text), 1);
    EXPECT_EQ(html, openHtml);
}

} // namespace
