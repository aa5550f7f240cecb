// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/czvsplitterbarex.h"

namespace TAVRIKCORE::RICHEDITOR {

CZvSplitterbarEx::CZvSplitterbarEx() = default;

CZvSplitterbarEx::~CZvSplitterbarEx() = default;

void CZvSplitterbarEx::DoLButtonDown(const QPoint &pos)
{
    if (gripRect().contains(pos)) {
        FoldBar(isFolded() ? 0 : 1);
        return;
    }
    CZvSplitterbar::DoLButtonDown(pos);
}

void CZvSplitterbarEx::FoldBar(int fold)
{
    setFolded(fold != 0);
    const bool towardsFirst = isHorizontal() ? berthPos() == Top : berthPos() == Left;
    QWidget *berthPane = towardsFirst ? firstPane() : secondPane();
    AdjustLayout();
    if (berthPane)
        berthPane->setVisible(fold == 0);
    update();
}

} // namespace TAVRIKCORE::RICHEDITOR
