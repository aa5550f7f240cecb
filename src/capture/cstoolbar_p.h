// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QWidget>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class STIconButton;

// The capture's toolbar: a framed light blue strip of icon buttons in a row, 4 pixels in from
// its edges. A click on a button gives the button's command.
class TAVRIK_AUTOTEST_EXPORT CSToolbar : public QWidget
{
    Q_OBJECT
public:
    static constexpr QRgb FrameColor = 0xFF508DBF; // 80, 141, 191
    static constexpr QRgb FillColor = 0xFFD8F1FF; // 216, 241, 255

    // Buttons `buttonSize` square, `pitch` apart.
    CSToolbar(int pitch, int buttonSize, QWidget *parent);
    ~CSToolbar() override;

    // Appends a button showing `icon` (may be null) and `tooltip` that gives `id`.
    STIconButton *AddButton(const QPixmap &icon, const QString &tooltip, int id);
    // Removes every button.
    void ClearButtons();
    const std::vector<STIconButton *> &buttons() const { return m_buttons; }
    // The toolbar's size for its buttons: count x pitch + 8 wide, button size + 8 high.
    QSize sizeForButtons() const;

Q_SIGNALS:
    void commandTriggered(int id);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutButtons();

    int m_pitch;
    int m_buttonSize;
    std::vector<STIconButton *> m_buttons;
};

} // namespace TAVRIKCORE::RICHEDITOR
