// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/cstoolbar_p.h"

#include "capture/sticonbutton_p.h"

#include <QPainter>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr int Padding = 4;

} // namespace

CSToolbar::CSToolbar(int pitch, int buttonSize, QWidget *parent)
    : QWidget(parent), m_pitch(pitch), m_buttonSize(buttonSize)
{ }

CSToolbar::~CSToolbar()
{
    ClearButtons();
}

STIconButton *CSToolbar::AddButton(const QPixmap &icon, const QString &tooltip, int id)
{
    auto *button = new STIconButton(id, this);
    button->SetIcon(icon);
    button->SetTooltipText(tooltip);
    connect(button, &QAbstractButton::clicked, this, [this, id] { Q_EMIT commandTriggered(id); });
    m_buttons.push_back(button);
    layoutButtons();
    button->show();
    return button;
}

void CSToolbar::ClearButtons()
{
    for (STIconButton *button : m_buttons)
        delete button;
    m_buttons.clear();
}

QSize CSToolbar::sizeForButtons() const
{
    return QSize(int(m_buttons.size()) * m_pitch + 2 * Padding, m_buttonSize + 2 * Padding);
}

void CSToolbar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(FrameColor));
    painter.fillRect(rect().adjusted(1, 1, -1, -1), QColor::fromRgb(FillColor));
}

void CSToolbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void CSToolbar::layoutButtons()
{
    if (m_buttons.empty())
        return;
    QRect band = rect().adjusted(Padding, Padding, -Padding, -Padding);
    if (band.height() > m_buttonSize) {
        band.setTop(band.top() + (band.height() - m_buttonSize) / 2);
        band.setHeight(m_buttonSize);
    }
    for (size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setGeometry(band.left() + int(i) * m_pitch, band.top(), m_buttonSize,
                                  band.height());
}

} // namespace TAVRIKCORE::RICHEDITOR
