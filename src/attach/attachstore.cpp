// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachstore_p.h"

#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "common/commonutils.h"
#include "common/contentnamedfile_p.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <climits>
#include <functional>
#include <future>
#include <map>
#include <set>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::Placement;
using Internal::writeLog;

namespace {

const QString &markupFolder()
{
    static const QString folder = QStringLiteral("userdata\\attachment\\");
    return folder;
}

// A component that is empty is allowed here; the callers decide whether it may be empty.
bool escapesFolder(const QString &component)
{
    return !component.isEmpty() && !IsSafeFileName(component);
}

// The log line of a content-named file that was replaced because its bytes did not match.
QString replacedLine(const QString &target)
{
    return QStringLiteral("[WARN] ZvWebNoteHandler::MoveAttFile replaced damaged file ")
        + GetFileNameFromPath(target);
}

// Places a copy of `source` at its content-named `target`.
bool placeHashNamed(const QString &source, const QString &target, const QString &hash)
{
    return Internal::placeContentNamed(
        target, hash,
        [&](Placement placement) { return Internal::durableCopy(source, target, placement); },
        replacedLine(target));
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
    if (folder.isEmpty() || file.keptName.isEmpty() || escapesFolder(file.keptName))
        return false;
    const QFileInfo existing(folder + u'/' + file.keptName);
    if (!existing.exists())
        return false;
    if (!existing.isFile() || existing.size() != QFileInfo(file.srcPath).size())
        return true;
    return CalcFileMd5(existing.filePath()) != CalcFileMd5(file.srcPath);
}

} // namespace

int AttachStore::MoveAttFile(const QString &noteId, const DropFileInfo &info, MAF_RESULT &result)
{
    for (const QString &component : {noteId, info.keptName, info.fileExt}) {
        if (escapesFolder(component)) {
            writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile unsafe name skipped: ")
                     + component);
            return 0;
        }
    }

    const QString folder = GetAttachRootDir() + u'/';
    const bool picture = FileClassifier::IsPicFileType(info.displayName) != 0;

    // The copy under the kept name does not depend on the hash: it is written and flushed
    // while the hash is computed.
    const QString keptPath
        = info.keptName.isEmpty() ? QString() : GetAttachFilePath(noteId, {}, info.keptName);
    std::future<bool> keptCopy;
    if (!keptPath.isEmpty() && !IsFileExist(keptPath)) {
        keptCopy = std::async(std::launch::async, [source = info.srcPath, keptPath] {
            return Internal::durableCopy(source, keptPath, Placement::KeepExisting);
        });
    }
    const QString hash = CalcFileMd5(info.srcPath);
    const bool copied = keptCopy.valid() && keptCopy.get();
    if (hash.isEmpty()) {
        writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile cal md5 code faild ! "));
        return 0;
    }
    const QString storeName = hash + u'.' + info.fileExt;

    const bool kept = keptPath.isEmpty()
        ? placeHashNamed(info.srcPath, GetAttachFilePath(noteId, storeName, {}), hash)
        : copied || IsFileExist(keptPath);
    if (!kept) {
        writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile copy file fald ! "));
        return 0;
    }

    result.relPath = markupFolder() + storeName;
    result.storeName = storeName;

    if (picture) {
        result.showSrc = QStringLiteral("../") + markupFolder() + storeName;
        result.showName = storeName;
        result.showSize = int(quint32(info.fileSize));
        if (!placeHashNamed(info.srcPath, folder + storeName, hash)) {
            writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile CopyFile file fald ! "));
            return 0;
        }
        return 1;
    }

    const QString temp = folder + CreateGuidString() + QStringLiteral(".tmp");
    int thumbSize = -1;
    const int drawn = FileThumbnail::GenerateFileThumb(
        FileClassifier::GetFileTypeByExt(info.fileExt), info.displayName,
        FileThumbnail::FormatFileInfo(int(quint32(info.fileSize)), info.addTime), temp, &thumbSize);
    if (!drawn) {
        writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile create thumb pic faild ! "));
        return 0;
    }
    const QString thumbHash = CalcFileMd5(temp);
    if (thumbHash.isEmpty()) {
        writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile cal md5 code faild ! "));
        QFile::remove(temp);
        return 0;
    }
    const QString thumbName = thumbHash + QStringLiteral(".bmp");
    result.showSrc = QStringLiteral("../") + markupFolder() + thumbName;
    result.showName = thumbName;
    result.showSize = thumbSize;
    const QString thumbPath = folder + thumbName;
    const bool placed = Internal::placeContentNamed(
        thumbPath, thumbHash,
        [&](Placement placement) { return Internal::durableRename(temp, thumbPath, placement); },
        replacedLine(thumbPath));
    QFile::remove(temp); // left over when a valid copy was already there or placing failed
    if (!placed) {
        writeLog(QStringLiteral("[ERROR] ZvWebNoteHandler::MoveAttFile rename file fald ! "));
        return 0;
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
    if (!image || image->isNull())
        return 0;
    const QString name = CreateGuidString() + QStringLiteral(".jpg");
    const QString path = GetTempDirectory() + name;
    if (!image->save(path))
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    DropFileInfo info;
    info.srcPath = path;
    info.isDir = false;
    info.keptName = name;
    info.displayName = name;
    info.fileExt = QStringLiteral("jpg");
    info.fileSize = quint64(file.size());
    info.addTime = GetAddTimeString();
    info.isTemp = true;
    files.push_back(info);
    return 1;
}

void AttachStore::DelTempFileFromList(const std::vector<DropFileInfo> &files)
{
    for (const DropFileInfo &file : files) {
        if (file.isTemp)
            QFile::remove(file.srcPath);
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
