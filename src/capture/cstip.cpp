// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/cstip_p.h"

#include "capture/screencapturedlgbase_p.h"

#include <QCoreApplication>
#include <QPainter>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

const QColor Background(252, 252, 252);
const QColor Border(200, 200, 200);
const QColor CaptionText(68, 68, 68);
const QColor InfoBand(55, 173, 223);
const QColor PixelText(250, 250, 250);
const QColor SizeText(255, 255, 132);
const QColor Crosshair(250, 0, 0);

// Rows of the caption band and of each info line; height of the info band.
constexpr int CaptionHeight = 24;
constexpr int InfoHeight = 31;
constexpr int LineHeight = 14;
constexpr int TextIndent = 4;

QString tipText(const char *text)
{
    return QCoreApplication::translate("CSTip", text);
}

} // namespace

CSTip::CSTip(ScreenCaptureDlgBase *owner)
    : QWidget(owner), m_caption(tipText(QT_TRANSLATE_NOOP("CSTip", "截图"))), m_owner(owner)
{
    // Not marked opaque although it paints every pixel: the capture window then repaints its
    // picture as whole rectangles, which is several times faster than around the tip.
    // The capture window sees the cursor over the tip too, and moves the tip away from it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont tipFont = font();
    tipFont.setPixelSize(12);
    tipFont.setWeight(QFont::Normal);
    setFont(tipFont);
    resize(TipWidth, TipHeight);
}

void CSTip::placeForSide(int side)
{
    m_side = side ? 1 : 0;
    const int x = m_side ? Margin : m_owner->screenWidth() - TipWidth - Margin;
    setGeometry(x, Margin, TipWidth, TipHeight);
}

void CSTip::flip()
{
    placeForSide(m_side ? 0 : 1);
}

void CSTip::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

QString CSTip::pixelLine() const
{
    const QRgb pixel = m_owner->snapshotPixel(m_owner->cursorPosition());
    return tipText(QT_TRANSLATE_NOOP("CSTip", "像素RGB值：(%1,%2,%3)"))
        .arg(qRed(pixel))
        .arg(qGreen(pixel))
        .arg(qBlue(pixel));
}

QString CSTip::sizeLine() const
{
    const TrackRect selection = m_owner->hasSelection() ? m_owner->selection() : TrackRect();
    return tipText(QT_TRANSLATE_NOOP("CSTip", "矩形大小：(%1,%2)"))
        .arg(selection.width())
        .arg(selection.height());
}

void CSTip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    // The bordered rectangle, 2 pixels inside the tip.
    const QRect bordered = rect().adjusted(2, 2, -2, -2);
    painter.setPen(QPen(Border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bordered.adjusted(0, 0, -1, -1));

    // Caption band: a grey ramp from 252 down to 214 over 22 rows.
    const QRect band = QRect(bordered.left(), bordered.top(), bordered.width(), CaptionHeight)
                           .adjusted(1, 1, -1, -1);
    for (int row = 0; row < band.height(); ++row) {
        const int grey = 252 + (-40 * row) / band.height();
        painter.fillRect(band.left(), band.top() + row, band.width(), 1, QColor(grey, grey, grey));
    }
    painter.setPen(CaptionText);
    const QRect captionRect = band.adjusted(TextIndent, 0, 0, 0);
    painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(m_caption, Qt::ElideRight, captionRect.width()));

    const QRect info(bordered.left(), bordered.bottom() + 1 - InfoHeight, bordered.width(),
                     InfoHeight);
    painter.fillRect(info, InfoBand);
    painter.setPen(PixelText);
    painter.drawText(
        QRect(info.left() + TextIndent, info.top(), info.width() - TextIndent, LineHeight),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, pixelLine());
    painter.setPen(SizeText);
    painter.drawText(QRect(info.left() + TextIndent, info.top() + LineHeight,
                           info.width() - TextIndent, LineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, sizeLine());

    paintMagnifier(painter,
                   QRect(QPoint(bordered.left(), bordered.top() + CaptionHeight),
                         QPoint(bordered.right(), info.top() - 1)));
}

void CSTip::paintMagnifier(QPainter &painter, const QRect &area) const
{
    // Twice the size: half the area's width and height around the cursor, taken from the
    // picture the capture window shows (black beyond the screen).
    const QPoint cursor = m_owner->cursorPosition();
    const int halfWidth = (area.width() / 2) / 2;
    const int halfHeight = (area.height() / 2) / 2;
    const QImage part = m_owner->currentPicture(
        QRect(cursor.x() - halfWidth, cursor.y() - halfHeight, 2 * halfWidth, 2 * halfHeight));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(area, part);

    // The crosshair keeps only what the picture and the pen have in common.
    const int midX = area.left() + area.width() / 2;
    const int midY = area.top() + area.height() / 2;
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.setPen(QPen(Crosshair, 4, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(area.left() + 1, midY, area.right() - 1, midY);
    painter.drawLine(midX, area.top() + 1, midX, area.bottom() - 1);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(midX - 2, midY - 2, 4, 4, Qt::white);
    painter.restore();
}

} // namespace TAVRIKCORE::RICHEDITOR
