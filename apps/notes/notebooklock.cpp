// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notebooklock.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

NotebookLock::NotebookLock(const QString &databasePath)
    : m_databasePath(databasePath), m_file(databasePath + u".lock"_s)
{
    // A running program holds its notebook for hours: only a lock whose program has ended is
    // stale, never one that is merely old.
    m_file.setStaleLockTime(0);
}

bool NotebookLock::lock()
{
    QDir().mkpath(QFileInfo(m_databasePath).absolutePath());
    if (m_file.tryLock(0))
        return true;
    const QString notebook = QDir::toNativeSeparators(m_databasePath);
    if (m_file.error() == QLockFile::LockFailedError)
        m_error = tr("The notebook %1 is already open in another Tavrik Notes window.\n\n"
                     "Switch to that window to go on with your notes.")
                      .arg(notebook);
    else
        m_error = tr("Cannot lock the notebook %1: its folder is not writable.").arg(notebook);
    return false;
}
