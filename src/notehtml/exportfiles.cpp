// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/exportfiles_p.h"

#include "common/writelog_p.h"
#include "notehtml/htmldocument_p.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <set>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

// The MIME type of a picture's bytes, empty when they are not a picture Qt can read.
QByteArray pictureType(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader(&buffer).format();
    if (format.isEmpty())
        return {};
    if (format == "jpg" || format == "jpeg")
        return QByteArrayLiteral("image/jpeg");
    if (format == "svg" || format == "svgz")
        return QByteArrayLiteral("image/svg+xml");
    if (format == "ico" || format == "cur")
        return QByteArrayLiteral("image/x-icon");
    return "image/" + format;
}

} // namespace

std::vector<ExportFiles::Picture> ExportFiles::localPictures(const QString &html,
                                                             const QString &caller)
{
    std::vector<Picture> pictures;
    HtmlDocument doc;
    if (!doc.parse(html))
        return pictures;
    std::set<QString> seen;
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        const std::optional<QString> src = HtmlDocument::attribute(image, "src");
        if (!src || !QDir::isAbsolutePath(*src) || !seen.insert(*src).second)
            continue;
        Picture &picture = pictures.emplace_back(Picture{*src, {}, {}});
        QFile file(*src);
        if (!file.open(QIODevice::ReadOnly)) {
            writeLog(QStringLiteral("[ERROR] ") + caller
                     + QStringLiteral(": picture not found, not embedded: ") + *src
                     + QStringLiteral(" (") + file.errorString() + u')');
            continue;
        }
        picture.bytes = file.readAll();
        picture.mimeType = pictureType(picture.bytes);
        if (picture.mimeType.isEmpty())
            writeLog(QStringLiteral("[ERROR] ") + caller
                     + QStringLiteral(": not a picture, not embedded: ") + *src);
    }
    return pictures;
}

QSize ExportFiles::pictureSize(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    return size.isValid() ? size : QImage::fromData(bytes).size();
}

void ExportFiles::logWriteFailure(const QString &caller, const QString &target, int error)
{
    writeLog(QStringLiteral("[ERROR:] ") + caller
             + QStringLiteral("发生错误，错误信息: cannot write ") + target + QStringLiteral(": ")
             + QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace TAVRIKCORE::RICHEDITOR
