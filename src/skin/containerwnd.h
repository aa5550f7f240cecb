// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QWidget>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// A child window that holds other windows and lays them out whenever it is resized.
class TAVRIK_EXPORT ContainerWnd : public QWidget
{
    Q_OBJECT

public:
    // Style bit that makes the window visible as soon as it is created.
    static constexpr int StyleVisible = 0x10000000;

    ContainerWnd();
    ~ContainerWnd() override;

    // Places the window in `parent` at `rect` with the child id `id`; shown at once when
    // `style` has StyleVisible. Returns non-zero on success, 0 without a parent or when the
    // window was already created.
    virtual int Create(QWidget *parent, const QRect &rect, int id, int style);

    // The child id given to Create (0 before).
    int id() const;

    // Called with the client rectangle (origin 0,0) on every resize; lays out the children.
    // Does nothing by default.
    virtual void AdjustLayout(const QRect &clientRect);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
