// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QObject>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {
class CZorvaEditorImpl;
}

// How the demo shows its editor: spelling checked in every language the build has a
// dictionary for, and the page light or dark as the desktop's palette is, following it when
// it changes.
class EditorAppearance : public QObject
{
    Q_OBJECT

public:
    explicit EditorAppearance(TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *editor);

    // Whether the desktop's palette is dark: window text lighter than the window.
    static bool desktopIsDark();

    // The program's theme: the desktop's palette, or a light or a dark one of its own. Its name
    // ("system", "light", "dark") is what the settings keep.
    enum class Theme { System, Light, Dark };
    static QString themeName(Theme theme);
    static Theme themeNamed(const QString &name);
    // Gives the whole program the theme's palette (the editor follows it).
    static void applyTheme(Theme theme);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followDesktop();

    TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *m_editor;
};
