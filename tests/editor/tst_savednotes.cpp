// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/appdirectory.h"
#include "editor/savednotes_p.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <QDir>

#include <thread>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;
using Internal::SavedNotes;

namespace {

class SavedNotesTest : public AppFolderTest
{
protected:
    static QByteArray record() { return readBytes(SavedNotes::recordPath()); }
    static void writeRecord(const QByteArray &bytes)
    {
        ASSERT_TRUE(writeBytes(SavedNotes::recordPath(), bytes));
    }
    static QByteArray note(int n)
    {
        return "<!--{\"ver_number\":2}--><p>note " + QByteArray::number(n) + "</p>";
    }
};

TEST_F(SavedNotesTest, RecordsTheSha256OfTheExactBytes)
{
    EXPECT_EQ(SavedNotes::recordPath(), m_app.path() + u"/userdata/savednotes.sha256"_s);
    EXPECT_EQ(SavedNotes::hashOf("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const QByteArray saved = note(1);
    ASSERT_TRUE(SavedNotes::remember(saved));
    EXPECT_EQ(record(), SavedNotes::hashOf(saved) + '\n');
    EXPECT_TRUE(SavedNotes::contains(saved));

    QByteArray oneByte = saved;
    oneByte[oneByte.size() - 2] = 'P'; // "</P>"
    EXPECT_FALSE(SavedNotes::contains(oneByte));
    EXPECT_FALSE(SavedNotes::contains(QByteArray(saved + ' ')));
    EXPECT_FALSE(SavedNotes::contains(saved.chopped(1)));
    EXPECT_FALSE(SavedNotes::contains(QByteArray(saved + "<script>alert(1)</script>")));

    // The same bytes saved again take no second line.
    ASSERT_TRUE(SavedNotes::remember(saved));
    EXPECT_EQ(record().count('\n'), 1);
}

TEST_F(SavedNotesTest, MissingRecordIsLoggedAndMatchesNothing)
{
    LogCapture log;
    EXPECT_FALSE(SavedNotes::contains(note(1)));
    EXPECT_EQ(log.lines(),
              std::vector<QString>{u"[INFO] SavedNotes, no record of saved notes at "_s
                                   + SavedNotes::recordPath() + u"; the note is sanitised"_s});
}

TEST_F(SavedNotesTest, DamagedLinesAreSkippedAndLogged)
{
    const QByteArray good = SavedNotes::hashOf(note(2));
    // A line cut short by a crash, an upper-case hash, a line of the wrong length.
    writeRecord(SavedNotes::hashOf(note(1)).left(40) + good + '\n' + good.toUpper() + '\n' + "x\n"
                + good + '\n');
    LogCapture log;
    EXPECT_TRUE(SavedNotes::contains(note(2)));
    EXPECT_FALSE(SavedNotes::contains(note(1)));
    const QString line
        = u"[WARN] SavedNotes, 3 damaged line(s) skipped in "_s + SavedNotes::recordPath();
    EXPECT_EQ(log.lines(), (std::vector<QString>{line, line}));

    // A record of nothing but garbage matches nothing; a note saved next starts a line of its
    // own.
    writeRecord(QByteArray(300, '\xff'));
    EXPECT_FALSE(SavedNotes::contains(note(2)));
    ASSERT_TRUE(SavedNotes::remember(note(3)));
    EXPECT_TRUE(SavedNotes::contains(note(3)));
}

TEST_F(SavedNotesTest, KeepsTheNewestHalfWhenFull)
{
    QByteArray full;
    for (int n = 0; n < SavedNotes::MaxEntries - 1; ++n)
        full += SavedNotes::hashOf(note(n)) + '\n';
    writeRecord(full);
    EXPECT_TRUE(SavedNotes::contains(note(0)));
    ASSERT_TRUE(SavedNotes::remember(note(SavedNotes::MaxEntries - 1)));
    const QByteArray shortened = record();
    EXPECT_EQ(shortened.count('\n'), SavedNotes::MaxEntries / 2);
    EXPECT_FALSE(SavedNotes::contains(note(0)));
    EXPECT_FALSE(SavedNotes::contains(note(SavedNotes::MaxEntries / 2 - 1)));
    EXPECT_TRUE(SavedNotes::contains(note(SavedNotes::MaxEntries / 2)));
    EXPECT_TRUE(SavedNotes::contains(note(SavedNotes::MaxEntries - 1)));
    EXPECT_TRUE(shortened.endsWith(
        QByteArray(SavedNotes::hashOf(note(SavedNotes::MaxEntries - 1)) + '\n')));

    // One below the bound stays as it is.
    writeRecord(full.left((SavedNotes::MaxEntries - 2) * 65));
    ASSERT_TRUE(SavedNotes::remember(note(-1)));
    EXPECT_EQ(record().count('\n'), SavedNotes::MaxEntries - 1);
}

TEST_F(SavedNotesTest, WritersAtTheSameTimeKeepEveryLineWhole)
{
    constexpr int PerWriter = 300;
    std::thread first([] {
        for (int n = 0; n < PerWriter; ++n)
            SavedNotes::remember(note(n));
    });
    std::thread second([] {
        for (int n = PerWriter; n < 2 * PerWriter; ++n)
            SavedNotes::remember(note(n));
    });
    first.join();
    second.join();
    // A writer that read the other's line half written starts its own on a new line: an empty
    // line at most, never two hashes on one.
    int hashes = 0;
    for (const QByteArray &line : record().split('\n')) {
        if (!line.isEmpty()) {
            EXPECT_EQ(line.size(), 64) << line.toStdString();
            ++hashes;
        }
    }
    EXPECT_EQ(hashes, 2 * PerWriter);
    LogCapture log;
    for (int n = 0; n < 2 * PerWriter; ++n)
        EXPECT_TRUE(SavedNotes::contains(note(n))) << "note " << n;
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SavedNotesTest, UnwritableRecordIsLogged)
{
    ASSERT_TRUE(QDir().mkpath(SavedNotes::recordPath())); // a folder where the file goes
    LogCapture log;
    EXPECT_FALSE(SavedNotes::remember(note(1)));
    const std::vector<QString> lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].startsWith(u"[WARN] SavedNotes, the record of saved notes cannot be "
                                    "written: "_s
                                    + SavedNotes::recordPath()))
        << lines[0].toStdString();
}

} // namespace
