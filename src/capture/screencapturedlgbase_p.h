// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "capture/screensnapshot_p.h"
#include "capture/strecttracker_p.h"
#include "tavrik_autotest_export_p.h"

#include <QDialog>
#include <QImage>
#include <QRegion>

#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

class CSTip;
class CSToolbar;

// The full-screen capture window: a frozen, dimmed picture of the screen on which the user
// drags out a selection, shown at full brightness with its frame and handles, a tip with a
// magnifier following the cursor and a toolbar under the selection.
//
// Mouse: a left press on empty screen starts a selection (a 4 x 4 rectangle at first) that
// follows the cursor until the release; a press on the selection or a handle drags it. A
// right click outside the selection removes it, and with none the capture ends; inside it
// asks for the menu. A double click inside the selection runs OnSelectionDblClick. Escape
// during a drag puts the selection back; otherwise it ends the capture.
class TAVRIK_AUTOTEST_EXPORT ScreenCaptureDlgBase : public QDialog
{
    Q_OBJECT
public:
    // Toolbar metrics.
    static constexpr int ButtonPitch = 20;
    static constexpr int ButtonSize = 18;
    // The dimmed picture is the snapshot at this opacity (of 255) over black.
    static constexpr int DimOpacity = 240;

    // Takes the snapshot of the screen under the cursor at once (SnapshotScreen).
    explicit ScreenCaptureDlgBase(QWidget *parent = nullptr);
    // Shows `snapshot` instead of reading the screen.
    explicit ScreenCaptureDlgBase(const ScreenSnapshot &snapshot, QWidget *parent = nullptr);
    ~ScreenCaptureDlgBase() override;

    // Reads the screen under the cursor into the snapshot (ScreenSnapshot::Take).
    void SnapshotScreen();
    // Begins a new capture of `snapshot` in this window: no selection, the toolbar hidden,
    // the tip in its first corner.
    void startOver(const ScreenSnapshot &snapshot);
    // Lets the snapshot go (the window keeps no picture of the screen while it is hidden).
    void releaseSnapshot() { m_snapshot = QImage(); }
    // The snapshot's picture at `rect` (normalised, then clipped to the screen), in the
    // screen's own pixels; null for an empty rectangle or without a snapshot.
    QImage CopySelectionBitmap(const TrackRect &rect) const;
    // The snapshot's pixels CopySelectionBitmap copies for `rect`; empty when it copies none.
    QRect selectionPixels(const TrackRect &rect) const;
    // The picture at `pixels` of a 32-bit `snapshot`, as 24-bit pixels; null unless the
    // snapshot holds them all. Reentrant: pictures may be cut on any thread.
    static QImage CutPicture(const QImage &snapshot, const QRect &pixels);
    // Repaints the window except where the tip and the toolbar lie, after telling
    // OnSelectionChanged.
    void UpdateCaptureRegion();

    // The tracker moved or resized the selection to `rect` from `previous` during a drag: a
    // move takes the toolbar along, a resize hides it until the release.
    virtual void OnTrackerRectChanged(const TrackRect &rect, const TrackRect &previous);
    // Hooks for a concrete capture: nothing here. OnCommand receives the toolbar's and the
    // menu's commands.
    virtual void OnCommand(int id);
    virtual void InitToolbarButtons();
    virtual void LoadTrackerCursors();
    virtual void ShowCaptureMenu(const QPoint &point);
    virtual void OnSelectionDblClick(const QPoint &point);
    // The selection may have changed: a gesture made, moved, resized or dropped it, or a new
    // capture began. Nothing here.
    virtual void OnSelectionChanged();

    // Creates the tip and toolbar and lets the hooks fill them; runs once, at the first show
    // at the latest.
    void InitDialog();

    bool hasSnapshot() const { return !m_snapshot.isNull(); }
    // Why there is no snapshot, for the user.
    const QString &snapshotError() const { return m_snapshotError; }
    // The undimmed snapshot, its device pixel ratio set.
    const QImage &snapshot() const { return m_snapshot; }
    // The screen's place on the desktop, where the window opens.
    QRect screenGeometry() const { return m_screenGeometry; }
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    // The picture the window shows at `area` (window coordinates; the whole window when
    // empty): dimmed, with the selection drawn; black beyond the screen.
    QImage currentPicture(const QRect &area = QRect()) const;
    // The snapshot's colour at `point` (window coordinates); black outside the screen.
    QRgb snapshotPixel(const QPoint &point) const;

    STRectTracker &tracker() { return m_tracker; }
    const STRectTracker &tracker() const { return m_tracker; }
    bool hasSelection() const { return m_hasSelection; }
    // The selection, normalised.
    TrackRect selection() const { return m_tracker.rect().normalized(); }
    // Where the cursor was last seen, in window coordinates.
    QPoint cursorPosition() const { return m_cursorPos; }
    CSTip *tip() const { return m_tip; }
    CSToolbar *toolbar() const { return m_toolbar; }

protected:
    // The cursor for places without a handle (the platform's default while unset).
    void setGeneralCursor(const QCursor &cursor) { m_generalCursor = cursor; }
    // Drops the selection and hides the toolbar.
    void clearSelection();
    // Puts the toolbar under the selection (right edges aligned, 6 pixels below).
    void placeToolbar();

    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Ends a drag whose button release will not come, as a release where the cursor was.
    void endLostDrag();
    void setSnapshot(const ScreenSnapshot &snapshot);
    // Paints the window's picture at `area` (window coordinates).
    void paintPicture(QPainter &painter, const QRect &area) const;
    void updateCursor(const QPoint &point);
    // Ends the left or right button's part of a gesture.
    void finishGesture();

    int m_screenWidth = 0;
    int m_screenHeight = 0;
    QRect m_screenGeometry;
    QImage m_snapshot;
    QString m_snapshotError;
    STRectTracker m_tracker;
    bool m_hasSelection = false;
    bool m_drawing = false;
    QPoint m_anchor;
    QPoint m_cursorPos;
    CSTip *m_tip = nullptr;
    CSToolbar *m_toolbar = nullptr;
    QRegion m_region;
    std::optional<QCursor> m_generalCursor;
    bool m_initialised = false;
    Qt::MouseButton m_cancelledBy = Qt::NoButton; // its release does nothing more
};

} // namespace TAVRIKCORE::RICHEDITOR
