// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/syncfilemodifyevent.h"

#include <QEvent>

namespace TAVRIKCORE::RICHEDITOR {

// The window messages shared between the editor and its host, as posted event types.

// To the editor's parent: the editor page has loaded for the first time.
inline constexpr QEvent::Type EditorPageLoadedEvent = QEvent::Type(8005);
// To the browser's inner window: clear the page's cache after new content was pushed.
inline constexpr QEvent::Type ClearEditorCacheEvent = QEvent::Type(2258);
// To the browser's inner window: the browser's own copy has run (copy notification).
inline constexpr QEvent::Type CopyNotifyEvent = QEvent::Type(8004);
// AttachFileModifyEvent (2224), to the editor window, comes with the monitor that posts it.

} // namespace TAVRIKCORE::RICHEDITOR
