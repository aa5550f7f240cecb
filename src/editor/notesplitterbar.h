// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "skin/czvsplitterbarv3.h"

#include <QtGlobal>

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
    int edgeSide() const { return m_edgeSide; }

    quint32 backgroundColour() const { return m_backgroundColour; }
    quint32 edgeLineColour() const { return m_edgeLineColour; }
    int gripLength() const { return m_gripLength; }
    quint32 gripColour() const { return m_gripColour; }
    quint32 gripHoverColour() const { return m_gripHoverColour; }
    quint32 gripPressedColour() const { return m_gripPressedColour; }

private:
    quint32 m_backgroundColour = 0xF0F0F0;
    quint32 m_edgeLineColour = 0xDCDCDC;
    int m_edgeSide = Right;
    int m_gripLength = 76;
    quint32 m_gripColour = 0xE0E0E0;
    quint32 m_gripHoverColour = 0xB3B3B3;
    quint32 m_gripPressedColour = 0xA1A1A1;
};

} // namespace TAVRIKCORE::RICHEDITOR
