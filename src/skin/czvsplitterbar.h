// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

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
    QWidget *firstPane() const { return m_first; }
    QWidget *secondPane() const { return m_second; }

    // Receives the drag question and the size-changed call; not owned, may be null.
    void SetNotify(IZvSplitterbarNotify *notify) { m_notify = notify; }

    // Bar thickness in pixels (at least 1; smaller values are ignored). Default 6.
    void SetThickness(int thickness);
    int thickness() const { return m_thickness; }

    // The side the bar folds towards (Side). Values outside 0..3 are ignored. Default Bottom.
    void SetBerthPos(int side);
    int berthPos() const { return m_berthPos; }

    // The first pane's extent in pixels (negative values become 0); applied by AdjustLayout.
    void SetFirstWndWH(int extent);
    int GetFirstWndWH() const { return m_firstExtent; }

    bool isHorizontal() const { return m_horizontal; }
    bool isPressed() const { return m_pressed; }
    bool isFolded() const { return m_folded; }
    int id() const { return m_id; }
    // The grip rectangle last painted, in bar coordinates (empty before the first paint).
    QRect gripRect() const { return m_gripRect; }

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
    void setFolded(bool folded) { m_folded = folded; }
    void setGripRect(const QRect &rect) { m_gripRect = rect; }
    IZvSplitterbarNotify *notify() const { return m_notify; }

private:
    void updateOverGrip(const QPoint &pos);

    QPointer<QWidget> m_first;
    QPointer<QWidget> m_second;
    IZvSplitterbarNotify *m_notify = nullptr;
    int m_id = 0;
    bool m_created = false;
    bool m_horizontal = true;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_folded = false;
    bool m_overGrip = false;
    int m_berthPos = Bottom;
    int m_thickness = 6;
    int m_firstExtent = 0;
    int m_dragOffset = 0;
    QRect m_gripRect;
};

} // namespace TAVRIKCORE::RICHEDITOR
