// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QFrame>
#include <QString>
#include <QTimer>

#include <vector>

class MainWindow;
class NoteStore;
class QLabel;

// What a sync engine brings into the notebook while the demo runs: heads and files arriving in
// the attachment store are taken a moment after they stop coming. Typing in the open note is
// saved first, so a version that arrived for it meanwhile becomes a conflict instead of being
// overwritten. The bar above the editor says when the open note has a conflicting version and
// offers to open it as a note of its own.
class NotebookSync : public QFrame
{
    Q_OBJECT

public:
    NotebookSync(MainWindow &window, NoteStore &store);

    // Takes what arrived now; the window's list and open note follow.
    void takeArrivals();
    // The open note changed: the bar shows its conflict, and the files it lacks are awaited.
    void noteOpened(const QString &id);
    // Makes the open note's conflicting version a note of its own and shows it.
    bool openOtherVersion();

    // How long arrivals must pause before they are taken, in milliseconds.
    static constexpr int QuietMs = 300;

private:
    void watchFolders();
    bool awaitedFileArrived() const;

    MainWindow &m_window;
    NoteStore &m_store;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QLabel *m_text = nullptr;
    std::vector<QString> m_awaited; // files the open note names that are not here yet
};
