// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Standard Base64 (RFC 4648 alphabet, '=' padding, no line breaks). A count of zero or
// less gives an empty text.
TAVRIK_EXPORT QByteArray Base64Encode(const char *data, int count);
inline QByteArray Base64Encode(const QByteArray &bytes)
{
    return Base64Encode(bytes.constData(), int(bytes.size()));
}

// Lenient decoder for texts such as file names. Reads groups of four characters; a single
// CR, LF, 0x01 or 0x02 before a group is skipped; characters outside the alphabet count as
// 0; a group cut short by the end of the text reads its missing characters as 0. Returns the
// number of bytes produced; `decoded` receives them up to the first zero byte.
TAVRIK_EXPORT int Base64Decode(const QByteArray &text, QByteArray &decoded);

// MD5 of a file's bytes as 32 lower-case hex digits, streamed in constant memory.
// Empty text (and one log line) when the file cannot be opened.
TAVRIK_EXPORT QString CalcFileMd5(const QString &path);

// A new random GUID as 32 lower-case hex digits, no braces or dashes.
TAVRIK_EXPORT QString CreateGuidString();

// Folder of the running executable, ending with '/'. SetAppDirectory (or the environment
// variable TAVRIK_APP_DIR, read once) points it elsewhere for the whole process; an empty
// text restores the default (TAVRIK_APP_DIR when set, else the executable's folder).
TAVRIK_EXPORT QString GetAppDirectory();
TAVRIK_EXPORT void SetAppDirectory(const QString &folder);

// The system's temporary folder, ending with '/'.
TAVRIK_EXPORT QString GetTempDirectory();

// <app folder>userdata/attachment (no trailing separator), created when missing.
TAVRIK_EXPORT QString GetAttachRootDir();

// With a kept name: <root>/<noteId>/<keptName>, creating the note's folder. Without one:
// <root>/<storeName>, creating nothing.
TAVRIK_EXPORT QString GetAttachFilePath(const QString &noteId, const QString &storeName,
                                        const QString &keptName);

// Creates a folder and its missing parents. 1 when the folder exists afterwards, else 0.
TAVRIK_EXPORT int MakeDirectories(const QString &path);

// Non-zero when a file or folder exists at the path.
TAVRIK_EXPORT int IsFileExist(const QString &path);

// Text after the last separator ('/' or '\'); the whole input when there is none.
TAVRIK_EXPORT QString GetFileNameFromPath(const QString &path);
// Text after the last '.'; the whole input when there is none.
TAVRIK_EXPORT QString GetFileExt(const QString &name);
// Text before the last '.'; the whole input when there is none.
TAVRIK_EXPORT QString RemoveFileExt(const QString &name);

// Appends the pieces of `text` cut at each `separator` to `pieces`. Consecutive separators
// give empty pieces; a trailing separator gives no empty last piece. An empty separator
// gives the whole text as one piece.
TAVRIK_EXPORT void SplitString(const QString &text, const QString &separator,
                               std::vector<QString> &pieces);

// "512B", "1.50KB", "3.25M", "1.00G"; an exact unit boundary falls to the lower unit.
TAVRIK_EXPORT QString FormatFileSize(quint64 size);

// Local time of `seconds` since 1970 formatted with a strftime pattern; empty when the
// pattern is empty, the result does not fit 128 characters or the time is invalid.
TAVRIK_EXPORT QString FormatTime(qint64 seconds, const QString &format);
// The current local time as "%Y-%m-%d %H:%M:%S".
TAVRIK_EXPORT QString GetCurTimeString();

// Bounded printf into `buffer` that truncates to `capacity` (terminator included); the
// characters written, or -1 on a format error, a null buffer or a zero capacity.
TAVRIK_EXPORT int FormatPrint(char *buffer, std::size_t capacity, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
TAVRIK_EXPORT int FormatPrint(wchar_t *buffer, std::size_t capacity, const wchar_t *format, ...);

} // namespace TAVRIKCORE::RICHEDITOR
