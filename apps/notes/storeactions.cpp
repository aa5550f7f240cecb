// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "storeactions.h"

#include "livenotes.h"
#include "mainwindow.h"
#include "notebookcheck.h"
#include "notestore.h"

#include "common/iprompts.h"
#include "common/textutils.h"
#include "editor/czorvaeditorimpl.h"
#include "store/notefolderexport.h"
#include "store/storecleanup.h"

#include <QAction>
#include <QDir>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QStatusBar>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// Lines shown in a message box before "… and N more".
constexpr int ListedLines = 15;

template<typename T, typename Line> QString listed(const std::vector<T> &entries, Line line)
{
    QStringList lines;
    for (size_t i = 0; i < entries.size() && i < size_t(ListedLines); ++i)
        lines << line(entries[i]);
    if (entries.size() > size_t(ListedLines))
        lines << StoreActions::tr("… and %1 more").arg(entries.size() - size_t(ListedLines));
    return lines.join(u'\n');
}

QString describe(const StoreItem &item)
{
    return StoreItemKindName(item.kind) + u": "_s + item.path;
}

} // namespace

StoreActions::StoreActions(MainWindow &window, NoteStore &store)
    : QObject(&window), m_window(window), m_store(store)
{
    m_check = new QAction(tr("Chec&k notebook"), this);
    m_check->setToolTip(tr("Check that every file of the notebook is there and intact"));
    connect(m_check, &QAction::triggered, this, &StoreActions::checkNotebook);
    m_clean = new QAction(tr("C&lean up…"), this);
    m_clean->setToolTip(tr("Remove the files no note refers to any more"));
    connect(m_clean, &QAction::triggered, this, &StoreActions::cleanUp);
    m_export = new QAction(tr("Export note as &folder…"), this);
    m_export->setToolTip(tr("Save the note as a web page with its pictures and files beside it"));
    connect(m_export, &QAction::triggered, this, &StoreActions::exportCurrentNote);
}

void StoreActions::saveOpenNote()
{
    if (m_window.editor() && !m_window.currentNoteId().isEmpty())
        m_window.editor()->SaveEditor();
}

void StoreActions::checkNotebook()
{
    saveOpenNote();
    // Hashing a large notebook takes a while: the window stays painted meanwhile.
    QProgressDialog progress(tr("Checking the notebook…"), QString(), 0, 1000, &m_window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const NotebookCheck check = NotebookCheck::Run(m_store, [&](qint64 done, qint64 total) {
        progress.setValue(total > 0 ? int(done * 1000 / total) : 1000);
    });
    // Files other devices saved that have not arrived yet are counted apart from problems.
    std::vector<size_t> problems;
    for (size_t i = 0; i < check.findings.size(); ++i) {
        if (check.findings[i].kind != StoreFindingKind::WaitingForSync)
            problems.push_back(i);
    }
    const int waiting = int(check.waiting());
    progress.reset();
    QString text = !problems.empty()
        ? tr("%n problem(s) found in the notebook:", nullptr, int(problems.size())) + u"\n\n"_s
            + listed(problems, [&](size_t i) { return check.describe(i); })
        : waiting > 0 ? tr("The notebook is sound: every file that has arrived is intact.")
                      : tr("The notebook is sound: every file its notes need is there and intact.");
    QString status = tr("Notebook checked: %n problem(s)", nullptr, int(problems.size()));
    if (waiting > 0) {
        text += u"\n\n"_s
            + tr("%n file(s) saved on other devices are waiting for sync.", nullptr, waiting);
        status += u"; "_s + tr("%n file(s) waiting for sync", nullptr, waiting);
    }
    m_window.statusBar()->showMessage(status);
    IPrompts::instance()->messageBox(&m_window, text, tr("Check notebook"), QMessageBox::Ok);
}

void StoreActions::cleanUp()
{
    saveOpenNote();
    const std::vector<LiveNote> live = liveNotesOf(m_store);
    const StoreCleanup::Result listing = StoreCleanup::List(live);
    const QString kept = listing.heldBack == 0 ? QString()
                                               : u"\n\n"_s
            + tr("%n file(s) changed within the last hour stay for now.", nullptr,
                 int(listing.heldBack));
    if (listing.items.empty()) {
        IPrompts::instance()->messageBox(
            &m_window, tr("Nothing to clean up: every file belongs to a note.") + kept,
            tr("Clean up"), QMessageBox::Ok);
        return;
    }
    const QString question = tr("%n file(s) (%1) belong to no note any more. Remove them?", nullptr,
                                int(listing.items.size()))
                                 .arg(FormatFileSize(quint64(listing.bytes)))
        + u"\n\n"_s + listed(listing.items, [](const StoreItem &i) { return describe(i); }) + kept;
    if (IPrompts::instance()->messageBox(&m_window, question, tr("Clean up"),
                                         QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const StoreCleanup::Result removed = StoreCleanup::Remove(live);
    QString text = removed.error.isEmpty()
        ? tr("Removed %n file(s), %1 freed.", nullptr, int(removed.items.size()))
              .arg(FormatFileSize(quint64(removed.bytes)))
        : tr("Nothing was removed: %1").arg(removed.error);
    if (!removed.failed.empty()) {
        text += u' '
            + tr("%n file(s) stayed; the log says why.", nullptr, int(removed.failed.size()));
    }
    m_window.statusBar()->showMessage(text);
    IPrompts::instance()->messageBox(&m_window, text, tr("Clean up"), QMessageBox::Ok);
}

void StoreActions::exportCurrentNote()
{
    if (m_window.currentNoteId().isEmpty())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString parent = IPrompts::instance()->existingFolder(
        &m_window, tr("Export note as folder: where to put it"), folder);
    if (!parent.isEmpty())
        exportCurrentNoteInto(parent);
}

bool StoreActions::exportCurrentNoteInto(const QString &parent)
{
    const QString id = m_window.currentNoteId();
    saveOpenNote();
    const std::vector<QString> files = m_store.noteFileNames(id);
    const std::optional<NoteInfo> note = m_store.note(id);
    QString error;
    if (files.empty() || !note) {
        error = tr("the note has not been saved yet");
    } else {
        const QString name = MainWindow::fileNameFor(note->title);
        const NoteFolderExport::Result result
            = NoteFolderExport::Export(id, files.front(), parent + u'/' + name, name + u".html"_s);
        error = result.error;
        if (error.isEmpty()) {
            m_window.statusBar()->showMessage(tr("Exported to %1").arg(result.htmlPath));
            return true;
        }
    }
    const QString text = tr("The note could not be exported: %1").arg(error);
    m_window.statusBar()->showMessage(text);
    IPrompts::instance()->messageBox(&m_window, text, tr("Export note as folder"), QMessageBox::Ok);
    return false;
}
