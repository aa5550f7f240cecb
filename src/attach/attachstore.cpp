// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachstore_p.h"

#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "common/contentnamedfile_p.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <functional>
#include <map>
#include <set>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::placeContentNamed;
using Internal::Placement;
using Internal::writeLog;

namespace {

const QString &markupFolder()
{
    static const QString folder = QStringLiteral("userdata\\attachment\\");
    return folder;
}

constexpr QStringView Md5Failed = u"[ERROR] ZvWebNoteHandler::MoveAttFile cal md5 code faild ! ";
constexpr QStringView CopyFailed = u"[ERROR] ZvWebNoteHandler::MoveAttFile copy file fald ! ";
constexpr QStringView PictureCopyFailed
    = u"[ERROR] ZvWebNoteHandler::MoveAttFile CopyFile file fald ! ";
constexpr QStringView ThumbFailed
    = u"[ERROR] ZvWebNoteHandler::MoveAttFile create thumb pic faild ! ";
constexpr QStringView RenameFailed = u"[ERROR] ZvWebNoteHandler::MoveAttFile rename file fald ! ";

// A component that is empty is allowed here; the callers decide whether it may be empty.
bool escapesFolder(const QString &component)
{
    return !component.isEmpty() && !IsSafeFileName(component);
}

// The system error of a failure as the log shows it: "No space left on device (errno 28)".
QString systemError(int error)
{
    return qt_error_string(error) + QStringLiteral(" (errno ") + QString::number(error) + u')';
}

// Logs `line` with the system error and the path it concerns; gives 0 for MoveAttFile.
int failure(QStringView line, int error, const QString &path, int *errorOut)
{
    QString text = line.toString();
    if (error != 0)
        text += systemError(error);
    if (!path.isEmpty())
        text += (error != 0 ? QStringLiteral(": ") : QString()) + path;
    writeLog(text);
    if (errorOut)
        *errorOut = error;
    return 0;
}

// The log line of a content-named file that was replaced because its bytes did not match.
QString replacedLine(const QString &target)
{
    return QStringLiteral("[WARN] ZvWebNoteHandler::MoveAttFile replaced damaged file ")
        + GetFileNameFromPath(target);
}

// Renames the finished temporary file `temp` to `target`, removing it when that fails.
bool renameInto(const QString &temp, const QString &target, Placement placement)
{
    if (Internal::placeFlushed(temp, target, placement))
        return true;
    const int error = errno;
    QFile::remove(temp);
    errno = error;
    return false;
}

struct SplitName
{
    QString base;
    qint64 number = 0;
};

// Reads a decimal number the way atoi does: leading blanks and a sign, then digits up to
// the first non-digit; 0 without digits. Clamped to the int range.
int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > qint64(INT_MAX) + 1)
            value = qint64(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    return int(qBound(qint64(INT_MIN), value, qint64(INT_MAX)));
}

// "base(n).ext" gives base and n; any other name the text before its last '.' and 0. A name
// without a '.' is treated as if it ended in one.
SplitName splitName(const QString &name)
{
    const qsizetype open = name.lastIndexOf(u'(');
    const qsizetype close = name.lastIndexOf(u')');
    qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        dot = name.size();
    if (open >= 0 && close >= 0 && close + 1 == dot && close > open)
        return {name.left(open), leadingNumber(QStringView(name).mid(open + 1, close - open - 1))};
    return {name.left(dot), 0};
}

void enterName(std::map<QString, qint64> &table, const SplitName &split)
{
    const auto found = table.find(split.base);
    if (found == table.end())
        table.emplace(split.base, split.number);
    else if (split.number > found->second)
        found->second = split.number;
}

void renumber(DropFileInfo &file, const QString &base, qint64 number)
{
    QString name = base + u'(' + QString::number(number) + u')';
    if (file.displayName.contains(u'.'))
        name += u'.' + GetFileExt(file.displayName);
    file.displayName = name;
    file.keptName = name;
}

