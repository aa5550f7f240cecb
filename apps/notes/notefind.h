// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace TAVRIKCORE::RICHEDITOR {
class ZvWebNoteHandler;
} // namespace TAVRIKCORE::RICHEDITOR

// The search field of the open note: marks the hits as the user types (letter case ignored),
// shows which hit is current ("3 of 17", "No matches") beside the field, and moves to the next
// or previous hit with Enter and Shift+Enter in the field, F3 and Shift+F3 anywhere in the
// window.
class NoteFind : public QWidget
{
    Q_OBJECT

public:
    NoteFind(TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler &handler, QWidget *window);

    QLineEdit *field() const { return m_field; }
    // What the label beside the field says; empty while the field is.
    QString countText() const;

    // Marks the field's text in the note shown now (after another note was opened).
    void searchAgain();
    // Makes the next hit (the previous one when `backwards`) the current one.
    void moveToNext(bool backwards);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPosition(int current);

    TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler &m_handler;
    QLineEdit *m_field = nullptr;
    QLabel *m_count = nullptr;
};
