// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/cgditoolbox_p.h"

#include <QByteArrayView>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

int floorHalf(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

} // namespace

int CGdiToolBox::LoadImageFromMemory(QImage &image, const char *bytes, qint64 size)
{
    if (!bytes || size <= 0)
        return 0;
    QImage decoded;
    if (!decoded.loadFromData(QByteArrayView(bytes, qsizetype(size))))
        return 0;
    image = decoded;
    return 1;
}

void CGdiToolBox::PreMultiplyAlpha(QImage &bitmap)
{
    if (bitmap.isNull() || bitmap.depth() != 32
        || bitmap.format() == QImage::Format_ARGB32_Premultiplied)
        return;
    if (!bitmap.hasAlphaChannel()) {
        bitmap.convertTo(QImage::Format_ARGB32_Premultiplied);
        return;
    }
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto *pixel = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x, ++pixel) {
            const uint alpha = qAlpha(*pixel);
            const auto scale = [alpha](uint channel) {
                return int((channel * alpha + 127) / 255);
            };
            *pixel = qRgba(scale(qRed(*pixel)), scale(qGreen(*pixel)), scale(qBlue(*pixel)),
                           int(alpha));
        }
    }
    bitmap.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
}

QRect CGdiToolBox::RectCenter(const QRect &outer, int width, int height)
{
    return QRect(outer.left() + floorHalf(outer.width() - width),
                 outer.top() + floorHalf(outer.height() - height), width, height);
}

} // namespace TAVRIKCORE::RICHEDITOR
