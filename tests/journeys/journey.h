// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A journey: the demo note-taking program used as a person uses it, on an X server of the
// test's own, with real input (xdotool sends key presses and clicks through the X server,
// xclip fills the clipboard as another program would). Every journey ends with
// finishJourney(): the notebook check is clean, every note opens again and stays byte for
// byte what was saved, and the attachment pane lists exactly the open note's files.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

class MainWindow;
class NoteStore;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {
class CZorvaEditorImpl;
}

class Journey : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The notebook and its window, shown, focused and with the editor ready.
    void openWindow();
    // Closes the window as the user does (the open note is saved) and forgets it.
    void closeWindow();
    void restart()
    {
        closeWindow();
        openWindow();
    }
    // From the next openWindow() on, the notebook keeps heads in the attachment store, written
    // as this computer's device, as the program does: the notebook a sync engine carries.
    void keepHeads() { m_keepHeads = true; }

    MainWindow &window() const { return *m_window; }
    NoteStore &store() const { return *m_store; }
    TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl &editor() const;
    QString notebookPath() const;
    QString appFolder() const;

    // Runs a script in the editor's page and waits for its value.
    QVariant js(const QString &script) const;
    // Waits until the page expression is true (false after `timeoutMs`).
    bool jsUntil(const QString &condition, int timeoutMs = 10000) const;
    // An expression for the editing frame's document, for js().
    static QString note() { return QStringLiteral("Tavrik.editor.document()"); }

    // Real input through the X server. Each returns when the tool is done and the program has
    // taken the events in.
    bool xdotool(const QStringList &args);
    void typeText(const QString &text);
    // One key or chord in xdotool's names: "ctrl+v", "Return", "ctrl+End".
    void pressKeys(const QString &keys);
    // A click of mouse button `button` (1 left, 3 right).
    void click(QWidget *widget, const QPoint &pos, int button = 1);
    // Clicks the middle of the first element in the note matching `selector`.
    void clickInNote(const QString &selector, int button = 1);
    // Clicks into the note and puts the caret at its end.
    void caretToNoteEnd();
    // Puts `data` on the X clipboard as `mimeType`, owned by xclip as another program would.
    bool offerClipboard(const QString &mimeType, const QByteArray &data);

    // The bytes of the note's last saved note file; empty before its first save.
    QByteArray savedNote(const QString &id) const;

    // Selects the note by its title in the list, as a click on its row does.
    bool openNoteTitled(const QString &title);

    // The end of every journey; see above. Uses gtest assertions.
    void finishJourney();

private:
    void waitForInput(int ms = 150);

    QTemporaryDir m_folder; // the notebook and files the journey makes
    bool m_keepHeads = false;
    std::unique_ptr<NoteStore> m_store;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QObject> m_clipboardOwner;
};
