// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/pathutils_p.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

bool isNativeFolder(const QByteArray &path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool isFolder(const QString &path)
{
    return isNativeFolder(QFile::encodeName(path));
}

bool pathExists(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

bool makeFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0777) == 0)
        return true;
    return errno == EEXIST && isNativeFolder(native);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
