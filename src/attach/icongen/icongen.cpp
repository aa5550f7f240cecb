// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Build-time tool: draws the 32 x 32 file-type icons of the "res" folder and the built-in
// fallback picture. Usage: tavrik_icongen <res folder> <fallback bmp path>

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

constexpr int Side = 32;

using Glyph = std::function<void(QPainter &, const QRectF &)>;

// A sheet of paper with a folded top-right corner and a coloured band at the bottom.
QImage documentIcon(const QColor &colour, const Glyph &glyph)
{
    QImage image(Side, Side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath sheet;
    sheet.moveTo(5.5, 1.5);
    sheet.lineTo(20.5, 1.5);
    sheet.lineTo(26.5, 7.5);
    sheet.lineTo(26.5, 30.5);
    sheet.lineTo(5.5, 30.5);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(0x9a, 0x9a, 0x9a), 1));
    painter.setBrush(QColor(0xfa, 0xfa, 0xfa));
    painter.drawPath(sheet);

    QPainterPath fold;
    fold.moveTo(20.5, 1.5);
    fold.lineTo(20.5, 7.5);
    fold.lineTo(26.5, 7.5);
    painter.setBrush(QColor(0xe0, 0xe0, 0xe0));
    painter.drawPath(fold);

    const QRectF band(2, 14, 24, 12);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(band, 2, 2);
    glyph(painter, band);
    return image;
}

Glyph label(const QString &text)
{
    return [text](QPainter &painter, const QRectF &band) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setBold(true);
        font.setPixelSize(text.size() > 2 ? 8 : 10);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(band, Qt::AlignCenter, text);
    };
}

// A small landscape: sun and hills.
void pictureGlyph(QPainter &painter, const QRectF &band)
{
    painter.setBrush(QColor(0xff, 0xe0, 0x66));
    painter.drawEllipse(QPointF(band.left() + 6, band.top() + 4), 2.2, 2.2);
    QPainterPath hills;
    hills.moveTo(band.left() + 2, band.bottom() - 1);
    hills.lineTo(band.left() + 9, band.top() + 4);
    hills.lineTo(band.left() + 14, band.bottom() - 5);
    hills.lineTo(band.left() + 17, band.top() + 6);
    hills.lineTo(band.right() - 2, band.bottom() - 1);
    hills.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(hills);
}

// A film strip with sprocket holes.
void filmGlyph(QPainter &painter, const QRectF &band)
{
    painter.setBrush(Qt::white);
    for (int i = 0; i < 5; ++i) {
        const qreal x = band.left() + 2.5 + i * 4.5;
        painter.drawRect(QRectF(x, band.top() + 1.5, 2, 2));
        painter.drawRect(QRectF(x, band.bottom() - 3.5, 2, 2));
    }
    painter.drawRect(QRectF(band.left() + 7, band.top() + 4.5, 10, 3));
}

// A beamed pair of notes.
void noteGlyph(QPainter &painter, const QRectF &band)
{
    painter.setBrush(Qt::white);
    const qreal base = band.bottom() - 3;
    painter.drawEllipse(QPointF(band.left() + 8, base), 2.2, 1.7);
    painter.drawEllipse(QPointF(band.left() + 16, base - 1), 2.2, 1.7);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.drawLine(QPointF(band.left() + 10, base), QPointF(band.left() + 10, band.top() + 2));
    painter.drawLine(QPointF(band.left() + 18, base - 1),
                     QPointF(band.left() + 18, band.top() + 1));
    painter.drawLine(QPointF(band.left() + 10, band.top() + 2),
                     QPointF(band.left() + 18, band.top() + 1));
    painter.setPen(Qt::NoPen);
}

struct Icon
{
    const char *file;
    QColor colour;
    Glyph glyph;
};

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "BMP"))
        return true;
    std::fprintf(stderr, "tavrik_icongen: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavrik_icongen <res folder> <fallback bmp path>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString resFolder = QString::fromLocal8Bit(argv[1]);
    const QString fallbackPath = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(resFolder))
        return 1;

    const Icon icons[] = {
        {"word.bmp", QColor(0x2b, 0x57, 0x9a), label(QStringLiteral("W"))},
        {"excel.bmp", QColor(0x21, 0x73, 0x46), label(QStringLiteral("X"))},
        {"ppt.bmp", QColor(0xd2, 0x47, 0x26), label(QStringLiteral("P"))},
        {"text.bmp", QColor(0x60, 0x6c, 0x78), label(QStringLiteral("TXT"))},
        {"pdf.bmp", QColor(0xc6, 0x28, 0x28), label(QStringLiteral("PDF"))},
        {"zip.bmp", QColor(0x8d, 0x6e, 0x2b), label(QStringLiteral("ZIP"))},
        {"image.bmp", QColor(0x2e, 0x8b, 0xc0), pictureGlyph},
        {"video.bmp", QColor(0x6a, 0x3d, 0x9a), filmGlyph},
        {"audio.bmp", QColor(0xe0, 0x8a, 0x00), noteGlyph},
        {"html.bmp", QColor(0xe4, 0x6c, 0x1f), label(QStringLiteral("</>"))},
        {"unknow.bmp", QColor(0x90, 0x90, 0x90), label(QStringLiteral("?"))},
    };
    for (const Icon &icon : icons) {
        if (!save(documentIcon(icon.colour, icon.glyph),
                  resFolder + u'/' + QLatin1String(icon.file)))
            return 1;
    }
    // The built-in picture differs from unknow.bmp so that its use can be told apart.
    if (!save(documentIcon(QColor(0x5f, 0x6b, 0x7a), label(QStringLiteral("..."))), fallbackPath))
        return 1;
    return 0;
}
