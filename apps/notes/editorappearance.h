// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QObject>

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followDesktop();

    TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *m_editor;
};
