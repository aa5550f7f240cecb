// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Build-time tool: draws the screen capture's toolbar icons (16 x 16 .ico: copy, save as,
// exit, complete) and its cursors (32 x 32 .cur: the diagonal, horizontal and vertical sizing
// arrows, the four-way move arrows and the pointer). Usage: tavrik_capturegen <res folder>

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTransform>
#include <QtEndian>

#include <cstdio>
#include <functional>

namespace {

constexpr int IconSize = 16;
constexpr int CursorSize = 32;

QImage canvas(int size, const std::function<void(QPainter &)> &draw)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return image;
}

// A sheet of paper with a folded corner and three lines of text.
void drawSheet(QPainter &painter, const QRectF &sheet)
{
    QPainterPath path;
    path.moveTo(sheet.topLeft());
    path.lineTo(sheet.right() - 3, sheet.top());
    path.lineTo(sheet.right(), sheet.top() + 3);
    path.lineTo(sheet.bottomRight());
    path.lineTo(sheet.bottomLeft());
    path.closeSubpath();
    painter.setPen(QPen(QColor(0x3A, 0x5F, 0x8A), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
    painter.setPen(QPen(QColor(0x8F, 0xA9, 0xC6), 1));
    for (int line = 0; line < 3; ++line) {
        const qreal y = sheet.top() + 3.5 + line * 2.5;
        painter.drawLine(QPointF(sheet.left() + 2, y), QPointF(sheet.right() - 2, y));
    }
}

QImage copyIcon()
{
    return canvas(IconSize, [](QPainter &p) {
        drawSheet(p, QRectF(1.5, 1.5, 8, 10));
        drawSheet(p, QRectF(6.5, 4.5, 8, 10));
    });
}

QImage saveAsIcon()
{
    return canvas(IconSize, [](QPainter &p) {
        p.setPen(QPen(QColor(0x1F, 0x3F, 0x6F), 1));
        p.setBrush(QColor(0x3B, 0x7B, 0xC8));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 8, 5)); // label
        p.setBrush(QColor(0x1F, 0x3F, 0x6F));
        p.drawRect(QRectF(9, 3, 2, 3)); // shutter slot
        p.setBrush(QColor(0xDD, 0xE6, 0xF0));
        p.drawRect(QRectF(4, 9.5, 8, 4)); // lower plate
    });
}

QImage exitIcon()
{
    return canvas(IconSize, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD2, 0x3B, 0x32));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
    });
}

QImage completeIcon()
{
    return canvas(IconSize, [](QPainter &p) {
        p.setPen(QPen(QColor(0x2E, 0x9B, 0x3A), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(2.5, 8.5);
        tick.lineTo(6.5, 12.5);
        tick.lineTo(13.5, 3.5);
        p.drawPath(tick);
    });
}

// A black arrow with a white outline, as pointers are drawn.
void drawOutlined(QPainter &painter, const QPainterPath &shape)
{
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(shape);
}

// An arrow along the x axis from the origin, `length` long, pointing right.
QPainterPath arrow(qreal length)
{
    QPainterPath path;
    path.moveTo(0, -1);
    path.lineTo(length - 5, -1);
    path.lineTo(length - 5, -4.5);
    path.lineTo(length, 0);
    path.lineTo(length - 5, 4.5);
    path.lineTo(length - 5, 1);
    path.lineTo(0, 1);
    path.closeSubpath();
    return path;
}

// Arrows from the cursor's centre at each of `angles` (degrees, 0 pointing right).
QImage arrowsCursor(std::initializer_list<qreal> angles, qreal length)
{
    return canvas(CursorSize, [&](QPainter &p) {
        QPainterPath shape;
        shape.setFillRule(Qt::WindingFill);
        for (qreal angle : angles) {
            QTransform turn;
            turn.translate(CursorSize / 2.0, CursorSize / 2.0);
            turn.rotate(angle);
            shape.addPath(turn.map(arrow(length)));
        }
        drawOutlined(p, shape.simplified());
    });
}

QImage pointerCursor()
{
    return canvas(CursorSize, [](QPainter &p) {
        QPainterPath pointer;
        pointer.moveTo(1, 1);
        pointer.lineTo(1, 18);
        pointer.lineTo(5.5, 14);
        pointer.lineTo(8.5, 21);
        pointer.lineTo(11, 20);
        pointer.lineTo(8, 13);
        pointer.lineTo(13.5, 13);
        pointer.closeSubpath();
        drawOutlined(p, pointer);
    });
}

// The picture as a one-entry .ico, or with `hotSpot` as a .cur (type 2, the hot spot in the
// entry's planes and bit-count fields).
QByteArray iconBytes(const QImage &image, const QPoint *hotSpot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ICO");
    if (!writer.write(image))
        return {};
    QByteArray bytes = buffer.data();
    if (hotSpot && bytes.size() >= 22) {
        qToLittleEndian<quint16>(2, bytes.data() + 2);
        qToLittleEndian<quint16>(quint16(hotSpot->x()), bytes.data() + 10);
        qToLittleEndian<quint16>(quint16(hotSpot->y()), bytes.data() + 12);
    }
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || !file.commit()) {
        std::fprintf(stderr, "tavrik_capturegen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrik_capturegen <res folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());

    struct Icon
    {
        const char *name;
        QImage image;
    };
    const Icon icons[] = {{"copy.ico", copyIcon()},
                          {"saveas.ico", saveAsIcon()},
                          {"exit.ico", exitIcon()},
                          {"complete.ico", completeIcon()}};
    struct Cursor
    {
        const char *name;
        QImage image;
        QPoint hotSpot;
    };
    const QPoint centre(CursorSize / 2, CursorSize / 2);
    const Cursor cursors[] = {{"size1_r.cur", arrowsCursor({-45, 135}, 11), centre},
                              {"size2_r.cur", arrowsCursor({45, 225}, 11), centre},
                              {"size3_r.cur", arrowsCursor({0, 180}, 12), centre},
                              {"size4_r.cur", arrowsCursor({90, 270}, 12), centre},
                              {"move_r.cur", arrowsCursor({0, 90, 180, 270}, 11), centre},
                              {"arrow_m.cur", pointerCursor(), QPoint(1, 1)}};

    bool ok = true;
    for (const Icon &icon : icons)
        ok = writeFile(folder.filePath(QLatin1String(icon.name)), iconBytes(icon.image, nullptr))
            && ok;
    for (const Cursor &cursor : cursors)
        ok = writeFile(folder.filePath(QLatin1String(cursor.name)),
                       iconBytes(cursor.image, &cursor.hotSpot))
            && ok;
    return ok ? 0 : 1;
}
