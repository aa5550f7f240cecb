// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/filethumbnail_p.h"

#include "attach/imagemanager_p.h"
#include "common/commonutils.h"
#include "common/durablefile_p.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr int CardHeight = 48;
constexpr int MaxCardWidth = 800;
constexpr int TextLeft = 50;
constexpr int TextRightMargin = 8;
constexpr int Padding = TextLeft + TextRightMargin;
constexpr int IconLeft = 6;
constexpr int IconTop = 8;
constexpr int IconSide = 32;
constexpr int HeaderSize = 54;
constexpr QRgb Background = 0xFFFFFFFF;
constexpr QRgb FrameColour = 0xFFC8C8C8;
constexpr QRgb TextColour = 0xFF444444;

// Font and metrics are built once; every card uses the same 12-pixel cell.
struct CardFont
{
    QFont font;
    QFontMetrics metrics;
};

QFont makeFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // The largest pixel size whose line height (ascent + descent) is 12 pixels or less.
    int pixels = 12;
    font.setPixelSize(pixels);
    while (pixels > 6 && QFontMetrics(font).height() > 12)
        font.setPixelSize(--pixels);
    return font;
}

const CardFont &cardFont()
{
    static const CardFont cached = [] {
        const QFont font = makeFont();
        return CardFont{font, QFontMetrics(font)};
    }();
    return cached;
}

void putLE16(char *at, quint16 value)
{
    qToLittleEndian(value, at);
}

void putLE32(char *at, quint32 value)
{
    qToLittleEndian(value, at);
}

void writeHeaders(char *out, int width, int stride)
{
    const quint32 fileSize = HeaderSize + CardHeight * stride;
    std::memset(out, 0, HeaderSize);
    out[0] = 'B';
    out[1] = 'M';
    putLE32(out + 2, fileSize);
    putLE32(out + 10, HeaderSize);
    putLE32(out + 14, 40);
    putLE32(out + 18, quint32(width));
    putLE32(out + 22, CardHeight);
    putLE16(out + 26, 1);
    putLE16(out + 28, 16);
    // Compression, image size, resolutions and colour counts stay 0.
}

// One-pixel frame around the card with the four corner pixels cut off.
void drawFrame(QImage &canvas)
{
    const int w = canvas.width();
    auto *top = reinterpret_cast<QRgb *>(canvas.scanLine(0));
    auto *bottom = reinterpret_cast<QRgb *>(canvas.scanLine(CardHeight - 1));
    for (int x = 1; x < w - 1; ++x) {
        top[x] = FrameColour;
        bottom[x] = FrameColour;
    }
    for (int y = 1; y < CardHeight - 1; ++y) {
        auto *row = reinterpret_cast<QRgb *>(canvas.scanLine(y));
        row[0] = FrameColour;
        row[w - 1] = FrameColour;
    }
}

// A plain copy of the icon's top-left 32 x 32 pixels; the icon is not scaled.
void copyIcon(QImage &canvas, const QImage &icon)
{
    const int cols = std::min({IconSide, icon.width(), canvas.width() - IconLeft});
    const int rows = std::min(IconSide, icon.height());
    if (cols <= 0)
        return;
    for (int y = 0; y < rows; ++y) {
        auto *dst = reinterpret_cast<QRgb *>(canvas.scanLine(IconTop + y)) + IconLeft;
        std::memcpy(dst, icon.constScanLine(y), size_t(cols) * sizeof(QRgb));
    }
}

void drawLine(QPainter &painter, const CardFont &font, const QString &text, int lineWidth, int top,
              int textWidth)
{
    if (lineWidth <= 0 || text.isEmpty())
        return;
    const QString shown
        = textWidth > lineWidth ? font.metrics.elidedText(text, Qt::ElideRight, lineWidth) : text;
    painter.drawText(QRect(TextLeft, top, lineWidth, 14),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}

// 5 bits each of red, green and blue; the top bit stays 0.
inline quint16 toRgb555(QRgb pixel)
{
    return quint16(((qRed(pixel) >> 3) << 10) | ((qGreen(pixel) >> 3) << 5) | (qBlue(pixel) >> 3));
}

} // namespace

QFont FileThumbnail::thumbnailFont()
{
    return cardFont().font;
}

QByteArray FileThumbnail::drawCard(int type, const QString &nameLine, const QString &infoLine)
{
    const QImage *icon = ImageManager::GetInstance()->GetFileTypeBitmap(type);
    if (!icon)
        return {};
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};

    const CardFont &font = cardFont();
    const int cx1 = font.metrics.horizontalAdvance(nameLine);
    const int cx2 = font.metrics.horizontalAdvance(infoLine);
    const int width = std::min(std::max(cx1, cx2) + Padding, MaxCardWidth);
    const int stride = (width * 2 + 3) & ~3;

    QImage canvas(width, CardHeight, QImage::Format_RGB32);
    if (canvas.isNull())
        return {};
    canvas.fill(Background);
    drawFrame(canvas);
    copyIcon(canvas, *icon);
    {
        QPainter painter(&canvas);
        painter.setFont(font.font);
        painter.setPen(QColor::fromRgb(TextColour));
        painter.setBackgroundMode(Qt::TransparentMode);
        const int lineWidth = width - Padding;
        drawLine(painter, font, nameLine, lineWidth, 8, cx1);
        drawLine(painter, font, infoLine, lineWidth, 26, cx2);
    }

    QByteArray bytes(HeaderSize + CardHeight * stride, Qt::Uninitialized);
    char *out = bytes.data();
    writeHeaders(out, width, stride);
    for (int row = 0; row < CardHeight; ++row) {
        // Rows are stored bottom-up.
        const auto *src
            = reinterpret_cast<const QRgb *>(canvas.constScanLine(CardHeight - 1 - row));
        char *dst = out + HeaderSize + row * stride;
        for (int x = 0; x < width; ++x)
            putLE16(dst + 2 * x, toRgb555(src[x]));
        std::memset(dst + 2 * width, 0, size_t(stride - 2 * width));
    }

    return bytes;
}

int FileThumbnail::GenerateFileThumb(int type, const QString &nameLine, const QString &infoLine,
                                     const QString &outPath, int *sizeOut)
{
    const QByteArray bytes = drawCard(type, nameLine, infoLine);
    if (bytes.isEmpty())
        return 0;
    // Not flushed: a card that goes into the store is flushed when it is placed there. A card
    // cut short is removed rather than left looking whole.
    const int error = Internal::writeWhole(outPath, bytes);
    if (error != 0) {
        QFile::remove(outPath);
        errno = error;
        return 0;
    }
    if (sizeOut)
        *sizeOut = int(bytes.size());
    return 1;
}

QString FileThumbnail::FormatFileInfo(int size, const QString &time)
{
    const QString when = time.isEmpty() ? GetAddTimeString() : time;
    return when + u' ' + FormatFileSize(quint64(qint64(size)));
}

} // namespace TAVRIKCORE::RICHEDITOR
