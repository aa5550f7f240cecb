// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/copynotifywait_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

namespace TAVRIKCORE::RICHEDITOR {

CopyNotifyWait::CopyNotifyWait(QObject *parent) : QObject(parent)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        connect(clipboard, &QClipboard::dataChanged, this, [this] {
            m_changed = true;
            finishIfReady();
        });
    }
    QTimer::singleShot(TimeoutMs, this, [this] {
        m_finished = true;
        deleteLater();
    });
}

void CopyNotifyWait::runAfterChange(std::function<void()> action)
{
    m_action = std::move(action);
    finishIfReady();
}

void CopyNotifyWait::finishIfReady()
{
    if (m_finished || !m_changed || !m_action)
        return;
    m_finished = true;
    deleteLater();
    m_action();
}

} // namespace TAVRIKCORE::RICHEDITOR
