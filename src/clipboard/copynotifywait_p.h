// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QObject>

#include <functional>

namespace TAVRIKCORE::RICHEDITOR {

// The browser's copy reaches the clipboard some time after the copy key, possibly after the
// copy notification. A wait is started with the key; the notification hands it its action,
// which runs once the clipboard has changed since the key (at once when it already has), so
// it never acts on what was there before. A wait without a change within TimeoutMs ends
// without running anything. The wait deletes itself when it ends.
class TAVRIK_AUTOTEST_EXPORT CopyNotifyWait : public QObject
{
public:
    static constexpr int TimeoutMs = 2000;

    explicit CopyNotifyWait(QObject *parent);

    // Runs `action` on the first clipboard change since the wait started.
    void runAfterChange(std::function<void()> action);

private:
    void finishIfReady();

    std::function<void()> m_action;
    bool m_changed = false;
    bool m_finished = false;
};

} // namespace TAVRIKCORE::RICHEDITOR
