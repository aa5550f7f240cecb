// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// A NUL would silently cut the path short on its way to the system.
bool hasNul(const QString &path)
{
    return path.contains(QChar(u'\0'));
}

bool isFolder(const QByteArray &path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

int MakeDirectories(const QString &path)
{
    if (hasNul(path))
        return 0;
    QString trimmed = path;
    while (trimmed.endsWith(u'/'))
        trimmed.chop(1);
    if (trimmed.isEmpty())
        return path.isEmpty() ? 0 : 1; // only separators: the file-system root
    if (isFolder(QFile::encodeName(trimmed)))
        return 1;
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0)
        return 0;
    if (!MakeDirectories(trimmed.left(slash)))
        return 0;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0777) == 0)
        return 1;
    // Someone else may have created it in the meantime.
    return errno == EEXIST && isFolder(native) ? 1 : 0;
}

int IsFileExist(const QString &path)
{
    if (path.isEmpty() || hasNul(path))
        return 0;
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? 1 : 0;
}

QString GetFileNameFromPath(const QString &path)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return separator < 0 ? path : path.mid(separator + 1);
}

QString GetFileExt(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.mid(dot + 1);
}

QString RemoveFileExt(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

} // namespace TAVRIKCORE::RICHEDITOR
