// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notefind.h"

#include "bridge/zvwebnotehandler.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler;

NoteFind::NoteFind(ZvWebNoteHandler &handler, QWidget *window) : m_handler(handler)
{
    m_field = new QLineEdit;
    m_field->setClearButtonEnabled(true);
    m_field->setAccessibleName(tr("Find in this note"));
    m_field->installEventFilter(this);
    m_count = new QLabel;
    m_matchCase = new QCheckBox(tr("Match &case"));
    m_wholeWord = new QCheckBox(tr("&Whole word"));
    m_replacement = new QLineEdit;
    m_replacement->setClearButtonEnabled(true);
    m_replacement->setPlaceholderText(tr("Replace with"));
    m_replacement->setAccessibleName(tr("Replace with"));
    m_replace = new QPushButton(tr("&Replace"));
    m_replaceAll = new QPushButton(tr("Replace &all"));
    for (QPushButton *button : {m_replace, m_replaceAll})
        button->setAutoDefault(false);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 6, 0);
    layout->addWidget(m_field, 0, 0);
    layout->addWidget(m_matchCase, 0, 1);
    layout->addWidget(m_wholeWord, 0, 2);
    layout->addWidget(m_count, 0, 3);
    layout->addWidget(m_replacement, 1, 0);
    layout->addWidget(m_replace, 1, 1);
    layout->addWidget(m_replaceAll, 1, 2);
    layout->setColumnStretch(0, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setTabOrder(m_field, m_matchCase);
    setTabOrder(m_matchCase, m_wholeWord);
    setTabOrder(m_wholeWord, m_replacement);
    setTabOrder(m_replacement, m_replace);
    setTabOrder(m_replace, m_replaceAll);

    connect(m_field, &QLineEdit::textChanged, this, &NoteFind::searchAgain);
    for (QCheckBox *box : {m_matchCase, m_wholeWord})
        connect(box, &QCheckBox::toggled, this, &NoteFind::searchAgain);
    connect(m_replace, &QPushButton::clicked, this, &NoteFind::replaceCurrent);
    connect(m_replaceAll, &QPushButton::clicked, this, &NoteFind::replaceAll);
    connect(m_replacement, &QLineEdit::returnPressed, this, &NoteFind::replaceCurrent);

    // F3 goes to the window, so it reaches the field's hits from the note and the lists too.
    for (const bool backwards : {false, true}) {
        auto *action = new QAction(this);
        action->setShortcut(backwards ? QKeySequence(Qt::SHIFT | Qt::Key_F3)
                                      : QKeySequence(Qt::Key_F3));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, backwards] { moveToNext(backwards); });
        window->addAction(action);
    }
    auto *toReplacement = new QAction(this);
    toReplacement->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    toReplacement->setShortcutContext(Qt::WindowShortcut);
    connect(toReplacement, &QAction::triggered, this, [this] {
        m_replacement->setFocus(Qt::ShortcutFocusReason);
        m_replacement->selectAll();
    });
    window->addAction(toReplacement);
}

QWidget *NoteFind::lastControl() const
{
    return m_replaceAll;
}

QString NoteFind::countText() const
{
    return m_count->text();
}

void NoteFind::searchAgain()
{
    m_handler.HighlightText(m_field->text(), m_matchCase->isChecked(), m_wholeWord->isChecked());
    showPosition(m_handler.HighlightNext(false));
}

void NoteFind::moveToNext(bool backwards)
{
    if (!m_field->text().isEmpty())
        showPosition(m_handler.HighlightNext(backwards));
}

void NoteFind::replaceCurrent()
{
    if (m_field->text().isEmpty())
        return;
    if (m_handler.HighlightCurrent() < 0)
        m_handler.HighlightNext(false);
    if (m_handler.ReplaceCurrent(m_replacement->text()) != 1 && m_handler.IsReadOnly())
        m_count->setText(tr("The note is read-only"));
    else
        showPosition(m_handler.HighlightCurrent());
}

void NoteFind::replaceAll()
{
    if (m_field->text().isEmpty())
        return;
    const int replaced = m_handler.ReplaceAll(m_field->text(), m_replacement->text(),
                                              m_matchCase->isChecked(), m_wholeWord->isChecked());
    if (replaced < 0)
        m_count->setText(m_handler.IsReadOnly() ? tr("The note is read-only")
                                                : tr("Nothing was replaced"));
    else
        m_count->setText(tr("%n replaced", nullptr, replaced));
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
