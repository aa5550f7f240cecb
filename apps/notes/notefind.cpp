// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notefind.h"

#include "bridge/zvwebnotehandler.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler;

NoteFind::NoteFind(ZvWebNoteHandler &handler, QWidget *window) : m_handler(handler)
{
    m_field = new QLineEdit;
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_count = new QLabel;
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 6, 0);
    layout->addWidget(m_field, 1);
    layout->addWidget(m_count);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_field, &QLineEdit::textChanged, this, &NoteFind::searchAgain);

    // F3 goes to the window, so it reaches the field's hits from the note and the lists too.
    for (const bool backwards : {false, true}) {
        auto *action = new QAction(this);
        action->setShortcut(backwards ? QKeySequence(Qt::SHIFT | Qt::Key_F3)
                                      : QKeySequence(Qt::Key_F3));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, backwards] { moveToNext(backwards); });
        window->addAction(action);
    }
}

QString NoteFind::countText() const
{
    return m_count->text();
}

void NoteFind::searchAgain()
{
    m_handler.HighlightText(m_field->text(), false);
    showPosition(m_handler.HighlightNext(false));
}

void NoteFind::moveToNext(bool backwards)
{
    if (!m_field->text().isEmpty())
        showPosition(m_handler.HighlightNext(backwards));
}

void NoteFind::showPosition(int current)
{
    if (m_field->text().isEmpty())
        m_count->clear();
    else if (current < 0)
        m_count->setText(tr("No matches"));
    else
        m_count->setText(tr("%1 of %2").arg(current + 1).arg(m_handler.HighlightCount()));
}

bool NoteFind::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            moveToNext(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
