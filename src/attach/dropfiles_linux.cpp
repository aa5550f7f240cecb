// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/dropfiles_p.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// A read-only descriptor of `path`, opened without waiting for a writer or a device, and
// what it is; -1 when it cannot be opened.
int openWithoutBlocking(const QString &path, DropFiles::Probe &probe, struct stat &status)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    probe = DropFiles::Probe::Unreadable;
    if (fd < 0)
        return -1;
    if (::fstat(fd, &status) == 0)
        probe = S_ISREG(status.st_mode) ? DropFiles::Probe::Regular : DropFiles::Probe::NotRegular;
    return fd;
}

} // namespace

DropFiles::Probe DropFiles::ProbeFile(const QString &path, quint64 *size)
{
    Probe probe;
    struct stat status
    {
    };
    const int fd = openWithoutBlocking(path, probe, status);
    if (fd >= 0)
        ::close(fd);
    if (size && probe == Probe::Regular)
        *size = quint64(status.st_size);
    return probe;
}

DropFiles::OpenCheck DropFiles::CheckExclusiveOpen(const QString &path)
{
    Probe probe;
    struct stat status
    {
    };
    const int fd = openWithoutBlocking(path, probe, status);
    if (fd < 0)
        return OpenInvalid;
    OpenCheck check = OpenOk;
    if (probe != Probe::Regular) {
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
