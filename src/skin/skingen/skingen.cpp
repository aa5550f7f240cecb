// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Build-time tool: draws the splitter bar picture, four 12 x 6 frames side by side on a
// transparent background: arrows pointing left, right, up and down (the way a click on the
// grip moves the bar). Usage: tavrik_skingen <png path>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <cstdio>

namespace {

constexpr int FrameWidth = 12;
constexpr int FrameHeight = 6;

// A filled triangle inside the frame at `left`, its tip towards `direction` (0 left, 1 right,
// 2 up, 3 down).
void drawArrow(QPainter &painter, int left, int direction)
{
    const qreal l = left + 3, r = left + 9, t = 0.5, b = FrameHeight - 0.5;
    const qreal mx = left + FrameWidth / 2.0, my = FrameHeight / 2.0;
    QPolygonF arrow;
    switch (direction) {
    case 0:
        arrow << QPointF(mx - 2, my) << QPointF(mx + 1.5, t) << QPointF(mx + 1.5, b);
        break;
    case 1:
        arrow << QPointF(mx + 2, my) << QPointF(mx - 1.5, t) << QPointF(mx - 1.5, b);
        break;
    case 2:
        arrow << QPointF(mx, t) << QPointF(l, b - 1) << QPointF(r, b - 1);
        break;
    default:
        arrow << QPointF(mx, b) << QPointF(l, t + 1) << QPointF(r, t + 1);
        break;
    }
    painter.drawPolygon(arrow);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrik_skingen <png path>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(QFileInfo(path).absolutePath());

    QImage picture(FrameWidth * 4, FrameHeight, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x60, 0x60, 0x60));
    for (int frame = 0; frame < 4; ++frame)
        drawArrow(painter, frame * FrameWidth, frame);
    painter.end();

    if (!picture.save(path, "PNG")) {
        std::fprintf(stderr, "tavrik_skingen: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
