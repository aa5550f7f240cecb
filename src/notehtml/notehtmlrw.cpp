// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/notehtmlrw.h"

#include "common/commonutils.h"
#include "common/contentnamedfile_p.h"
#include "common/jsontext_p.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "notehtml/htmlfileupgrademgr_p.h"
#include "notehtml/notehtmlrw_p.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

const QByteArray kHeaderOpen = QByteArrayLiteral("<!--");
const QByteArray kHeaderClose = QByteArrayLiteral("-->");

// The failure cause codes the product's log has always used for file errors.
int causeOf(int error)
{
    switch (error) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EISDIR:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case EIO:
        return 10;
    case ENOSPC:
    case EDQUOT:
        return 13;
    default:
        return 1;
    }
}

void logFileError(int error, const QString &path)
{
    CLog4C::GetInstance()->WriteLog(QStringLiteral("cause:%1, error:%2 and file name is %3")
                                        .arg(causeOf(error))
                                        .arg(error)
                                        .arg(path));
}

// Says when a note file was not plain UTF-8, and how it was read.
void logReading(const NarrowText &decoded, const QString &path)
{
    if (decoded.reading == NarrowReading::Utf8)
        return;
    const QString how = decoded.reading == NarrowReading::Legacy
        ? QStringLiteral("as %1 (legacy code page)").arg(QString::fromLatin1(LegacyCodePage()))
        : QStringLiteral("as UTF-8, %1 invalid byte(s) replaced").arg(decoded.invalidBytes);
    CLog4C::GetInstance()->WriteLog(
        QStringLiteral("NoteHtmlRW::ReadHtmlTextFromFile, not valid UTF-8, read ") + how
        + QStringLiteral(": ") + path);
}

QString md5Hex(const QByteArray &first, const QByteArray &second)
{
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(first);
    hash.addData(second);
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

QByteArray NoteHtmlRW::header(int version)
{
    return kHeaderOpen + "{\"ver_number\":" + QByteArray::number(version) + '}' + kHeaderClose;
}

int NoteHtmlRW::ReadHtmlTextFromFile(const QString &path, QString &content, int &version,
                                     qint64 maxBytes)
{
    std::optional<QByteArray> bytes = Internal::readNoteFileBytes(path, maxBytes);
    if (!bytes)
        return 0;
    Internal::decodeNoteFileBytes(std::move(*bytes), path, content, version);
    return 1;
}

std::optional<QByteArray> Internal::readNoteFileBytes(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (maxBytes >= 0 && bytes.size() == maxBytes && !file.atEnd()) {
        // Cut before a character whose bytes do not all fit.
        qsizetype end = bytes.size();
        while (end > 0 && (uchar(bytes[end - 1]) & 0xC0) == 0x80)
            --end;
        if (end > 0 && uchar(bytes[end - 1]) >= 0xC0)
            --end;
        else if (end < bytes.size())
            end = bytes.size(); // continuation bytes without a lead: not UTF-8, keep them
        bytes.truncate(end);
    }
    return bytes;
}

void Internal::decodeNoteFileBytes(QByteArray bytes, const QString &path, QString &content,
                                   int &version)
{
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);

    int readVersion = 0;
    qsizetype start = 0;
    if (bytes.startsWith(kHeaderOpen)) {
        const qsizetype close = bytes.indexOf(kHeaderClose);
        if (close > kHeaderOpen.size()) {
            Json::Value root;
            const QByteArray body = bytes.mid(kHeaderOpen.size(), close - kHeaderOpen.size());
            if (Internal::parseJsonText(body, root) && root.isObject()) {
                const Json::Value &number = root["ver_number"];
                if (number.isConvertibleTo(Json::intValue))
                    readVersion = number.asInt();
            }
            start = close + kHeaderClose.size();
        }
    }
    // The header is ASCII, so cutting the bytes before decoding cuts the text at the same place.
    NarrowText decoded = DecodeNarrow(start == 0 ? bytes : bytes.mid(start));
    logReading(decoded, path);
    content = std::move(decoded.text);
    version = readVersion;
}

QByteArray Internal::noteFileBytes(const QString &content, int version)
{
    return NoteHtmlRW::header(version) + ToNarrow(content);
}

int NoteHtmlRW::WriteHtmlTextFile(const QString &path, const QString &content, int version)
{
    // Written beside the target and renamed over it: a failure leaves the previous file whole.
    if (const int error = Internal::replaceDurably(path, {header(version), ToNarrow(content)})) {
        logFileError(error, path);
        return 0;
    }
    return 1;
}

int NoteHtmlRW::SaveHtmlTextToFile(QString &content, NewAttachFile &record, int *version)
{
    const QString folder = GetAttachRootDir() + u'/';
    MakeDirectories(folder);

    int writtenVersion = NOTE_HTML_VER_2;
    if (version) {
        writtenVersion = *version;
        if (*version < NOTE_HTML_VER_2) {
            HtmlFileUpgradeMgr upgrades;
            if (upgrades.UpgradeHtml(content, *version, NOTE_HTML_VER_2, content)) {
                writtenVersion = NOTE_HTML_VER_2;
                *version = NOTE_HTML_VER_2;
            }
        }
    }

    const QByteArray head = header(writtenVersion);
    const QByteArray bytes = ToNarrow(content);
    const QString temporary = Internal::temporaryPath(folder);
    const int error = Internal::writeDurably(temporary, {head, bytes});
    if (error != 0) {
        logFileError(error, temporary);
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] NoteHtmlRW::SaveHtmlTextToFile faild!"));
        QFile::remove(temporary);
        return 0;
    }

    const QString hash = md5Hex(head, bytes);
    const QString storeName = hash + QStringLiteral(".html");
    const QString finalPath = folder + storeName;
    const int placeError = Internal::placeContentNamed(
        finalPath, hash,
        [&](Internal::Placement placement) {
            return Internal::placeFlushed(temporary, finalPath, placement);
        },
        QStringLiteral("[ERROR] NoteHtmlRW::SaveHtmlTextToFile replaces a damaged note file: ")
            + finalPath);
    QFile::remove(temporary); // left over when a valid copy was already there or placing failed
    if (placeError != 0) {
        logFileError(placeError, finalPath);
        return 0;
    }

    record.storeName = storeName;
    record.filePath = finalPath;
    record.fileExt = GetFileExt(storeName);
    record.fileKind = 0;
    record.modifyTime = GetCurTimeString();
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR
