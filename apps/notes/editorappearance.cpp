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
    qApp->installEventFilter(this);
}

bool EditorAppearance::desktopIsDark()
{
    const QPalette palette = QApplication::palette();
    return palette.color(QPalette::WindowText).lightness()
        > palette.color(QPalette::Window).lightness();
}

bool EditorAppearance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        followDesktop();
    return QObject::eventFilter(watched, event);
}

void EditorAppearance::followDesktop()
{
    m_editor->SetTheme(desktopIsDark() ? CZorvaEditorImpl::Theme::Dark
                                       : CZorvaEditorImpl::Theme::Light);
}
