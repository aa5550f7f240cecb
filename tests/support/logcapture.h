// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <sys/types.h>
#include <vector>

// Reads back what the library logged during a test:
//
//     LogCapture log;
//     doSomethingThatFails();
//     EXPECT_EQ(log.lines(), std::vector<QString>{u"[ERROR] ..."_s});
//
// Construction flushes the log and marks the file's current end.
class LogCapture
{
public:
    LogCapture();

    // Flushes the log and returns the messages written since construction, oldest first,
    // without the "date time TID:0x.. " prefix and with the log's escapes undone. If the
    // file was started afresh meanwhile, everything in the new file counts.
    std::vector<QString> lines() const;

    // Strips the prefix of one log line; returns the line unchanged when it has none.
    static QString messageOf(const QString &line);

private:
    QString m_path;
    qint64 m_offset = 0;
    ino_t m_inode = 0;
};
