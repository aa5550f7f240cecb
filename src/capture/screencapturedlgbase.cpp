// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/screencapturedlgbase_p.h"

#include "capture/cstip_p.h"
#include "capture/cstoolbar_p.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr Qt::WindowFlags CaptureWindowFlags
    = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
// A new selection starts this large at the press point.
constexpr int StartSize = 4;
// The toolbar's gap below the selection.
constexpr int ToolbarGap = 6;

} // namespace

ScreenCaptureDlgBase::ScreenCaptureDlgBase(QWidget *parent)
    : QDialog(parent, CaptureWindowFlags), m_tracker(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    SnapshotScreen();
}

ScreenCaptureDlgBase::ScreenCaptureDlgBase(const ScreenSnapshot &snapshot, QWidget *parent)
    : QDialog(parent, CaptureWindowFlags), m_tracker(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setSnapshot(snapshot);
}

ScreenCaptureDlgBase::~ScreenCaptureDlgBase() = default;

void ScreenCaptureDlgBase::SnapshotScreen()
{
    setSnapshot(ScreenSnapshot::Take());
}

void ScreenCaptureDlgBase::startOver(const ScreenSnapshot &snapshot)
{
    if (m_tracker.IsTracking())
        m_tracker.TrackCancel();
    setSnapshot(snapshot);
    clearSelection();
    OnSelectionChanged();
    m_drawing = false;
    m_cancelledBy = Qt::NoButton;
    if (m_tip)
        m_tip->placeForSide(1);
}

void ScreenCaptureDlgBase::setSnapshot(const ScreenSnapshot &snapshot)
{
    // 32-bit pixels, which the selection is cut from directly.
    m_snapshot = snapshot.image.format() == QImage::Format_RGB32
        ? snapshot.image
        : snapshot.image.convertToFormat(QImage::Format_RGB32);
    m_snapshotError = snapshot.error;
    m_screenGeometry = snapshot.geometry;
    m_screenWidth = m_screenGeometry.width();
    m_screenHeight = m_screenGeometry.height();
    m_cursorPos = QCursor::pos() - m_screenGeometry.topLeft();
    if (m_screenGeometry.isValid())
        setGeometry(m_screenGeometry);
}

void ScreenCaptureDlgBase::InitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_tip = new CSTip(this);
    m_tip->placeForSide(1);
    m_tip->show();
    m_toolbar = new CSToolbar(ButtonPitch, ButtonSize, this);
    connect(m_toolbar, &CSToolbar::commandTriggered, this, &ScreenCaptureDlgBase::OnCommand);
    m_toolbar->hide();
    InitToolbarButtons();
    LoadTrackerCursors();
    if (m_screenGeometry.isValid())
        setGeometry(m_screenGeometry);
}

void ScreenCaptureDlgBase::OnCommand(int) { }
void ScreenCaptureDlgBase::InitToolbarButtons() { }
void ScreenCaptureDlgBase::LoadTrackerCursors() { }
void ScreenCaptureDlgBase::ShowCaptureMenu(const QPoint &) { }
void ScreenCaptureDlgBase::OnSelectionDblClick(const QPoint &) { }

QImage ScreenCaptureDlgBase::CopySelectionBitmap(const TrackRect &rect) const
{
    return CutPicture(m_snapshot, selectionPixels(rect));
}

QRect ScreenCaptureDlgBase::selectionPixels(const TrackRect &rect) const
{
    const TrackRect n = rect.normalized();
    if (n.isEmpty() || m_snapshot.isNull())
        return {};
    const TrackRect clipped{std::max(n.left, 0), std::max(n.top, 0),
                            std::min(n.right, m_screenWidth), std::min(n.bottom, m_screenHeight)};
    if (clipped.isEmpty())
        return {};
    const qreal ratio = m_snapshot.devicePixelRatio();
    return QRect(QPoint(qRound(clipped.left * ratio), qRound(clipped.top * ratio)),
                 QPoint(qRound(clipped.right * ratio) - 1, qRound(clipped.bottom * ratio) - 1))
        .intersected(m_snapshot.rect());
}

