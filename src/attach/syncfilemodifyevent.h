// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/syncfilemodifyarg.h"

#include <QEvent>

namespace TAVRIKCORE::RICHEDITOR {

// To the editor window: an attachment file of the open note changed.
inline constexpr QEvent::Type AttachFileModifyEvent = QEvent::Type(2224);

// Event 2224 (AttachFileModifyEvent): carries one changed attachment to the editor window and
// owns it, so a record whose event is never delivered is freed with the event.
class SyncFileModifyEvent : public QEvent
{
public:
    explicit SyncFileModifyEvent(SyncFileModifyArg arg, QEvent::Type type = AttachFileModifyEvent)
        : QEvent(type), m_arg(std::move(arg))
    { }

    SyncFileModifyArg *arg() { return &m_arg; }

private:
    SyncFileModifyArg m_arg;
};

} // namespace TAVRIKCORE::RICHEDITOR
