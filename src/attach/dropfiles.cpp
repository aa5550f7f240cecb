// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/dropfiles_p.h"

#include "attach/attachstore_p.h"
#include "attach/fileclassifier_p.h"
#include "common/commonutils.h"
#include "common/log4c.h"
#include "skin/cgditoolbox_p.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR {

namespace {

bool appendImage(const QMimeData *data, std::vector<DropFileInfo> &files)
{
    static const char *const encoded[] = {"image/png", "image/jpeg", "image/bmp"};
    for (const char *format : encoded) {
        const QByteArray bytes = data->data(QLatin1String(format));
        QImage image;
        if (!bytes.isEmpty()
            && CGdiToolBox::LoadImageFromMemory(image, bytes.constData(), bytes.size()))
            return AttachStore::SaveImage(&image, files) == 1;
    }
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull())
            return AttachStore::SaveImage(&image, files) == 1;
    }
    return false;
}

} // namespace

bool DropFiles::BuildDropFileInfo(const QString &path, DropFileInfo &info)
{
    const QFileInfo file(path);
    DropFileInfo record;
    record.srcPath = path;
    if (file.isDir()) {
        record.isDir = true;
        record.displayName = GetFolderName(path);
        record.fileExt = QStringLiteral("dir");
        record.fileSize = ~quint64(0);
    } else {
        // A link that leads nowhere (or round in a loop) is still named, to be refused by name.
        if (!file.exists() && !file.isSymLink())
            return false;
        record.keptName = record.displayName = file.fileName();
        record.fileExt = FileClassifier::GetFileStuffx(record.displayName);
        record.fileSize = quint64(qMax<qint64>(file.size(), 0));
    }
    record.addTime = GetAddTimeString();
    info = record;
    return true;
}

void DropFiles::GetFileList(const QMimeData *data, std::vector<DropFileInfo> &files)
{
    if (!data || !data->hasUrls())
        return;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        // A listed file is taken as named; a path that climbs out of its folders is not.
        if (path.split(u'/').contains(u".."_s)) {
            CLog4C::GetInstance()->WriteLog(u"[ERROR] File path with \"..\" skipped: "_s + path);
            continue;
        }
        DropFileInfo info;
        if (BuildDropFileInfo(path, info))
            files.push_back(info);
    }
}

bool DropFiles::CollectDragData(const QMimeData *data, std::vector<DropFileInfo> &files)
{
    if (!data)
        return false;
    const size_t before = files.size();
    GetFileList(data, files);
    if (files.size() == before)
        appendImage(data, files);
    return files.size() != before;
}

void DropFiles::GetFileListFromClipboard(std::vector<DropFileInfo> &files)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return;
    if (data->hasUrls())
        GetFileList(data, files);
    else
        appendImage(data, files);
}

} // namespace TAVRIKCORE::RICHEDITOR
