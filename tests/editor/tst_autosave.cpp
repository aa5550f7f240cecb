// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Autosave through the real page: the page reports changes, the editor's clock decides when
// the note is read (without waiting) and handed to the host.
#include "editor/autosave_p.h"
#include "editorhost.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;
using Internal::Autosave;

namespace {

// A clock that moves only when the test says so.
class ManualClock : public Internal::AutosaveClock
{
public:
    qint64 now() const override { return m_now; }
    void wakeAfter(qint64 ms, std::function<void()> wake) override
    {
        m_due = m_now + ms;
        m_wake = std::move(wake);
    }
    void cancel() override { m_wake = nullptr; }
    void advance(qint64 ms)
    {
        m_now += ms;
        if (m_wake && m_due <= m_now)
            std::exchange(m_wake, nullptr)();
    }

private:
    qint64 m_now = 0;
    qint64 m_due = 0;
    std::function<void()> m_wake;
};

class AutosaveTest : public EditorInHostTest
{
protected:
    void SetUp() override
    {
        EditorInHostTest::SetUp();
        auto clock = std::make_unique<ManualClock>();
        m_clock = clock.get();
        m_editor->autosave().setClock(std::move(clock));
    }

    bool waitForChangeReport()
    {
        return QTest::qWaitFor([&] { return m_editor->autosave().pending(); }, 5000);
    }
    // Sends page commands in order, the last a message box: once it shows, the page's earlier
    // commands have all been handled.
    void sendFromPage(const QString &commands)
    {
        runInPage(commands + u"CppProcessor('ZvMessageBox','{\"msg\":\"marker\"}','');"_s);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return m_prompts.messages().contains(u"marker"_s); }, 5000));
        m_prompts.clear();
    }

    RecordingPrompts m_prompts;
    ManualClock *m_clock = nullptr;
};

TEST_F(AutosaveTest, TypingThenAPauseSavesOnceWithoutBlockingTheWindow)
{
    loadNote(u"idle"_s, u"<p>Start.</p>"_s);
    typeAtEnd(u" Typed on."_s);
    ASSERT_TRUE(waitForChangeReport()) << "the page did not report the change";

    m_clock->advance(Autosave::IdleMs - 1);
    settle();
    EXPECT_TRUE(m_host->saves.empty()) << "saved before typing paused";

    // Due now: the content is asked for, and the host hears of it only once the page answers.
    m_clock->advance(1);
    EXPECT_TRUE(m_host->saves.empty()) << "the window waited for the page";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_host->saves.empty(); }, 10000));
    ASSERT_EQ(m_host->saves.size(), 1u);
    EXPECT_EQ(m_host->saves[0].noteId, u"idle"_s);
    EXPECT_EQ(m_host->saves[0].plainText.trimmed(), u"Start. Typed on."_s);

    // Nothing changed since: no second save, however long the note stays open.
    EXPECT_FALSE(m_editor->autosave().pending());
    m_clock->advance(10 * Autosave::MaxIntervalMs);
    settle();
    EXPECT_EQ(m_host->saves.size(), 1u);

    // The next change is reported again after the save read the content.
    typeAtEnd(u"!"_s);
    ASSERT_TRUE(waitForChangeReport());
    m_clock->advance(Autosave::IdleMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_host->saves.size() == 2; }, 10000));
    EXPECT_EQ(m_host->saves[1].plainText.trimmed(), u"Start. Typed on.!"_s);
}

TEST_F(AutosaveTest, ContinuousTypingIsSavedAtTheLongestInterval)
{
    m_editor->LoadEditor(u"long"_s, {}, {}, false);
    typeAtEnd(u"a"_s);
    ASSERT_TRUE(waitForChangeReport());
    // A key every 1.5 s never lets typing pause for 2 s.
    const qint64 step = 1500;
    QString typed = u"a"_s;
    for (qint64 elapsed = step; elapsed < Autosave::MaxIntervalMs; elapsed += step) {
        m_clock->advance(step);
        settle();
        ASSERT_TRUE(m_host->saves.empty()) << "saved while typing went on, after " << elapsed;
        const QChar next(u'b' + int(elapsed / step) % 20);
        typeAtEnd(QString(next));
        typed += next;
    }
    m_clock->advance(step); // 30 s after the first change
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_host->saves.empty(); }, 10000));
    ASSERT_EQ(m_host->saves.size(), 1u);
    EXPECT_EQ(m_host->saves[0].plainText.trimmed(), typed);
}

TEST_F(AutosaveTest, NothingIsSavedWhenNothingChangedOrTheNoteIsReadOnly)
{
    loadNote(u"quiet"_s, u"<p>As stored.</p>"_s);
    // Moving the caret is no change.
    QTest::keyClick(m_editor->GetWebBrowseHwnd(), Qt::Key_Left);
    m_clock->advance(Autosave::MaxIntervalMs);
    settle();
    EXPECT_FALSE(m_editor->autosave().pending());

    // Read-only: the page reports nothing, and a report that came anyway is not taken.
    m_editor->SetReadOnly(true);
    QTest::keyClicks(m_editor->GetWebBrowseHwnd(), u"no"_s);
    sendFromPage(u"Tavrik.editor.contentChanged();"
                 "CppProcessor('ContentChanged','{\"attachments\":true}','');"_s);
    EXPECT_FALSE(m_editor->autosave().pending());
    m_clock->advance(Autosave::MaxIntervalMs);
    settle();
    EXPECT_TRUE(m_host->saves.empty());
    EXPECT_EQ(pageText(), u"As stored."_s);

    // A report whose argument is not JSON is logged and changes nothing.
    m_editor->SetReadOnly(false);
    LogCapture log;
    sendFromPage(u"CppProcessor('ContentChanged','[1','');"_s);
    EXPECT_FALSE(m_editor->autosave().pending());
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] ZvWebNoteHandler, the page's ContentChanged argument is not a "
                    "JSON object"_s});
}

TEST_F(AutosaveTest, FilesAddedOrRemovedAreSavedAtOnce)
{
    QString noteId;
    m_editor->NewEditor(noteId, false);
    QTemporaryDir source;
    const QString path = source.filePath(u"minutes.txt"_s);
    ASSERT_TRUE(writeBytes(path, "minutes of the meeting"));

    m_editor->InsertLocalFile(std::vector<QString>{path});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_host->saves.empty(); }, 10000))
        << "adding a file did not save the note";
    const auto &added = m_host->saves.back();
    EXPECT_EQ(added.noteId, noteId);
    ASSERT_EQ(added.files.size(), 3u); // the note, the file and its card
    EXPECT_EQ(added.files[1].origName, u"minutes.txt"_s);

    // Taken out in the page (as Backspace or Cut would).
    const size_t before = m_host->saves.size();
    runInPage(u"Tavrik.editor.document().querySelector('img[zv_exdata]').remove()"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_host->saves.size() > before; }, 10000))
        << "removing a file did not save the note";
    EXPECT_EQ(m_host->saves.back().files.size(), 1u);
}

} // namespace
