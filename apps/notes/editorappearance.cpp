// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editorappearance.h"

#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>

using TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl;

EditorAppearance::EditorAppearance(CZorvaEditorImpl *editor) : QObject(editor), m_editor(editor)
{
    m_editor->SetSpellCheckLanguages(CZorvaEditorImpl::AvailableSpellCheckLanguages());
    followDesktop();
    // A new desktop palette reaches every widget as a change of its own palette.
    m_editor->installEventFilter(this);
}

bool EditorAppearance::desktopIsDark()
{
    const QPalette palette = QApplication::palette();
    return palette.color(QPalette::WindowText).lightness()
        > palette.color(QPalette::Window).lightness();
}

bool EditorAppearance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::PaletteChange)
        followDesktop();
    return QObject::eventFilter(watched, event);
}

void EditorAppearance::followDesktop()
{
    m_editor->SetTheme(desktopIsDark() ? CZorvaEditorImpl::Theme::Dark
                                       : CZorvaEditorImpl::Theme::Light);
}