// True when a different file already lies in the note's folder under `keptName`.
bool takenOnDisk(const QString &folder, const DropFileInfo &file)
{
    const QString kept = AttachMarkup::keptFileName(file.keptName);
    if (folder.isEmpty() || kept.isEmpty() || escapesFolder(kept))
        return false;
    const QFileInfo existing(folder + u'/' + kept);
    if (!existing.exists())
        return false;
    if (!existing.isFile() || existing.size() != QFileInfo(file.srcPath).size())
        return true;
    return CalcFileMd5(existing.filePath()) != CalcFileMd5(file.srcPath);
}

} // namespace

int AttachStore::MoveAttFile(const QString &noteId, const DropFileInfo &info, MAF_RESULT &result,
                             int *error)
{
    if (error)
        *error = 0;
    const QString kept = AttachMarkup::keptFileName(info.keptName);
    for (const QString &component : {noteId, kept, info.fileExt}) {
        if (escapesFolder(component)) {
            writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile unsafe name skipped: ")
                     + component);
            return 0;
        }
    }

    const QString folder = GetAttachRootDir() + u'/';
    const bool picture = FileClassifier::IsPicFileType(info.displayName) != 0;
    const QString keptPath = kept.isEmpty() ? QString() : GetAttachFilePath(noteId, {}, kept);

    // The store names the bytes it holds: those of the copy as it was written (the source may
    // change meanwhile), or those of a file already kept under the name.
    QString hash;
    QString storeName;
    if (!keptPath.isEmpty() && IsFileExist(keptPath)) {
        hash = CalcFileMd5(keptPath);
        if (hash.isEmpty())
            return failure(Md5Failed, 0, keptPath, error);
        Internal::touchFile(keptPath); // used again, as new for a store clean-up
        storeName = hash + u'.' + info.fileExt;
    } else {
        // Copied and hashed in one pass on this thread; files in the making lie in the root.
        const Internal::HashedCopy copy = Internal::copyHashed(info.srcPath, folder);
        if (copy.path.isEmpty()) {
            return failure(
                copy.sourceFailed ? Md5Failed : CopyFailed, copy.error,
                copy.sourceFailed ? info.srcPath : (keptPath.isEmpty() ? folder : keptPath), error);
        }
        hash = copy.md5;
        storeName = hash + u'.' + info.fileExt;
        const QString target = keptPath.isEmpty() ? folder + storeName : keptPath;
        const int placed = keptPath.isEmpty()
            ? placeContentNamed(
                target, hash,
                [&](Placement placement) {
                    return Internal::placeFlushed(copy.path, target, placement);
                },
                replacedLine(target))
            : (renameInto(copy.path, target, Placement::KeepExisting) ? 0
                   : errno != 0                                       ? errno
                                                                      : EIO);
        QFile::remove(copy.path); // left over when a valid file was already there
        if (placed != 0)
            return failure(CopyFailed, placed, target, error);
    }

    result.relPath = markupFolder() + storeName;
    result.storeName = storeName;

    if (picture) {
        result.showSrc = QStringLiteral("../") + markupFolder() + storeName;
        result.showName = storeName;
        result.showSize = int(quint32(info.fileSize));
        if (keptPath.isEmpty())
            return 1; // the stored file is the picture copy
        const QString picturePath = folder + storeName;
        const int placed = placeContentNamed(
            picturePath, hash,
            [&](Placement placement) {
                return Internal::durableCopy(keptPath, picturePath, placement);
            },
            replacedLine(picturePath));
        if (placed != 0) {
            return failure(PictureCopyFailed, placed, picturePath, error);
        }
        return 1;
    }

    // The card is drawn in memory and named by the MD5 of exactly the bytes that are written.
    const QByteArray card = FileThumbnail::drawCard(
        FileClassifier::GetFileTypeByExt(info.fileExt), info.displayName,
        FileThumbnail::FormatFileInfo(int(quint32(info.fileSize)), info.addTime));
    if (card.isEmpty())
        return failure(ThumbFailed, 0, {}, error);
    const QString thumbName
        = QString::fromLatin1(QCryptographicHash::hash(card, QCryptographicHash::Md5).toHex())
        + QStringLiteral(".bmp");
    result.showSrc = QStringLiteral("../") + markupFolder() + thumbName;
    result.showName = thumbName;
    result.showSize = int(card.size());
    const QString thumbPath = folder + thumbName;
    int writeError = 0;
    const int placed = placeContentNamed(
        thumbPath, thumbName.left(32),
        [&](Placement placement) {
            const QString temp = Internal::temporaryPath(folder);
            writeError = Internal::writeDurably(temp, {card});
            if (writeError != 0) {
                QFile::remove(temp);
                errno = writeError;
                return false;
            }
            return renameInto(temp, thumbPath, placement);
        },
        replacedLine(thumbPath));
    if (placed != 0) {
        return failure(writeError != 0 ? ThumbFailed : RenameFailed, placed, thumbPath, error);
    }
    return 1;
}

