// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "common/log4c.h"

#include <QFile>

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr size_t s_chunkSize = 64 * 1024;

struct FdCloser
{
    int fd;
    ~FdCloser() { ::close(fd); }
};

struct DigestContextDeleter
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};

void writeLog(const QString &message)
{
    CLog4C::GetInstance()->WriteLog(message);
}

} // namespace

QString CalcFileMd5(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        writeLog(QStringLiteral("[ERROR]: Open file('%1') to calc file md5 failed!Error code:%2.")
                     .arg(path, QString::number(error)));
        return {};
    }
    FdCloser closer{fd};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) {
        writeLog(QStringLiteral("[ERROR] CalcFileMd5: MD5 digest unavailable for file('%1').")
                     .arg(path));
        return {};
    }

    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[s_chunkSize]);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), s_chunkSize);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            writeLog(QStringLiteral("[ERROR] CalcFileMd5: Read file('%1') failed!Error code:%2.")
                         .arg(path, QString::number(error)));
            return {};
        }
        EVP_DigestUpdate(context.get(), buffer.get(), size_t(got));
    }

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &digestLength) != 1 || digestLength != 16) {
        writeLog(QStringLiteral("[ERROR] CalcFileMd5: MD5 digest unavailable for file('%1').")
                     .arg(path));
        return {};
    }
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), 16).toHex());
}

} // namespace TAVRIKCORE::RICHEDITOR
