// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/cslock.h"
#include "common/singleton.h"
#include "tavrik_export.h"

#include <QString>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// The diagnostic log ZorvaEditor.log in the application folder. WriteLog stamps a message
// with the local time and thread id and queues it; a writer thread appends queued lines to
// the file every two seconds and starts the file afresh once it has grown past 10 MiB.
// A line holds no raw line break: the backslash, control characters (C0, DEL, C1) and the
// line and paragraph separators are written as escapes (\\, \n, \r, \t, \xHH, \uHHHH).
class TAVRIK_EXPORT CLog4C : public SingletonTemplate<CLog4C>
{
public:
    // Stops the writer thread, which writes the lines still queued. Waits for it at most
    // 3000 ms; a writer stuck longer in a pass is left to finish on its own.
    ~CLog4C() override;

    // Queues one line; an empty message is ignored. Safe from any thread, never blocks on disk.
    void WriteLog(const QString &message);

    // Runs one flush pass now (what the writer thread does every two seconds).
    void Flush();

    // Path of the log file.
    QString FilePath() const;

private:
    friend class SingletonTemplate<CLog4C>;
    CLog4C();
    struct Private;
    std::shared_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
