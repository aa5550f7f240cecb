// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/pastedpictures_p.h"

#include "common/writelog_p.h"
#include "notehtml/htmldocument_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <set>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr int LoggedSourceChars = 80;

const QRegularExpression &dataPicture()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*data:image/(png|jpeg|jpg|gif|bmp|webp);base64,(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

bool isFileUrl(const QString &src)
{
    return src.trimmed().startsWith(QLatin1StringView("file:"), Qt::CaseInsensitive);
}

std::optional<QString> unreadable(const QString &src)
{
    Internal::writeLog(QStringLiteral("[ERROR] A pasted picture cannot be read: ")
                       + src.left(LoggedSourceChars));
    return std::nullopt;
}

} // namespace

std::vector<QString> PastedPictures::localSources(const QString &html)
{
    std::vector<QString> sources;
    if (!html.contains(QLatin1StringView("data:"), Qt::CaseInsensitive)
        && !html.contains(QLatin1StringView("file:"), Qt::CaseInsensitive))
        return sources;
    std::set<QString> seen;
    HtmlDocument::scan(html, "img", [&](const HtmlDocument::ScannedElement &image) {
        const std::optional<QString> src = image.attribute("src");
        if (!src || image.attribute("zv_exdata"))
            return;
        if ((dataPicture().match(*src).hasMatch() || isFileUrl(*src)) && seen.insert(*src).second)
            sources.push_back(*src);
    });
    return sources;
}

std::optional<QString> PastedPictures::fileOf(const QString &src, const QString &folder)
{
    if (isFileUrl(src)) {
        const QFileInfo file(QUrl(src.trimmed()).toLocalFile());
        if (!file.isFile() || !file.isReadable())
            return unreadable(src);
        return file.absoluteFilePath();
    }
    const QRegularExpressionMatch data = dataPicture().match(src);
    if (!data.hasMatch())
        return unreadable(src);
    QByteArray base64 = data.captured(2).toLatin1();
    base64.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
    const QByteArray::FromBase64Result bytes
        = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!bytes || bytes.decoded.isEmpty())
        return unreadable(src);
    QString extension = data.captured(1).toLower();
    if (extension == QLatin1StringView("jpeg"))
        extension = QStringLiteral("jpg");
    const QString path = folder + QStringLiteral("/picture.") + extension;
    QFile out(path);
    if (!QDir().mkpath(folder) || !out.open(QIODevice::WriteOnly)
        || out.write(bytes.decoded) != bytes.decoded.size())
        return unreadable(src);
    return path;
}

} // namespace TAVRIKCORE::RICHEDITOR
