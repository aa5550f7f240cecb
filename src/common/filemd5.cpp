// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/filemd5.h"

#include "common/filemd5_p.h"
#include "common/writelog_p.h"

#include <openssl/evp.h>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct DigestContextDeleter
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};

void logDigestUnavailable(const QString &path)
{
    Internal::writeLog(
        QStringLiteral("[ERROR] CalcFileMd5: MD5 digest unavailable for file('%1').").arg(path));
}

} // namespace

QString CalcFileMd5(const QString &path)
{
    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    const bool ready = context && EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) == 1;
    Internal::FileReadFailure failure;
    const bool read = Internal::readFileInPieces(
        path,
        [&](const unsigned char *bytes, size_t count) {
            if (ready)
                EVP_DigestUpdate(context.get(), bytes, count);
        },
        failure);
    if (!read && failure.atOpen) {
        Internal::writeLog(
            QStringLiteral("[ERROR]: Open file('%1') to calc file md5 failed!Error code:%2.")
                .arg(path, QString::number(failure.error)));
        return {};
    }
    if (!ready) {
        logDigestUnavailable(path);
        return {};
    }
    if (!read) {
        Internal::writeLog(
            QStringLiteral("[ERROR] CalcFileMd5: Read file('%1') failed!Error code:%2.")
                .arg(path, QString::number(failure.error)));
        return {};
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &digestLength) != 1 || digestLength != 16) {
        logDigestUnavailable(path);
        return {};
    }
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), 16).toHex());
}

} // namespace TAVRIKCORE::RICHEDITOR
