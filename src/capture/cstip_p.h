// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QWidget>

namespace TAVRIKCORE::RICHEDITOR {

class ScreenCaptureDlgBase;

// The capture's tip in a top corner of the screen: a caption, a 2x magnifier of the picture
// around the cursor with a crosshair, the colour of the screen's pixel under the cursor and
// the size of the selection. The capture window moves it to the other top corner when the
// cursor reaches it.
class TAVRIK_AUTOTEST_EXPORT CSTip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TipWidth = 260;
    static constexpr int TipHeight = 200;
    // Distance from the screen's top and from its left or right edge.
    static constexpr int Margin = 10;

    explicit CSTip(ScreenCaptureDlgBase *owner);

    // 1 in the top-left corner, 0 in the top-right one.
    int side() const { return m_side; }
    // Moves the tip to the corner of `side`.
    void placeForSide(int side);
    // Moves the tip to the other top corner.
    void flip();
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // The two lines of the info band: the colour of the screen under the cursor (not of the
    // dimmed picture) and the size of the selection.
    QString pixelLine() const;
    QString sizeLine() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintMagnifier(QPainter &painter, const QRect &area) const;

    int m_side = 1;
    QString m_caption;
    ScreenCaptureDlgBase *m_owner;
};

} // namespace TAVRIKCORE::RICHEDITOR
