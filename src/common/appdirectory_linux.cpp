// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/appdirectory_p.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

QString executableFolder()
{
    QByteArray target(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
    if (length <= 0 || length >= target.size())
        return QStringLiteral("./");
    target.truncate(length);
    const QString path = QFile::decodeName(target);
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString libraryFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void *>(&libraryFolder), &info) == 0 || !info.dli_fname)
        return QString();
    const QString path = QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
    return path.left(path.lastIndexOf(u'/') + 1);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
