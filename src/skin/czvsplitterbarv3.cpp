// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/czvsplitterbarv3.h"

namespace TAVRIKCORE::RICHEDITOR {

CZvSplitterbarV3::CZvSplitterbarV3() = default;

CZvSplitterbarV3::~CZvSplitterbarV3() = default;

void CZvSplitterbarV3::SetSkinPic(const QImage &picture)
{
    m_skinPic = picture;
    update();
}

QImage CZvSplitterbarV3::skinFrame(int index) const
{
    if (m_skinPic.isNull() || index < 0 || index > 3)
        return {};
    const int width = m_skinPic.width() / 4;
    if (width <= 0)
        return {};
    return m_skinPic.copy(index * width, 0, width, m_skinPic.height());
}

} // namespace TAVRIKCORE::RICHEDITOR
