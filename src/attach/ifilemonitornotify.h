// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace TAVRIKCORE::RICHEDITOR {

// Receives the change events of a file-system watcher: the full path of a file and what
// happened to it (1 added, 2 removed, 3 content changed, 4 renamed away, 5 renamed to this
// name).
class IFileMonitorNotify
{
public:
    virtual void OnEvent(const QString &path, quint32 action) = 0;
    virtual ~IFileMonitorNotify() = default;
};

} // namespace TAVRIKCORE::RICHEDITOR
