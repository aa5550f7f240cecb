// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "noteimport.h"

#include "mainwindow.h"

#include "bridge/zvwebnotehandler.h"
#include "common/iprompts.h"
#include "common/log4c.h"
#include "import/enexfileimport.h"
#include "import/htmlfileimport.h"
#include "notehtml/notehtmlrw.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// Lines of skips shown before "… and N more".
constexpr int ListedSkips = 15;
// Notes, and characters of their text, kept for one commit at most: a larger import commits
// each time it reaches either, so what it holds stays small.
constexpr size_t BatchNotes = 1000;
constexpr qsizetype BatchText = 8 * 1024 * 1024;

void notStored(NoteImport::Report &report, const QString &title, const QString &reason)
{
    CLog4C::GetInstance()->WriteLog(u"[ERROR] Import could not store the note \""_s + title
                                    + u"\": "_s + reason);
    report.skipped.push_back({ImportSkip::Reason::NotStored, QString(), title, reason});
}

} // namespace

NoteImport::NoteImport(NoteStore &store) : m_store(store) { }

NoteImport::Report
NoteImport::importFiles(const QStringList &chosen,
                        const std::function<void(qint64 done, qint64 total)> &progress)
{
    QStringList paths;
    for (const QString &path : chosen) {
        if (!QFileInfo(path).isDir()) {
            paths << path;
            continue;
        }
        const QDir folder(path);
        for (const QString &name :
             folder.entryList({u"*.html"_s, u"*.htm"_s}, QDir::Files, QDir::Name))
            paths << folder.filePath(name);
    }
    qint64 total = 0;
    for (const QString &path : paths)
        total += QFileInfo(path).size();
    qint64 before = 0;
    const auto heard = [&](qint64 done, qint64) {
        if (progress)
            progress(before + done, total);
    };
    Report report;
    for (const QString &path : paths) {
        if (path.endsWith(u".enex"_s, Qt::CaseInsensitive)) {
            EnexFileImport::Import(
                path, [&](ImportedNote &note) { prepare(note, report); }, report.skipped, heard);
        } else if (std::optional<ImportedNote> note
                   = HtmlFileImport::Import(path, report.skipped)) {
            prepare(*note, report);
        }
        before += QFileInfo(path).size();
        heard(0, total);
    }
    store(report);
    return report;
}

void NoteImport::prepare(ImportedNote &note, Report &report)
{
    const QString title = note.title.isEmpty() ? MainWindow::untitledTitle() : note.title;
    int version = NOTE_HTML_VER_2;
    NewAttachFile noteFile;
    std::vector<NewAttachFile> files;
    QString text;
    if (!NoteHtmlRW::SaveHtmlTextToFile(note.html, noteFile, &version))
        return notStored(report, title, u"the note file cannot be written"_s);
    if (!ZvWebNoteHandler::ParseAttList(note.noteId, note.html, files, &text))
        return notStored(report, title, u"its HTML cannot be read"_s);
    files.insert(files.begin(), noteFile);
    NewNote &kept = m_pending.emplace_back();
    kept.id = note.noteId;
    kept.title = title;
    kept.created = note.created;
    kept.modified = note.updated;
    kept.files = MainWindow::noteFiles(files, kept.sizes);
    kept.plainText = text.trimmed();
    m_pendingText += kept.plainText.size();
    if (m_pending.size() >= BatchNotes || m_pendingText >= BatchText)
        store(report);
}

void NoteImport::store(Report &report)
{
    if (m_pending.empty())
        return;
    const bool stored = m_store.addNotes(m_pending);
    for (const NewNote &note : m_pending) {
        if (stored)
            report.noteIds << note.id;
        else
            notStored(report, note.title, m_store.lastError());
    }
    m_pending.clear();
    m_pendingText = 0;
}

QString NoteImport::skipLine(const ImportSkip &skip)
{
    using Reason = ImportSkip::Reason;
    const QString name
        = skip.note.isEmpty() ? skip.name : tr("%1 in “%2”").arg(skip.name, skip.note);
    switch (skip.reason) {
    case Reason::Unreadable:
        return tr("%1: cannot be read").arg(name);
    case Reason::Malformed:
        return tr("%1: the file breaks off at %2; the notes before it were imported")
            .arg(name, skip.detail);
    case Reason::HashMismatch:
        return tr("%1: its bytes do not match its hash").arg(name);
    case Reason::TooLarge:
        return tr("%1: larger than the 10 MB a note's attachments may take").arg(name);
    case Reason::UnsafeName:
        return tr("%1: the name leads out of its folder").arg(name);
    case Reason::Missing:
        return tr("%1: not found").arg(name);
    case Reason::NotStored:
        return tr("%1: could not be stored in the notebook").arg(name);
    }
    return name;
}

QString NoteImport::reportText(const Report &report)
{
    QString text = tr("Imported %n note(s).", nullptr, int(report.noteIds.size()));
    if (report.skipped.empty())
        return text;
    QStringList lines;
    for (size_t i = 0; i < report.skipped.size() && i < size_t(ListedSkips); ++i)
        lines << skipLine(report.skipped[i]);
    if (report.skipped.size() > size_t(ListedSkips))
        lines << tr("… and %1 more").arg(report.skipped.size() - size_t(ListedSkips));
    return text + u"\n\n"_s + tr("Left out:") + u'\n' + lines.join(u'\n');
}

QAction *NoteImport::createAction(MainWindow &window, NoteStore &store,
                                  const std::function<void()> &imported)
{
    auto *action = new QAction(tr("&Import…"), &window);
    action->setToolTip(tr("Add notes from an Evernote export or from web pages"));
    QObject::connect(action, &QAction::triggered, &window, [&window, &store, imported] {
        const QStringList paths = IPrompts::instance()->openFileNames(
            &window, tr("Import notes"), QDir::homePath(),
            tr("Evernote exports and web pages (*.enex *.html *.htm)"));
        if (paths.isEmpty())
            return;
        // The window keeps drawing while a large export is read.
        QProgressDialog progress(tr("Importing notes…"), QString(), 0, 1000, &window);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        const Report report = NoteImport(store).importFiles(paths, [&](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 1000);
        });
        progress.reset();
        imported();
        IPrompts::instance()->messageBox(&window, reportText(report), tr("Import"),
                                         QMessageBox::Ok);
    });
    return action;
}
