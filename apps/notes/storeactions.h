// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QObject>
#include <QString>

class MainWindow;
class NoteStore;
class QAction;

// The notebook's upkeep in the demo's File menu: "Check notebook" and "Clean up" run the
// library's store check and clean-up on the notebook's live notes and show what they found in
// a message box (a clean-up removes files only once the user agrees), and "Export note as
// folder" writes the open note as an HTML file with copies of its files beside it. Each saves
// the open note first, so what is on screen is what they see.
class StoreActions : public QObject
{
    Q_OBJECT

public:
    StoreActions(MainWindow &window, NoteStore &store);

    QAction *checkAction() const { return m_check; }
    QAction *cleanAction() const { return m_clean; }
    QAction *exportAction() const { return m_export; }

public Q_SLOTS:
    void checkNotebook();
    void cleanUp();
    void exportCurrentNote();
    // Exports the open note into a new folder inside `parent`, named after the note. False
    // (with the reason shown) when there is no note or the export failed.
    bool exportCurrentNoteInto(const QString &parent);

private:
    void saveOpenNote();

    MainWindow &m_window;
    NoteStore &m_store;
    QAction *m_check = nullptr;
    QAction *m_clean = nullptr;
    QAction *m_export = nullptr;
};
