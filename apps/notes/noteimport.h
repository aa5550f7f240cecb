// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "import/importrecords.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <vector>

class MainWindow;
class NoteStore;
class QAction;

namespace TAVRIKCORE::RICHEDITOR {
class IZvEditorNotify;
}

// File > Import… of the demo: Evernote exports (.enex) and HTML files with their pictures
// (a folder written by "Export note as folder" among them) become notes of the notebook. Each
// note is added and then saved as the editor's save reaches the window, so imported notes are
// stored like any other. What was left out is listed in the result.
class NoteImport
{
    Q_DECLARE_TR_FUNCTIONS(NoteImport)

public:
    struct Report
    {
        QStringList noteIds; // the imported notes, in the order read
        std::vector<TAVRIKCORE::RICHEDITOR::ImportSkip> skipped;
    };

    NoteImport(NoteStore &store, TAVRIKCORE::RICHEDITOR::IZvEditorNotify &saver);

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
    void save(TAVRIKCORE::RICHEDITOR::ImportedNote &note, Report &report);

    NoteStore &m_store;
    TAVRIKCORE::RICHEDITOR::IZvEditorNotify &m_saver;
};
