// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QCoreApplication>
#include <QLockFile>
#include <QString>

// Keeps a notebook to one running program: the lock file "<database>.lock" beside the
// database, held while this object lives. A lock left by a program that ended is taken over.
class NotebookLock
{
    Q_DECLARE_TR_FUNCTIONS(NotebookLock)

public:
    explicit NotebookLock(const QString &databasePath);

    // Takes the lock. False when another program holds it or the lock file cannot be written;
    // errorText() then says so and names the notebook.
    bool lock();
    QString errorText() const { return m_error; }

private:
    QString m_databasePath;
    QLockFile m_file;
    QString m_error;
};
