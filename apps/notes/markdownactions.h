// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QObject>
#include <QString>

class MainWindow;
class QAction;

// Markdown in the demo. The Edit menu's "Copy as Markdown" puts the note's selection on the
// clipboard as Markdown text, and "Paste as Markdown" inserts the clipboard's text converted
// from Markdown; File > Export > "As Markdown folder…" writes the open note (saved first) as
// note.md with copies of its files beside it, in a new folder named after the note.
class MarkdownActions : public QObject
{
    Q_OBJECT

public:
    explicit MarkdownActions(MainWindow &window);

    QAction *copyAction() const { return m_copy; }
    QAction *pasteAction() const { return m_paste; }
    QAction *exportAction() const { return m_export; }

public Q_SLOTS:
    // Enables what can run on the open note now.
    void updateActions();
    // Each says what it did, or why it did nothing, in the status bar.
    bool copySelection();
    bool paste();
    void exportCurrentNote();
    // Exports the open note into a new folder inside `parent`, named after the note. False
    // (with the reason shown) when there is no note or the export failed.
    bool exportCurrentNoteInto(const QString &parent);

private:
    void showMessage(const QString &text);

    MainWindow &m_window;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_export = nullptr;
};
