// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/cslock.h"
#include "common/singleton.h"
#include "tavrik_export.h"

#include <QString>

// The log's public shape. Its implementation (log4c.cpp) is written with its tests.
namespace TAVRIKCORE::RICHEDITOR {

// The diagnostic log ZorvaEditor.log in the application folder. WriteLog stamps a message
// with the local time and thread id and queues it; a writer thread appends queued lines to
// the file every two seconds and starts the file afresh once it has grown past 10 MiB.
class TAVRIK_EXPORT CLog4C : public SingletonTemplate<CLog4C>
{
public:
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
    Private *d;
};

} // namespace TAVRIKCORE::RICHEDITOR
