// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/durablefile_p.h"

#include "common/commonutils.h"

#include <QFile>
#include <QFileInfo>

#include <openssl/evp.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

// Chunk of the one-pass copy: large enough to keep system calls rare, small enough to stay in
// the processor's cache between reading, hashing and writing.
constexpr size_t CopyChunk = size_t(256) * 1024;
// Writing back to disk is started every this many bytes, so the final flush finds little left.
constexpr off_t WritebackStep = off_t(1) * 1024 * 1024;

std::atomic<WriteCall> s_writeCall{nullptr};

bool writeWith(WriteCall call, int fd, const char *data, size_t count)
{
    while (count > 0) {
        const ssize_t written = call(fd, data, count);
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

// Like writeAll, for the files of this helper: through the test seam when one is set.
bool writeFully(int fd, const char *data, size_t count)
{
    const WriteCall call = s_writeCall.load(std::memory_order_relaxed);
    return writeWith(call ? call : ::write, fd, data, count);
}

struct DigestContextDeleter
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};

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
        if (!writeFully(out, buffer.data(), size_t(got)))
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
    return writeWith(::write, fd, data, count);
}

int writeDurably(const QString &path, std::initializer_list<QByteArrayView> pieces)
{
    const int fd
        = ::open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    for (const QByteArrayView piece : pieces) {
        if (!writeFully(fd, piece.data(), size_t(piece.size()))) {
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

int writeWhole(const QString &path, QByteArrayView bytes)
{
    // Overwritten in place and cut only when it was longer: truncating to zero first makes the
    // file system free and re-allocate every block.
    const int fd = ::open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    struct stat status;
    if (!writeFully(fd, bytes.data(), size_t(bytes.size())))
        error = errno;
    else if (::fstat(fd, &status) != 0
             || (status.st_size > bytes.size() && ::ftruncate(fd, bytes.size()) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

QString temporaryPath(const QString &folder)
{
    return folder + CreateGuidString() + QStringLiteral(".tmp");
}

void syncFolder(const QString &folder)
{
    syncNativeFolder(nativePath(folder));
}

bool syncFile(const QString &path)
{
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

HashedCopy copyHashed(const QString &source, const QString &folder)
{
    HashedCopy copy;
    const int in = ::open(nativePath(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        copy.error = errno;
        copy.sourceFailed = true;
        return copy;
    }
    ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    const QString temp = temporaryPath(folder);
    const QByteArray tempNative = nativePath(temp);
    const int out = ::open(tempNative.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        copy.error = errno;
        ::close(in);
        return copy;
    }

    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1)
        copy.error = ENOSYS;
    const std::unique_ptr<char[]> buffer(new char[CopyChunk]);
    off_t written = 0;
    off_t flushedTo = 0;
    while (copy.error == 0) {
        const ssize_t got = ::read(in, buffer.get(), CopyChunk);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            copy.error = errno;
            copy.sourceFailed = true;
            break;
        }
        EVP_DigestUpdate(context.get(), buffer.get(), size_t(got));
        if (!writeFully(out, buffer.get(), size_t(got))) {
            copy.error = errno;
            break;
        }
        written += got;
        if (written - flushedTo >= WritebackStep) {
            ::sync_file_range(out, flushedTo, written - flushedTo, SYNC_FILE_RANGE_WRITE);
            flushedTo = written;
        }
    }
    if (copy.error == 0 && ::fsync(out) != 0)
        copy.error = errno;
    if (::close(out) != 0 && copy.error == 0)
        copy.error = errno;
    ::close(in);

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (copy.error == 0
        && (EVP_DigestFinal_ex(context.get(), digest, &digestLength) != 1 || digestLength != 16))
        copy.error = ENOSYS;
    if (copy.error != 0) {
        ::unlink(tempNative.constData());
        errno = copy.error;
        return copy;
    }
    copy.path = temp;
    copy.md5 = QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char *>(digest), 16).toHex());
    return copy;
}

bool durableCopy(const QString &source, const QString &target, Placement placement)
{
    const QByteArray to = nativePath(target);
    const QByteArray folder = folderOf(to);
    const QByteArray temp = nativePath(temporaryPath(QFile::decodeName(folder) + u'/'));

    const int in = ::open(nativePath(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        errno = error;
        return false;
    }
    int error = copyContent(in, out) ? 0 : errno;
    if (::fsync(out) != 0 && error == 0)
        error = errno;
    if (::close(out) != 0 && error == 0)
        error = errno;
    ::close(in);
    if (error == 0 && !placeFile(temp, to, placement))
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        errno = error;
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
    const int synced = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (synced != 0) {
        errno = synced;
        return false;
    }
    if (!placeFile(from, to, placement))
        return false;
    syncNativeFolder(folderOf(to));
    return true;
}

bool placeFlushed(const QString &source, const QString &target, Placement placement)
{
    const QByteArray to = nativePath(target);
    if (!placeFile(nativePath(source), to, placement))
        return false;
    syncNativeFolder(folderOf(to));
    return true;
}

int replaceDurably(const QString &target, std::initializer_list<QByteArrayView> pieces)
{
    const QFileInfo info(target);
    if (info.isDir())
        return EISDIR;
    const QString temporary = temporaryPath(info.absolutePath() + u'/');
    int error = writeDurably(temporary, pieces);
    if (error == 0 && !placeFlushed(temporary, target, Placement::Replace))
        error = errno;
    if (error != 0)
        ::unlink(nativePath(temporary).constData());
    return error;
}

int placeNewDurably(const std::vector<NewFile> &files)
{
    std::vector<QByteArray> temporaries;
    std::set<QByteArray> folders;
    int error = 0;
    for (const NewFile &file : files) {
        const QByteArray folder = folderOf(nativePath(file.path));
        folders.insert(folder);
        temporaries.push_back(nativePath(temporaryPath(QFile::decodeName(folder) + u'/')));
        const int fd
            = ::open(temporaries.back().constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = errno;
            temporaries.pop_back();
            break;
        }
        if (writeFully(fd, file.bytes.constData(), size_t(file.bytes.size())))
            ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        else
            error = errno;
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0)
            break;
    }
    for (size_t i = 0; error == 0 && i < temporaries.size(); ++i) {
        if (!syncFile(QFile::decodeName(temporaries[i])))
            error = errno;
    }
    size_t placed = 0;
    while (error == 0 && placed < temporaries.size()) {
        if (placeFile(temporaries[placed], nativePath(files[placed].path), Placement::KeepExisting))
            ++placed;
        else
            error = errno;
    }
    if (error != 0) {
        for (size_t i = 0; i < temporaries.size(); ++i)
            ::unlink(i < placed ? nativePath(files[i].path).constData()
                                : temporaries[i].constData());
    }
    for (const QByteArray &folder : folders)
        syncNativeFolder(folder);
    return error;
}

void setWriteCallForTesting(WriteCall call)
{
    s_writeCall.store(call, std::memory_order_relaxed);
}

bool touchFile(const QString &path)
{
    return ::utimensat(AT_FDCWD, nativePath(path).constData(), nullptr, 0) == 0;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