QImage ScreenCaptureDlgBase::CutPicture(const QImage &snapshot, const QRect &pixels)
{
    if (pixels.isEmpty() || !snapshot.rect().contains(pixels))
        return {};
    // Straight into 24-bit pixels: a JPEG writes them several times faster.
    const QImage part(snapshot.constScanLine(pixels.top()) + pixels.left() * 4, pixels.width(),
                      pixels.height(), snapshot.bytesPerLine(), snapshot.format());
    return part.convertToFormat(QImage::Format_RGB888);
}

void ScreenCaptureDlgBase::paintPicture(QPainter &painter, const QRect &area) const
{
    const qreal ratio = m_snapshot.devicePixelRatio();
    const QRect screen = area.intersected(QRect(0, 0, m_screenWidth, m_screenHeight));
    if (area != screen)
        painter.fillRect(area, Qt::black);
    if (screen.isEmpty() || m_snapshot.isNull())
        return;
    // The snapshot at DimOpacity over black, in one pass of the painter's blending.
    painter.fillRect(screen, Qt::black);
    painter.setOpacity(DimOpacity / 255.0);
    painter.drawImage(QRectF(screen), m_snapshot,
                      QRectF(screen.x() * ratio, screen.y() * ratio, screen.width() * ratio,
                             screen.height() * ratio));
    painter.setOpacity(1.0);
    if (m_hasSelection) {
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        m_tracker.Draw(painter);
        painter.restore();
    }
}