void AttachStore::DoAttSameName(std::vector<DropFileInfo> &files,
                                const std::vector<QString> &noteNames, const QString &noteId)
{
    std::map<QString, qint64> table;
    for (const QString &name : noteNames) {
        if (!name.isEmpty())
            enterName(table, splitName(name));
    }
    const QString noteFolder
        = IsSafeFileName(noteId) ? GetAttachRootDir() + u'/' + noteId : QString();
    std::set<QString> batchNames;

    for (DropFileInfo &file : files) {
        const QString base = splitName(file.keptName).base;
        const auto known = table.find(base);
        if (known != table.end())
            renumber(file, base, ++known->second);
        while (batchNames.count(file.keptName) || takenOnDisk(noteFolder, file))
            renumber(file, base, ++table[base]);
        batchNames.insert(file.keptName);
        enterName(table, splitName(file.keptName));
    }
}

int AttachStore::SaveImage(const QImage *image, std::vector<DropFileInfo> &files)
{
    return image ? SaveJpeg(EncodeJpeg(*image), files) : 0;
}

QByteArray AttachStore::EncodeJpeg(const QImage &image)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly)
        || !QImageWriter(&buffer, "JPEG").write(image))
        return {};
    return jpeg;
}

int AttachStore::SaveJpeg(const QByteArray &jpeg, std::vector<DropFileInfo> &files)
{
    if (jpeg.isEmpty())
        return 0;
    const QString name = CreateGuidString() + QStringLiteral(".jpg");
    const QString path = GetTempDirectory() + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size() || !file.flush()) {
        file.remove(); // nothing half-written stays behind
        return 0;
    }
    DropFileInfo info;
    info.srcPath = path;
    info.isDir = false;
    info.keptName = name;
    info.displayName = name;
    info.fileExt = QStringLiteral("jpg");
    info.fileSize = quint64(jpeg.size());
    info.addTime = GetAddTimeString();
    info.isTemp = true;
    files.push_back(info);
    return 1;
}

int AttachStore::RemoveStaleTemporaryFiles()
{
    const QString root = Internal::attachRootPath();
    const QDateTime staleBefore
        = QDateTime::currentDateTimeUtc().addSecs(-qint64(StaleTemporaryFileSeconds));
    static const QRegularExpression temporaryName(QStringLiteral("^[0-9a-f]{32}\\.tmp$"));
    int removed = 0;
    const QFileInfoList files
        = QDir(root).entryInfoList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : files) {
        if (!temporaryName.match(file.fileName()).hasMatch()
            || file.lastModified().toUTC() >= staleBefore
            || CalcFileMd5(file.filePath()) == file.fileName().left(32))
            continue;
        if (QFile::remove(file.filePath())) {
            ++removed;
            writeLog(QStringLiteral("[INFO] AttachStore removed a stale temporary file: ")
                     + file.fileName());
        } else {
            writeLog(QStringLiteral("[ERROR] AttachStore cannot remove a stale temporary file: ")
                     + file.fileName());
        }
    }
    return removed;
}

void AttachStore::DelTempFileFromList(const std::vector<DropFileInfo> &files)
{
    for (const DropFileInfo &file : files) {
        if (file.isTemp)
            QFile::remove(file.srcPath);
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
