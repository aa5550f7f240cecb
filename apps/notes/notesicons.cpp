// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notesicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// Every icon is drawn on a 24 x 24 grid and rendered at two sizes.
QIcon drawn(const std::function<void(QPainter &)> &draw)
{
    QIcon icon;
    for (const int side : {24, 48}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 24.0, side / 24.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen inkPen(const QColor &ink, qreal width = 1.6)
{
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A closed outline through the points.
QPainterPath outline(const QPolygonF &points)
{
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

void drawPage(QPainter &p, const QColor &ink)
{
    p.setPen(inkPen(ink));
    p.setBrush(Qt::white);
    p.drawPath(
        outline({QPointF(5, 3), QPointF(14, 3), QPointF(19, 8), QPointF(19, 21), QPointF(5, 21)}));
    p.drawPolyline(QPolygonF({QPointF(14, 3), QPointF(14, 8), QPointF(19, 8)}));
}

const QColor accent(0x2f, 0x80, 0xed);

QIcon lockIn(const QColor &ink);

} // namespace

namespace NotesIcons {

QIcon application()
{
    return drawn([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawRoundedRect(QRectF(2, 2, 20, 20), 4, 4);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 5, 12, 14), 1.5, 1.5);
        p.setPen(inkPen(accent, 1.4));
        for (const qreal y : {9.0, 12.0, 15.0})
            p.drawLine(QPointF(8.5, y), QPointF(y == 15.0 ? 13 : 15.5, y));
    });
}

QIcon newNote(const QColor &ink)
{
    return drawn([ink](QPainter &p) {
        drawPage(p, ink);
        p.setPen(inkPen(accent, 2));
        p.drawLine(QPointF(12, 11), QPointF(12, 18));
        p.drawLine(QPointF(8.5, 14.5), QPointF(15.5, 14.5));
    });
}

QIcon deleteNote(const QColor &ink)
{
    return drawn([ink](QPainter &p) {
        p.setPen(inkPen(ink));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 6), QPointF(20, 6));
        p.drawPolyline(
            QPolygonF({QPointF(9, 6), QPointF(9.5, 3.5), QPointF(14.5, 3.5), QPointF(15, 6)}));
        QPainterPath can;
        can.moveTo(6, 6);
        can.lineTo(7.2, 20.5);
        can.lineTo(16.8, 20.5);
        can.lineTo(18, 6);
        p.drawPath(can);
        p.setPen(inkPen(QColor(0xd6, 0x45, 0x45), 1.6));
        for (const qreal x : {10.0, 14.0})
            p.drawLine(QPointF(x, 9.5), QPointF(x, 17));
    });
}

QIcon rename(const QColor &ink)
{
    return drawn([ink](QPainter &p) {
        p.setPen(inkPen(ink));
        p.drawLine(QPointF(3, 21), QPointF(21, 21));
        p.setBrush(QColor(0xf5, 0xc2, 0x42));
        p.drawPath(outline({QPointF(6, 18), QPointF(6.8, 14.5), QPointF(16, 5.3), QPointF(18.7, 8),
                            QPointF(9.5, 17.2)}));
    });
}

QIcon attach(const QColor &ink)
{
    return drawn([ink](QPainter &p) {
        QPainterPath clip;
        clip.moveTo(15.5, 7);
        clip.lineTo(15.5, 16);
        clip.arcTo(QRectF(8.5, 12.5, 7, 7), 0, -180);
        clip.lineTo(8.5, 5.5);
        clip.arcTo(QRectF(8.5, 2, 5, 5), 180, -180);
        clip.lineTo(13.5, 15);
        clip.arcTo(QRectF(10.5, 13.5, 3, 3), 0, -180);
        clip.lineTo(10.5, 7);
        p.setPen(inkPen(ink, 1.7));
        p.setBrush(Qt::NoBrush);
        p.drawPath(clip);
    });
}

QIcon exportDocument(const QColor &ink)
{
    return drawn([ink](QPainter &p) {
        drawPage(p, ink);
        p.setPen(inkPen(accent, 2));
        p.drawLine(QPointF(8, 15), QPointF(16, 15));
        p.drawPolyline(QPolygonF({QPointF(13, 12), QPointF(16, 15), QPointF(13, 18)}));
    });
}

QIcon lock(const QColor &ink, const QColor &checkedInk)
{
    QIcon icon = lockIn(ink);
    if (!checkedInk.isValid())
        return icon;
    const QIcon checked = lockIn(checkedInk);
    for (const int side : {24, 48})
        icon.addPixmap(checked.pixmap(side), QIcon::Normal, QIcon::On);
    return icon;
}

} // namespace NotesIcons

namespace {

QIcon lockIn(const QColor &ink)
{
    return drawn([ink](QPainter &p) {
        p.setPen(inkPen(ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7.5, 3.5, 9, 11), 0, 180 * 16);
        p.drawLine(QPointF(7.5, 9), QPointF(7.5, 11));
        p.drawLine(QPointF(16.5, 9), QPointF(16.5, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(5, 10.5, 14, 10.5), 2, 2);
    });
}

} // namespace
