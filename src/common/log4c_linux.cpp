// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/log4c_p.h"

#include "common/durablefile_p.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

int openLogFile(const QByteArray &path, qint64 maxSize)
{
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    struct stat info;
    if (::stat(path.constData(), &info) != 0) {
        flags |= O_TRUNC;
    } else if (info.st_size <= maxSize) {
        flags |= O_APPEND;
    } else {
        // No rotation: the file starts afresh. If it cannot be deleted the lines wait.
        if (::unlink(path.constData()) != 0)
            return -1;
        flags |= O_TRUNC;
    }
    return ::open(path.constData(), flags, 0666);
}

void writeLogFile(int fd, const std::string &bytes)
{
    writeAll(fd, bytes.data(), bytes.size());
    ::close(fd);
}

unsigned currentThreadId()
{
    return unsigned(::gettid());
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
