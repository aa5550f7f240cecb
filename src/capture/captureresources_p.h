// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QCursor>
#include <QPixmap>
#include <QString>

#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

// The capture's icons and cursors, read from the resource folder.
class TAVRIK_AUTOTEST_EXPORT CaptureResources
{
public:
    // The resource folder: "res" among the program's own files (FindProgramFile), ending in
    // '/'; empty when there is none.
    static QString Folder();
    // The icon file `name` in the resource folder (its first picture); null when it is
    // missing or unreadable.
    static QPixmap LoadIcon(const QString &name);
    // The cursor file `name` (a Windows .cur: an icon directory of type 2 whose entries hold
    // the hot spot) in the resource folder; none when it is missing or unreadable.
    static std::optional<QCursor> LoadCursor(const QString &name);
    // The same from a cursor file's bytes.
    static std::optional<QCursor> CursorFromBytes(const QByteArray &bytes);
};

} // namespace TAVRIKCORE::RICHEDITOR
