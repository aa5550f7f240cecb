// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// The editor's formats on the system clipboard. Each write replaces everything the clipboard
// held. HTML goes out as "text/html" (what Linux programs read) and as the "HTML Format"
// layout under application/x-qt-windows-mime;value="HTML Format"; a file list as
// "text/uri-list", as "x-special/gnome-copied-files" with "copy" (what file managers read),
// and as the file-list block and the "Preferred DropEffect" of copy under their
// application/x-qt-windows-mime names. All three return false without a clipboard.

// Reads the HTML fragment on the clipboard as UTF-8 bytes: the part the "HTML Format" layout
// marks when the clipboard holds that layout, otherwise its "text/html". False when neither
// is there or the layout's fragment offsets are missing, negative, reversed or out of range.
TAVRIK_AUTOTEST_EXPORT bool ReadClipboardHtmlFragment(QByteArray &fragment);

// Puts `fragment` (UTF-8, up to its first zero byte) on the clipboard as HTML. False when
// the layout would pass 99,999,999 bytes; the clipboard is then left as it was.
TAVRIK_AUTOTEST_EXPORT bool WriteClipboardHtml(const QByteArray &fragment);

// Puts the files at the full paths `paths` on the clipboard, to be copied. False for an
// empty list, which leaves the clipboard as it was.
TAVRIK_AUTOTEST_EXPORT bool WriteClipboardFileList(const std::vector<QString> &paths);

} // namespace TAVRIKCORE::RICHEDITOR
