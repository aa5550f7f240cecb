// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/notesplitterbar.h"

#include "skin/cgditoolbox_p.h"

#include <QPainter>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// 0x00BBGGRR to a QColor.
QColor fromBgr(quint32 colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int paneExtent(const QWidget *pane, bool height)
{
    if (!pane)
        return 0;
    return height ? pane->geometry().height() : pane->geometry().width();
}

} // namespace

NoteSplitterbar::NoteSplitterbar() = default;

NoteSplitterbar::~NoteSplitterbar() = default;

void NoteSplitterbar::setEdgeSide(int side)
{
    if (side >= Left && side <= Bottom)
        m_edgeSide = side;
}

void NoteSplitterbar::DrawBackground(QPainter &painter, const QRect &rect, bool overGrip)
{
    painter.fillRect(rect, fromBgr(m_backgroundColour));
    QRect line = rect;
    QRect rest = rect;
    switch (m_edgeSide) {
    case Left:
        line.setWidth(1);
        rest.setLeft(rect.left() + 1);
        break;
    case Right:
        line.setLeft(rect.right());
        rest.setRight(rect.right() - 1);
        break;
    case Top:
        line.setHeight(1);
        rest.setTop(rect.top() + 1);
        break;
    default:
        line.setTop(rect.bottom());
        rest.setBottom(rect.bottom() - 1);
        break;
    }
    painter.fillRect(line, fromBgr(m_edgeLineColour));
    DrawGrip(painter, rest, overGrip);
}

int NoteSplitterbar::skinFrameIndex() const
{
    if (isHorizontal()) {
        const bool upperShown = paneExtent(firstPane(), true) != 0;
        const bool lowerGone = paneExtent(secondPane(), true) == 0;
        return (berthPos() == Top && upperShown) || (berthPos() == Bottom && lowerGone) ? 2 : 3;
    }
    const bool leftGone = paneExtent(firstPane(), false) == 0;
    return (berthPos() == Right && leftGone) || (berthPos() == Left && !leftGone) ? 1 : 0;
}

void NoteSplitterbar::DrawGrip(QPainter &painter, const QRect &rect, bool overGrip)
{
    const quint32 colour = isPressed() ? m_gripPressedColour
        : overGrip                     ? m_gripHoverColour
                                       : m_gripColour;
    QRect grip = rect;
    if (isHorizontal() && rect.width() > m_gripLength) {
        grip.setLeft(rect.left() + (rect.width() - m_gripLength) / 2);
        grip.setWidth(m_gripLength);
    } else if (!isHorizontal() && rect.height() > m_gripLength) {
        grip.setTop(rect.top() + (rect.height() - m_gripLength) / 2);
        grip.setHeight(m_gripLength);
    }
    painter.fillRect(grip, fromBgr(colour));
    setGripRect(grip);

    const QImage frame = skinFrame(skinFrameIndex());
    if (frame.isNull())
        return;
    const QRect target = CGdiToolBox::RectCenter(grip, frame.width(), frame.height());
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(FrameAlpha / 255.0);
    painter.drawImage(target.topLeft(), frame);
    painter.restore();
}

} // namespace TAVRIKCORE::RICHEDITOR
