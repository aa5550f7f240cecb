// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editorappearance.h"

#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QStyle>

using namespace Qt::StringLiterals;

using TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl;

namespace {

// The desktop's palette, as it was before the program chose one of its own.
const QPalette &desktopPalette()
{
    static const QPalette palette = QApplication::palette();
    return palette;
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x26, 0x28, 0x2c), text(0xe3, 0xe5, 0xe8), base(0x1e, 0x1f, 0x22);
    for (const auto role :
         {QPalette::Window, QPalette::Button, QPalette::Light, QPalette::Midlight})
        p.setColor(role,
                   role == QPalette::Window || role == QPalette::Button ? window
                                                                        : window.lighter(140));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::BrightText, QPalette::ToolTipText})
        p.setColor(role, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::Mid, QColor(0x44, 0x48, 0x4e));
    p.setColor(QPalette::Dark, QColor(0x16, 0x17, 0x19));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x35, 0x51, 0x7d));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    p.setColor(QPalette::PlaceholderText, QColor(0x8b, 0x90, 0x97));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x7b, 0x81, 0x89));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x7b, 0x81, 0x89));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x7b, 0x81, 0x89));
    return p;
}

} // namespace

QString EditorAppearance::themeName(Theme theme)
{
    return theme == Theme::Dark ? u"dark"_s : theme == Theme::Light ? u"light"_s : u"system"_s;
}

EditorAppearance::Theme EditorAppearance::themeNamed(const QString &name)
{
    return name == u"dark"_s ? Theme::Dark : name == u"light"_s ? Theme::Light : Theme::System;
}

void EditorAppearance::applyTheme(Theme theme)
{
    const QPalette &desktop = desktopPalette();
    QApplication::setPalette(theme == Theme::Dark        ? darkPalette()
                                 : theme == Theme::Light ? QApplication::style()->standardPalette()
                                                         : desktop);
}

EditorAppearance::EditorAppearance(CZorvaEditorImpl *editor) : QObject(editor), m_editor(editor)
{
    desktopPalette();
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
