// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/sticonbutton_p.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

namespace TAVRIKCORE::RICHEDITOR {

STIconButton::STIconButton(int id, QWidget *parent) : QAbstractButton(parent), m_id(id)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void STIconButton::SetIcon(const QPixmap &icon)
{
    m_icon = icon;
    update();
}

void STIconButton::SetTooltipText(const QString &text)
{
    m_tooltipText = text;
}

STIconButton::DrawState STIconButton::drawState() const
{
    if (!isEnabled())
        return Disabled;
    if (isDown())
        return Pressed;
    if (m_hover)
        return Hover;
    if (hasFocus())
        return Focus;
    return Normal;
}

bool STIconButton::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
            event->accept();
            return true;
        }
    }
    return QAbstractButton::event(event);
}

void STIconButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    setToolTip(m_tooltipText);
    update();
    QAbstractButton::enterEvent(event);
}

void STIconButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    setToolTip(QString());
    QToolTip::hideText();
    update();
    QAbstractButton::leaveEvent(event);
}

void STIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(Background));
    const QSize iconSize = m_icon.isNull() ? QSize() : m_icon.deviceIndependentSize().toSize();
    QRect iconRect(QPoint((width() - iconSize.width()) / 2, (height() - iconSize.height()) / 2),
                   iconSize);
    const DrawState state = drawState();
    if (state == Hover || state == Pressed)
        painter.fillRect(iconRect.adjusted(-4, -4, 4, 4), QColor::fromRgb(HoverFill));
    if (state == Pressed)
        iconRect.translate(1, 1);
    if (!m_icon.isNull())
        painter.drawPixmap(iconRect.topLeft(), m_icon);
}

} // namespace TAVRIKCORE::RICHEDITOR
