// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/notesplitterbar.h"

#include "skin/cgditoolbox_p.h"

#include <QPainter>

#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// 0x00BBGGRR to a QColor.
QColor fromBgr(quint32 colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// On a dark palette (text lighter than the window) the bar is drawn in the palette's colours:
// the window's for the background, and the window's mixed with `share` of the text's for the
// edge line and the grip, so the bar never shows up light on a dark window.
std::optional<QColor> darkShade(const QPalette &palette, double share)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    if (text.lightness() <= window.lightness())
        return std::nullopt;
    const auto mix = [share](int from, int to) {
        return qRound(from + (to - from) * share);
    };
    return QColor(mix(window.red(), text.red()), mix(window.green(), text.green()),
                  mix(window.blue(), text.blue()));
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
    painter.fillRect(rect, darkShade(palette(), 0).value_or(fromBgr(m_backgroundColour)));
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
    painter.fillRect(line, darkShade(palette(), 0.25).value_or(fromBgr(m_edgeLineColour)));
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
    const double darkShare = isPressed() ? 0.4 : overGrip ? 0.3 : 0.15;
    QRect grip = rect;
    if (isHorizontal() && rect.width() > m_gripLength) {
        grip.setLeft(rect.left() + (rect.width() - m_gripLength) / 2);
        grip.setWidth(m_gripLength);
    } else if (!isHorizontal() && rect.height() > m_gripLength) {
        grip.setTop(rect.top() + (rect.height() - m_gripLength) / 2);
        grip.setHeight(m_gripLength);
    }
    painter.fillRect(grip, darkShade(palette(), darkShare).value_or(fromBgr(colour)));
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
