// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/pathutils.h"

#include "common/pathutils_p.h"

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// A NUL would silently cut the path short on its way to the system.
bool hasNul(const QString &path)
{
    return path.contains(QChar(u'\0'));
}

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
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
    if (Internal::isFolder(trimmed))
        return 1;
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0)
        return 0;
    if (!MakeDirectories(trimmed.left(slash)))
        return 0;
    return Internal::makeFolder(path) ? 1 : 0;
}

int IsFileExist(const QString &path)
{
    if (path.isEmpty() || hasNul(path))
        return 0;
    return Internal::pathExists(path) ? 1 : 0;
}

QString GetFileNameFromPath(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString GetFolderName(const QString &path)
{
    QString folder = path;
    while (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        folder.chop(1);
    const qsizetype separator = lastSeparator(folder);
    return separator < 0 ? QString() : folder.mid(separator + 1);
}

bool IsSafeFileName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    return std::none_of(name.cbegin(), name.cend(),
                        [](QChar c) { return c == u'/' || c == u'\\' || c == QChar(0); });
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
