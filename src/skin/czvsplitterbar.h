// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QRect>
#include <QWidget>

#include <memory>

class QPainter;

namespace TAVRIKCORE::RICHEDITOR {

class IZvSplitterbarNotify;

// A splitter bar between two panes of one parent window. The bar is a widget of its own, a
// sibling of the two panes: it places itself and the panes inside the parent's client
// rectangle (AdjustLayout) and lets the user drag it with the left button. A horizontal bar
// splits an upper and a lower pane; a vertical one a left and a right pane. The first pane's
// extent (height or width) is the bar's position. Folding and the skin picture are added by
// CZvSplitterbarEx and CZvSplitterbarV3.
class TAVRIK_EXPORT CZvSplitterbar : public QWidget
{
    Q_OBJECT

public:
    // Sides on the 0 to 3 scale used for the berth position and edge lines.
    enum Side { Left = 0, Right = 1, Top = 2, Bottom = 3 };

    CZvSplitterbar();
    ~CZvSplitterbar() override;

    // Makes the bar a child of `parent` with the child id `id`; `horizontal` bars lie between
    // an upper and a lower pane. Returns 1, or 0 without a parent or when already created.
    int CreateSplitterBar(QWidget *parent, int id, bool horizontal = true);

    // The panes, first (upper or left) first. Both must be children of the bar's parent.
    void SetSplitterWnd(QWidget *first, QWidget *second);
    QWidget *firstPane() const;
    QWidget *secondPane() const;

    // Receives the drag question and the size-changed call; not owned, may be null.
    void SetNotify(IZvSplitterbarNotify *notify);

    // Bar thickness in pixels (at least 1; smaller values are ignored). Default 6.
    void SetThickness(int thickness);
    int thickness() const;

    // The side the bar folds towards (Side). Values outside 0..3 are ignored. Default Bottom.
    void SetBerthPos(int side);
    int berthPos() const;

    // The first pane's extent in pixels (negative values become 0); applied by AdjustLayout.
    void SetFirstWndWH(int extent);
    int GetFirstWndWH() const;

    bool isHorizontal() const;
    bool isPressed() const;
    bool isFolded() const;
    int id() const;
    // The grip rectangle last painted, in bar coordinates (empty before the first paint).
    QRect gripRect() const;

    // Lays the panes and the bar out in the parent's client rectangle: the first pane gets
    // the stored extent (at most the room left beside the bar), the bar follows, the second
    // pane takes the rest. A folded bar lies at its berth side and the pane there gets 0.
    virtual void AdjustLayout();

    // Mouse-down on the bar at `pos` (bar coordinates). The base starts a drag when the notify
    // interface allows it.
    virtual void DoLButtonDown(const QPoint &pos);
    // Fills the bar; the base fills it with the palette's button colour and paints the grip.
    virtual void DrawBackground(QPainter &painter, const QRect &rect, bool overGrip);
    // Folds (non-zero) or unfolds (0) the bar; the base bar cannot fold and does nothing.
    virtual void FoldBar(int fold);
    // Paints the grip inside `rect`; the base remembers the whole rectangle as the grip.
    virtual void DrawGrip(QPainter &painter, const QRect &rect, bool overGrip);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

    // The parent's client rectangle (empty without a parent).
    QRect parentClientRect() const;
    void setFolded(bool folded);
    void setGripRect(const QRect &rect);
    IZvSplitterbarNotify *notify() const;

private:
    void updateOverGrip(const QPoint &pos);

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
