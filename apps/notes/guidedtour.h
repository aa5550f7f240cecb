// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class MainWindow;
class QWidget;

// A short scripted walk through the demo for machines without a display: open the sample
// notebook, edit and save a note, switch notes, lock one, start a new note, copy another
// note's attachments into it, change a table and a picture, drag and fold the attachments
// pane, and export, writing a screenshot of the main window after each step into
// a folder.
class GuidedTour : public QObject
{
    Q_OBJECT

public:
    GuidedTour(MainWindow &window, const QString &folder, QObject *parent = nullptr);

    // Runs the tour once the editor is ready; quits the application with 0 at the end, or
    // with 1 when a step fails.
    void start();

private:
    void run();
    bool waitFor(const std::function<bool()> &condition, int timeoutMs);
    void settle(int ms);
    // A picture of `widget` (the main window when null).
    void shot(const QString &name, const QString &caption, QWidget *widget = nullptr);
    // `shot` for the tour steps kept in other files.
    std::function<void(QWidget *, const QString &, const QString &)> tourShot();
    // Types a line and a paragraph after it at the end of the note; the line may be a heading.
    bool typeIntoNote(const QString &firstLine, const QString &moreText, bool asHeading = false);
    // Types as typeIntoNote does, presses Ctrl+S and waits for the host to store the note;
    // false after failing with `failure` when it does not.
    bool typeAndSave(const QString &firstLine, const QString &moreText, bool asHeading,
                     const QString &failure);
    void pressSaveKey();
    // Types `text` with key presses into the editor, as a user does ("\n" presses Enter).
    void typeKeys(const QString &text);
    // Presses Control with `key` in the editor, as the keyboard does.
    void pressControlKey(int key);
    // Runs `script` in the editor page and gives its value as a boolean.
    bool runInPage(const QString &script);
    // Copies the welcome note's picture and document with Control+C and pastes them into the
    // note titled `target` with Control+V.
    bool copyAttachmentsInto(const QString &target);
    bool select(const QString &title);
    // Drags the split bar, folds and unfolds the attachments pane, with a screenshot of each.
    bool showSplitView();
    // Types a checklist, formatting marks and a code block with keys into a new note, with a
    // screenshot of each, and saves it.
    bool editingByKeys();
    // Adds a table to the open note, saves it and exports it as MHT, ODT, DOCX and PDF.
    bool exportWithTable();
    void fail(const QString &what);

    MainWindow &m_window;
    QString m_folder;
    int m_shots = 0;
    int m_saves = 0;
    bool m_failed = false;
};
