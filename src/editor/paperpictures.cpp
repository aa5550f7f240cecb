// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/paperpictures_p.h"

#include <QPainter>
#include <QTextImageFormat>

namespace TAVRIKCORE::RICHEDITOR {

QSizeF PaperPictures::intrinsicSize(QTextDocument *, int, const QTextFormat &format)
{
    const QTextImageFormat image = format.toImageFormat();
    const QSizeF own = picture(image.name()).size();
    if (own.isEmpty())
        return {};
    QSizeF size = own;
    const qreal width = image.width();
    const qreal height = image.height();
    if (width > 0 && height > 0)
        size = {width, height};
    else if (width > 0)
        size = {width, own.height() * width / own.width()};
    else if (height > 0)
        size = {own.width() * height / own.height(), height};
    if (size.width() > m_textWidth)
        size = {m_textWidth, size.height() * m_textWidth / size.width()};
    return size;
}

void PaperPictures::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                               const QTextFormat &format)
{
    const QImage &image = picture(format.toImageFormat().name());
    if (!image.isNull())
        painter->drawImage(rect, image);
}

const QImage &PaperPictures::picture(const QString &path)
{
    auto found = m_pictures.find(path);
    if (found == m_pictures.end())
        found = m_pictures.insert(path, QImage(path));
    return *found;
}

} // namespace TAVRIKCORE::RICHEDITOR
