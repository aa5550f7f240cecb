// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/durablefile_p.h"

#include "common/commonutils.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

void syncNativeFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool copyContent(int in, int out)
{
    // The kernel copies without a trip through user space where it can.
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break;
    }
    std::vector<char> buffer(size_t(1) << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer.data(), size_t(got)))
            return false;
    }
}

bool placeFile(const QByteArray &from, const QByteArray &to, Placement placement)
{
    if (placement == Placement::Replace)
        return ::rename(from.constData(), to.constData()) == 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the no-replace rename: a hard link fails on an existing target too.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

} // namespace

bool writeAll(int fd, const char *data, size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(fd, data, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        count -= size_t(written);
    }
    return true;
}

int writeDurably(const QString &path, std::initializer_list<QByteArrayView> pieces)
{
    const int fd
        = ::open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    for (const QByteArrayView piece : pieces) {
        if (!writeAll(fd, piece.data(), size_t(piece.size()))) {
            error = errno;
            break;
        }
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

void syncFolder(const QString &folder)
{
    syncNativeFolder(nativePath(folder));
}

bool durableCopy(const QString &source, const QString &target, Placement placement)
{
    const QByteArray to = nativePath(target);
    const QByteArray folder = folderOf(to);
    const QByteArray temp = folder + '/' + QFile::encodeName(CreateGuidString()) + ".tmp";

    const int in = ::open(nativePath(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = copyContent(in, out);
    ok = (::fsync(out) == 0) && ok;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    if (ok)
        ok = placeFile(temp, to, placement);
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    syncNativeFolder(folder);
    return true;
}

bool durableRename(const QString &source, const QString &target, Placement placement)
{
    const QByteArray from = nativePath(source);
    const QByteArray to = nativePath(target);
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || !placeFile(from, to, placement))
        return false;
    syncNativeFolder(folderOf(to));
    return true;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
