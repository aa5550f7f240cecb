// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/attachcopy_p.h"

#include "attach/fileclassifier_p.h"
#include "clipboard/clipboardmime_p.h"
#include "common/commonutils.h"
#include "notehtml/attachmarkup_p.h"

#include <QFileInfo>
#include <QMimeData>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

bool hasPicture(const QMimeData *data)
{
    static const char *const encoded[] = {"image/png", "image/jpeg", "image/bmp"};
    for (const char *format : encoded) {
        if (data->hasFormat(QLatin1String(format)))
            return true;
    }
    return data->hasImage();
}

} // namespace

AttachCopy::PasteRoute AttachCopy::choosePasteRoute(const QMimeData *data)
{
    if (!data)
        return PasteRoute::None;
    if (data->hasUrls() || hasPicture(data))
        return PasteRoute::Files;
    if (data->hasFormat(ClipboardMime::HtmlFormat) || data->hasHtml())
        return PasteRoute::Html;
    return PasteRoute::None;
}

std::optional<AttachCopy::PastedFiles>
AttachCopy::collectPastedFiles(const std::vector<NewAttachFile> &records, const QString &addTime)
{
    PastedFiles pasted;
    for (const NewAttachFile &record : records) {
        if (record.isImageSrc == 1)
            continue;
        const QFileInfo file(record.filePath);
        // A size that is not positive in 32 bits counts as unreadable; the total keeps the
        // real sizes, so a file of 4 GiB and one byte cannot pass the limit as one byte.
        if (record.filePath.isEmpty() || !file.isFile() || qint32(file.size()) <= 0)
            return std::nullopt;
        DropFileInfo info;
        info.srcPath = record.filePath;
        info.keptName = info.displayName = record.origName;
        info.fileExt = FileClassifier::GetFileStuffx(record.origName);
        info.fileSize = quint64(file.size());
        info.addTime = addTime;
        pasted.total += info.fileSize;
        pasted.files.push_back(std::move(info));
        pasted.records.push_back(record);
    }
    return pasted;
}

void AttachCopy::nameClashingFiles(std::vector<DropFileInfo> &files, const QString &noteId,
                                   const std::function<void(std::vector<DropFileInfo> &)> &sameName)
{
    const QString folder = GetAttachRootDir() + u'/' + noteId + u'/';
    const auto ownCopy = [&](const DropFileInfo &file) {
        return IsSafeFileName(noteId)
            && file.srcPath == folder + AttachMarkup::keptFileName(file.keptName);
    };
    std::vector<DropFileInfo> others;
    for (const DropFileInfo &file : files) {
        if (!ownCopy(file))
            others.push_back(file);
    }
    sameName(others);
    auto named = others.begin();
    for (DropFileInfo &file : files) {
        if (!ownCopy(file))
            file = *named++;
    }
}

std::optional<std::vector<QString>>
AttachCopy::copiedFilePaths(const std::vector<NewAttachFile> &records)
{
    std::vector<QString> paths;
    for (const NewAttachFile &record : records) {
        if (record.isImageSrc != 0)
            continue;
        if (!IsFileExist(record.filePath))
            return std::nullopt;
        paths.push_back(record.filePath);
    }
    return paths;
}

} // namespace TAVRIKCORE::RICHEDITOR
