// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/dropfiles_p.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR {

DropFiles::OpenCheck DropFiles::CheckExclusiveOpen(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return OpenInvalid;
    OpenCheck check = OpenOk;
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        check = OpenInvalid;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        check = OpenInUse;
    } else {
        ::flock(fd, LOCK_UN);
        // An open-description query sees record locks of every owner, this process included.
        struct flock lock
        {
        };
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK)
            check = OpenInUse;
    }
    ::close(fd);
    return check;
}

} // namespace TAVRIKCORE::RICHEDITOR
