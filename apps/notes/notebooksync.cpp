// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notebooksync.h"

#include "mainwindow.h"
#include "notestore.h"

#include "common/appdirectory.h"
#include "common/textutils.h"
#include "editor/czorvaeditorimpl.h"
#include "store/noteheads.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::NoteHead;
using TAVRIKCORE::RICHEDITOR::NoteHeads;

NotebookSync::NotebookSync(MainWindow &window, NoteStore &store) : m_window(window), m_store(store)
{
    setObjectName(u"conflictBar"_s);
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    m_text = new QLabel;
    m_text->setWordWrap(true);
    auto *open = new QPushButton(tr("Open the other version as a note"));
    open->setObjectName(u"openOtherVersion"_s);
    // Taken from the keyboard while typing in the note, as long as the bar shows.
    open->setShortcut(QKeySequence(Qt::ALT | Qt::Key_O));
    open->setToolTip(open->shortcut().toString(QKeySequence::NativeText));
    connect(open, &QPushButton::clicked, this, &NotebookSync::openOtherVersion);
    layout->addWidget(m_text, 1);
    layout->addWidget(open);
    hide();

    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &NotebookSync::takeArrivals);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFolders(); // a device seen for the first time
        m_quiet.start();
    });
    watchFolders();
}

void NotebookSync::watchFolders()
{
    const QString heads = NoteHeads::DefaultFolder();
    QDir().mkpath(heads);
    QStringList folders{TAVRIKCORE::RICHEDITOR::GetAttachRootDir(), heads};
    for (const QString &device : QDir(heads).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders << heads + u'/' + device;
    const QStringList watched = m_watcher.directories();
    folders.removeIf([&](const QString &folder) { return watched.contains(folder); });
    if (!folders.isEmpty())
        m_watcher.addPaths(folders);
}

void NotebookSync::takeArrivals()
{
    const QString open = m_window.currentNoteId();
    if (!open.isEmpty()) {
        // What was typed becomes a version of its own before anything replaces it.
        m_store.setHeldNote(open);
        m_window.editor()->SaveEditor();
        m_store.setHeldNote({});
    }
    const std::vector<QString> changed = m_store.refreshFromHeads();
    const bool reopen = !open.isEmpty()
        && (std::find(changed.begin(), changed.end(), open) != changed.end()
            || awaitedFileArrived());
    if (changed.empty() && !reopen)
        return;
    m_window.notesArrived(reopen);
}

bool NotebookSync::awaitedFileArrived() const
{
    return std::any_of(m_awaited.begin(), m_awaited.end(),
                       [](const QString &path) { return QFileInfo::exists(path); });
}

void NotebookSync::noteOpened(const QString &id)
{
    m_awaited.clear();
    const QString root = TAVRIKCORE::RICHEDITOR::GetAttachRootDir() + u'/';
    for (const NoteFile &file : m_store.files(id)) {
        const QString path
            = QFileInfo::exists(file.filePath) ? file.filePath : root + file.storeName;
        if (!QFileInfo::exists(path))
            m_awaited.push_back(path);
    }
    // Kept copies arrive in the note's own folder.
    const QString folder = root + id;
    if (!m_awaited.empty() && QFileInfo(folder).isDir()
        && !m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    const std::vector<NoteHead> others = m_store.conflicts(id);
    setVisible(!others.empty());
    if (!others.empty()) {
        m_text->setText(tr("This note was also changed on another device from the same "
                           "version. Both versions are kept; this is the newer one."));
    }
}

bool NotebookSync::openOtherVersion()
{
    const QString id = m_window.currentNoteId();
    const std::vector<NoteHead> others = m_store.conflicts(id);
    const auto note = m_store.note(id);
    if (others.empty() || !note)
        return false;
    const QString newId = TAVRIKCORE::RICHEDITOR::CreateGuidString();
    const QString title = tr("%1 (other version)").arg(note->title);
    if (!m_store.takeConflict(id, others.front().noteFile, newId, title)) {
        m_window.statusBar()->showMessage(m_store.lastError(), 5000);
        return false;
    }
    m_window.notesArrived(false);
    return m_window.selectNote(newId);
}
