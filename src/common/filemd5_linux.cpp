// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/filemd5_p.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

constexpr size_t s_chunkSize = 64 * 1024;

struct FdCloser
{
    int fd;
    ~FdCloser() { ::close(fd); }
};

} // namespace

bool readFileInPieces(const QString &path,
                      const std::function<void(const unsigned char *, size_t)> &consume,
                      FileReadFailure &failure)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failure = {true, errno};
        return false;
    }
    FdCloser closer{fd};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[s_chunkSize]);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), s_chunkSize);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            failure = {false, errno};
            return false;
        }
        consume(buffer.get(), size_t(got));
    }
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