QImage ScreenCaptureDlgBase::currentPicture(const QRect &area) const
{
    const QRect part = area.isEmpty() ? QRect(0, 0, m_screenWidth, m_screenHeight) : area;
    const qreal ratio = m_snapshot.isNull() ? 1.0 : m_snapshot.devicePixelRatio();
    QImage picture((QSizeF(part.size()) * ratio).toSize(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    painter.translate(-part.topLeft());
    paintPicture(painter, part);
    return picture;
}

QRgb ScreenCaptureDlgBase::snapshotPixel(const QPoint &point) const
{
    const qreal ratio = m_snapshot.devicePixelRatio();
    const QPoint pixel(int(point.x() * ratio), int(point.y() * ratio));
    if (point.x() < 0 || point.y() < 0 || !m_snapshot.valid(pixel))
        return qRgb(0, 0, 0);
    return m_snapshot.pixel(pixel);
}

void ScreenCaptureDlgBase::OnSelectionChanged() { }

void ScreenCaptureDlgBase::UpdateCaptureRegion()
{
    OnSelectionChanged();
    QRegion region(rect());
    if (m_tip && m_tip->isVisible())
        region -= m_tip->geometry();
    if (m_toolbar && m_toolbar->isVisible())
        region -= m_toolbar->geometry();
    m_region = region;
    update(m_region);
    if (m_tip)
        m_tip->update();
}

void ScreenCaptureDlgBase::OnTrackerRectChanged(const TrackRect &rect, const TrackRect &previous)
{
    const TrackRect now = rect.normalized();
    const TrackRect before = previous.normalized();
    if (now.width() == before.width() && now.height() == before.height())
        placeToolbar();
    else if (m_toolbar)
        m_toolbar->hide();
}

void ScreenCaptureDlgBase::placeToolbar()
{
    if (!m_toolbar || !m_hasSelection)
        return;
    const TrackRect s = selection();
    const QSize size = m_toolbar->sizeForButtons();
    int x = s.right - size.width();
    int y = s.bottom + ToolbarGap;
    // Kept on the screen: above the selection when there is no room below it.
    if (y + size.height() > m_screenHeight)
        y = s.top - ToolbarGap - size.height();
    if (y < 0)
        y = std::max(0, m_screenHeight - size.height());
    x = std::clamp(x, 0, std::max(0, m_screenWidth - size.width()));
    m_toolbar->setGeometry(QRect(QPoint(x, y), size));
    m_toolbar->show();
    m_toolbar->raise();
}

void ScreenCaptureDlgBase::clearSelection()
{
    m_tracker.setRect({});
    m_hasSelection = false;
    if (m_toolbar)
        m_toolbar->hide();
}

bool ScreenCaptureDlgBase::event(QEvent *event)
{
    // Another window took the mouse: the drag ends where it was.
    if (event->type() == QEvent::WindowDeactivate)
        endLostDrag();
    return QDialog::event(event);
}

void ScreenCaptureDlgBase::endLostDrag()
{
    if (!m_tracker.IsTracking() && !m_drawing)
        return;
    if (m_tracker.IsTracking())
        m_tracker.TrackRelease(m_cursorPos);
    finishGesture();
}

void ScreenCaptureDlgBase::finishGesture()
{
    if (m_hasSelection)
        placeToolbar();
    m_drawing = false;
    UpdateCaptureRegion();
}

void ScreenCaptureDlgBase::updateCursor(const QPoint &point)
{
    if (m_tracker.IsTracking())
        return;
    if (m_hasSelection && !m_drawing && m_tracker.SetCursor(this, point))
        return;
    if (m_generalCursor)
        setCursor(*m_generalCursor);
    else
        unsetCursor();
}

void ScreenCaptureDlgBase::showEvent(QShowEvent *event)
{
    InitDialog();
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void ScreenCaptureDlgBase::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintPicture(painter, event->rect());
}

void ScreenCaptureDlgBase::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    m_cursorPos = point;
    if (event->button() == Qt::RightButton) {
        if (m_tracker.IsTracking()) {
            m_tracker.TrackCancel();
            m_cancelledBy = Qt::RightButton;
            placeToolbar();
            UpdateCaptureRegion();
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_hasSelection) {
        const int hit = m_tracker.HitTest(point);
        if (hit != CMyTracker::HitNothing && m_tracker.TrackHandle(hit, this, point))
            UpdateCaptureRegion();
        return;
    }
    m_hasSelection = true;
    m_drawing = true;
    m_anchor = point;
    m_tracker.setRect({point.x(), point.y(), point.x() + StartSize, point.y() + StartSize});
    UpdateCaptureRegion();
}

void ScreenCaptureDlgBase::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    m_cursorPos = point;
    if (m_tip && m_tip->geometry().contains(point))
        m_tip->flip();
    // A release that never came (the grab went to another window) ends the drag here.
    if ((m_tracker.IsTracking() || m_drawing) && !(event->buttons() & Qt::LeftButton)) {
        endLostDrag();
    } else if (m_tracker.IsTracking()) {
        m_tracker.TrackMove(point);
    } else if (m_drawing) {
        m_tracker.setRect(
            {m_anchor.x() + StartSize, m_anchor.y() + StartSize, point.x(), point.y()});
        UpdateCaptureRegion();
    }
    if (m_tip)
        m_tip->update();
    updateCursor(point);
}

void ScreenCaptureDlgBase::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    m_cursorPos = point;
    if (event->button() == m_cancelledBy) {
        m_cancelledBy = Qt::NoButton;
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_tracker.TrackRelease(point);
        finishGesture();
        return;
    }
    if (event->button() != Qt::RightButton)
        return;
    finishGesture();
    if (!m_hasSelection) {
        reject();
        return;
    }
    if (!selection().contains(point)) {
        clearSelection();
        UpdateCaptureRegion();
        return;
    }
    ShowCaptureMenu(point);
}

void ScreenCaptureDlgBase::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_hasSelection && selection().contains(point)) {
        OnSelectionDblClick(point);
        return;
    }
    mousePressEvent(event);
}

void ScreenCaptureDlgBase::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_tracker.IsTracking()) {
        m_tracker.TrackCancel();
        m_cancelledBy = Qt::LeftButton;
        placeToolbar();
        UpdateCaptureRegion();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace TAVRIKCORE::RICHEDITOR
