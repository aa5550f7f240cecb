// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "skin/czvsplitterbarv3.h"

#include <QtGlobal>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// The editor's splitter bar look: a flat background, a 1-pixel edge line on one side and a
// grip that darkens under the pointer and while pressed, with the skin picture's frame for the
// bar's state drawn on the grip. Colours are 0x00BBGGRR. On a dark palette the bar is drawn in
// the palette's window colour, its edge line and grip mixed with a share of the text colour
// (a quarter; the grip 15 %, 30 % under the pointer, 40 % pressed).
class TAVRIK_EXPORT NoteSplitterbar : public CZvSplitterbarV3
{
    Q_OBJECT

public:
    NoteSplitterbar();
    ~NoteSplitterbar() override;

    // The constant opacity the skin frame is blended with.
    static constexpr int FrameAlpha = 225;

    // Fills `rect`, draws the edge line on the edge side and paints the grip in the rest.
    void DrawBackground(QPainter &painter, const QRect &rect, bool overGrip) override;
    // Fills the grip (centred, grip length long) and blends the skin frame on it.
    void DrawGrip(QPainter &painter, const QRect &rect, bool overGrip) override;

    // The frame of the skin picture that fits the berth side and the panes' sizes now.
    int skinFrameIndex() const;

    // The edge line side (CZvSplitterbar::Side); values outside 0..3 are ignored.
    void setEdgeSide(int side);
    int edgeSide() const;

    quint32 backgroundColour() const;
    quint32 edgeLineColour() const;
    int gripLength() const;
    quint32 gripColour() const;
    quint32 gripHoverColour() const;
    quint32 gripPressedColour() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
