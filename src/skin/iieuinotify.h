// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QPoint>
#include <QString>

class QKeyEvent;
class QObject;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {

// Receives the browser's user-interface hooks (see IEWebBrowser::SetIEUINotify). Each
// answers S_OK when it handled the request, E_NOTIMPL to let the browser apply its default.
class IIEUINotify
{
public:
    // Message box types passed to ShowMessage.
    enum MessageType { MessageOk = 0, MessageOkCancel = 1 };

    virtual ~IIEUINotify() = default;

    // Before the browser shows its context menu at `screenPoint`. `commandTarget` is the page,
    // `element` describes what is under the pointer (a QWebEngineContextMenuRequest).
    virtual long ShowContextMenu(int menuId, const QPoint &screenPoint, QObject *commandTarget,
                                 QObject *element)
        = 0;

    // Before the browser shows a message box asked for by the page's script.
    virtual long ShowMessage(QWidget *window, const QString &text, const QString &caption, int type)
        = 0;

    // For every key press and release about to reach the page (S_OK keeps it from the page),
    // and for the shortcut question before each key press (S_OK claims the key, so the
    // browser keeps no edit command of its own for it).
    virtual long OnTranslateAccelerator(const QKeyEvent *message) = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
