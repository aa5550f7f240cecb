// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/czvsplitterbarv3.h"

namespace TAVRIKCORE::RICHEDITOR {

class CZvSplitterbarV3::Private
{
public:
    QImage skinPic;
};

CZvSplitterbarV3::CZvSplitterbarV3() : d(std::make_unique<Private>()) { }

CZvSplitterbarV3::~CZvSplitterbarV3() = default;

void CZvSplitterbarV3::SetSkinPic(const QImage &picture)
{
    d->skinPic = picture;
    update();
}

const QImage &CZvSplitterbarV3::skinPic() const
{
    return d->skinPic;
}

QImage CZvSplitterbarV3::skinFrame(int index) const
{
    if (d->skinPic.isNull() || index < 0 || index > 3)
        return {};
    const int width = d->skinPic.width() / 4;
    if (width <= 0)
        return {};
    return d->skinPic.copy(index * width, 0, width, d->skinPic.height());
}

} // namespace TAVRIKCORE::RICHEDITOR
