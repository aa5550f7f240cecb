// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notestore.h"

#include "import/importrecords.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <vector>

class MainWindow;
class QAction;

// File > Import… of the demo: Evernote exports (.enex) and HTML files with their pictures
// (a folder written by "Export note as folder" among them) become notes of the notebook. Each
// note's file and file list are made as the editor's save makes them; the notes are then added
// together in one commit, with the created and updated times their files give. What was left
// out is listed in the result.
class NoteImport
{
    Q_DECLARE_TR_FUNCTIONS(NoteImport)

public:
    struct Report
    {
        QStringList noteIds; // the imported notes, in the order read
        std::vector<TAVRIKCORE::RICHEDITOR::ImportSkip> skipped;
    };

    explicit NoteImport(NoteStore &store);

    // Imports every file: ".enex" as an Evernote export, anything else as an HTML page; a
    // folder gives its ".html" and ".htm" files, by name. `progress`, when given, hears the bytes
    // read so far out of all the files' sizes.
    Report importFiles(const QStringList &paths,
                       const std::function<void(qint64 done, qint64 total)> &progress = {});

    // The result as the window shows it: how many notes, then one line per skip.
    static QString reportText(const Report &report);
    static QString skipLine(const TAVRIKCORE::RICHEDITOR::ImportSkip &skip);

    // The menu's "Import…": asks for files, imports them, shows the result and calls `imported`.
    static QAction *createAction(MainWindow &window, NoteStore &store,
                                 const std::function<void()> &imported);

private:
    // Writes the note's file and keeps the note for the next store().
    void prepare(TAVRIKCORE::RICHEDITOR::ImportedNote &note, Report &report);
    // Adds the notes kept so far to the notebook in one commit.
    void store(Report &report);

    NoteStore &m_store;
    std::vector<NewNote> m_pending;
    qsizetype m_pendingText = 0;
};
