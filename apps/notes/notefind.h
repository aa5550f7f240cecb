// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace TAVRIKCORE::RICHEDITOR {
class ZvWebNoteHandler;
} // namespace TAVRIKCORE::RICHEDITOR

// The search field of the open note: marks the hits as the user types (letter case ignored
// unless "Match case" is ticked, parts of words found unless "Whole word" is), shows which hit
// is current ("3 of 17", "No matches") beside the field, and moves to the next or previous hit
// with Enter and Shift+Enter in the field, F3 and Shift+F3 anywhere in the window. Below it,
// the replacement: "Replace" replaces the current hit and moves to the next, "Replace all"
// every hit (one Ctrl+Z in the note takes either back); Ctrl+H goes to the replacement field.
class NoteFind : public QWidget
{
    Q_OBJECT

public:
    NoteFind(TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler &handler, QWidget *window);

    QLineEdit *field() const { return m_field; }
    QLineEdit *replacementField() const { return m_replacement; }
    QCheckBox *matchCase() const { return m_matchCase; }
    QCheckBox *wholeWord() const { return m_wholeWord; }
    QPushButton *replaceButton() const { return m_replace; }
    QPushButton *replaceAllButton() const { return m_replaceAll; }
    // The last of the bar's controls in the keyboard's order.
    QWidget *lastControl() const;
    // What the label beside the field says; empty while the field is.
    QString countText() const;

    // Marks the field's text in the note shown now (after another note was opened).
    void searchAgain();
    // Makes the next hit (the previous one when `backwards`) the current one.
    void moveToNext(bool backwards);
    void replaceCurrent();
    void replaceAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPosition(int current);

    TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler &m_handler;
    QLineEdit *m_field = nullptr;
    QLabel *m_count = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QLineEdit *m_replacement = nullptr;
    QPushButton *m_replace = nullptr;
    QPushButton *m_replaceAll = nullptr;
};
