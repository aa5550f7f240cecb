// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <vector>

class QMimeData;

namespace TAVRIKCORE::RICHEDITOR {

// Collecting the files that a drag, the clipboard, the file dialog or the host hands over,
// as DropFileInfo records.
class TAVRIK_AUTOTEST_EXPORT DropFiles
{
public:
    // How a path given by the user can be opened for adding.
    enum OpenCheck {
        OpenOk = 0,
        OpenInUse = 1, // another process holds a lock on the file (it is being edited)
        OpenInvalid = 2, // missing, unreadable, or not a regular file
    };

    // What opening a listed file for reading, without waiting, finds.
    enum class Probe {
        Regular,
        NotRegular, // a pipe, a socket or a device
        Unreadable, // missing, no permission, a symbolic-link loop
    };

    // The record for one path: a folder gets isDir, its own name as displayName, "dir" and a
    // size of all ones; anything else its name as keptName and displayName, its extension and
    // size. addTime is the current local time ("yyyy/MM/dd HH:mm"). False (record untouched)
    // for a path that names nothing, not even a link. The file is not opened here: pipes,
    // devices and unreadable files are refused, by name, when the batch is filtered.
    static bool BuildDropFileInfo(const QString &path, DropFileInfo &info);

    // Opens `path` read-only without blocking (a pipe with no writer never holds the window)
    // and tells whether it is a regular file; its size in `size` when it is.
    static Probe ProbeFile(const QString &path, quint64 *size = nullptr);

    // Appends the records of the local files and folders listed in `data` (text/uri-list),
    // in their order; entries that are not local or name nothing are skipped, and so is a
    // path with a ".." part (log line "[ERROR] File path with ".." skipped: <path>").
    static void GetFileList(const QMimeData *data, std::vector<DropFileInfo> &files);

    // Appends what `data` carries: its files when it lists any, else one temporary JPEG record
    // for the first image found in image/png, image/jpeg, image/bmp or application/x-qt-image
    // (in that order). True when something was appended.
    static bool CollectDragData(const QMimeData *data, std::vector<DropFileInfo> &files);

    // The same for the system clipboard: its files, else its image.
    static void GetFileListFromClipboard(std::vector<DropFileInfo> &files);

    // Whether `path` may be added as a file: opening it exclusively fails for a missing or
    // unreadable path or anything but a regular file (OpenInvalid) and for a file another process
    // holds under an advisory lock, flock or fcntl (OpenInUse).
    static OpenCheck CheckExclusiveOpen(const QString &path);
};

} // namespace TAVRIKCORE::RICHEDITOR
