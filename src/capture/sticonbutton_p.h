// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QAbstractButton>
#include <QPixmap>

namespace TAVRIKCORE::RICHEDITOR {

// A toolbar button that shows an icon at its own size on a light blue background, lit up
// while the mouse is over it or it is pressed. The keyboard cannot press it.
class TAVRIK_AUTOTEST_EXPORT STIconButton : public QAbstractButton
{
    Q_OBJECT
public:
    enum DrawState { Normal = 0, Hover = 1, Pressed = 2, Focus = 3, Disabled = 4 };
    static constexpr QRgb Background = 0xFFD8F1FF; // 216, 241, 255
    static constexpr QRgb HoverFill = 0xFFA7DEFD; // 167, 222, 253

    STIconButton(int id, QWidget *parent);

    // The command the button gives.
    int id() const { return m_id; }
    // Shows `icon` (a null one leaves the button without an icon).
    void SetIcon(const QPixmap &icon);
    // The text shown while the mouse is over the button.
    void SetTooltipText(const QString &text);
    QString tooltipText() const { return m_tooltipText; }
    bool isHovered() const { return m_hover; }
    // What the button shows now.
    DrawState drawState() const;

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_id;
    QPixmap m_icon;
    QString m_tooltipText;
    bool m_hover = false;
};

} // namespace TAVRIKCORE::RICHEDITOR
