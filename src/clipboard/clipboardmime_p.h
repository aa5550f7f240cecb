// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QLatin1String>

namespace TAVRIKCORE::RICHEDITOR::ClipboardMime {

// The MIME types under which the editor's clipboard formats travel. The Windows formats keep
// the names Qt gives them, so a Windows build reads the same data.
inline constexpr QLatin1String Html("text/html");
inline constexpr QLatin1String HtmlFormat("application/x-qt-windows-mime;value=\"HTML Format\"");
inline constexpr QLatin1String GnomeCopiedFiles("x-special/gnome-copied-files");
inline constexpr QLatin1String FileDrop("application/x-qt-windows-mime;value=\"CF_HDROP\"");
inline constexpr QLatin1String
    PreferredDropEffect("application/x-qt-windows-mime;value=\"Preferred DropEffect\"");

} // namespace TAVRIKCORE::RICHEDITOR::ClipboardMime
