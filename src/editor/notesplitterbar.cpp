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

class NoteSplitterbar::Private
{
public:
    quint32 backgroundColour = 0xF0F0F0;
    quint32 edgeLineColour = 0xDCDCDC;
    int edgeSide = Right;
    int gripLength = 76;
    quint32 gripColour = 0xE0E0E0;
    quint32 gripHoverColour = 0xB3B3B3;
    quint32 gripPressedColour = 0xA1A1A1;
};

NoteSplitterbar::NoteSplitterbar() : d(std::make_unique<Private>()) { }

NoteSplitterbar::~NoteSplitterbar() = default;

void NoteSplitterbar::setEdgeSide(int side)
{
    if (side >= Left && side <= Bottom)
        d->edgeSide = side;
}

int NoteSplitterbar::edgeSide() const
{
    return d->edgeSide;
}

quint32 NoteSplitterbar::backgroundColour() const
{
    return d->backgroundColour;
}

quint32 NoteSplitterbar::edgeLineColour() const
{
    return d->edgeLineColour;
}

int NoteSplitterbar::gripLength() const
{
    return d->gripLength;
}

quint32 NoteSplitterbar::gripColour() const
{
    return d->gripColour;
}

quint32 NoteSplitterbar::gripHoverColour() const
{
    return d->gripHoverColour;
}

quint32 NoteSplitterbar::gripPressedColour() const
{
    return d->gripPressedColour;
}

void NoteSplitterbar::DrawBackground(QPainter &painter, const QRect &rect, bool overGrip)
{
    painter.fillRect(rect, darkShade(palette(), 0).value_or(fromBgr(d->backgroundColour)));
    QRect line = rect;
    QRect rest = rect;
    switch (d->edgeSide) {
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
    painter.fillRect(line, darkShade(palette(), 0.25).value_or(fromBgr(d->edgeLineColour)));
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
    const quint32 colour = isPressed() ? d->gripPressedColour
        : overGrip                     ? d->gripHoverColour
                                       : d->gripColour;
    const double darkShare = isPressed() ? 0.4 : overGrip ? 0.3 : 0.15;
    QRect grip = rect;
    if (isHorizontal() && rect.width() > d->gripLength) {
        grip.setLeft(rect.left() + (rect.width() - d->gripLength) / 2);
        grip.setWidth(d->gripLength);
    } else if (!isHorizontal() && rect.height() > d->gripLength) {
        grip.setTop(rect.top() + (rect.height() - d->gripLength) / 2);
        grip.setHeight(d->gripLength);
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
