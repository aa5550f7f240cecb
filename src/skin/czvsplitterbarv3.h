// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "skin/czvsplitterbarex.h"

#include <QImage>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// A folding splitter bar with a skin picture: four frames side by side, each a quarter of the
// picture's width, drawn on the grip by the subclasses that paint it.
class TAVRIK_EXPORT CZvSplitterbarV3 : public CZvSplitterbarEx
{
    Q_OBJECT

public:
    CZvSplitterbarV3();
    ~CZvSplitterbarV3() override;

    // The picture, premultiplied for blending; a null image means no picture.
    void SetSkinPic(const QImage &picture);
    const QImage &skinPic() const;

    // Frame `index` (0..3) of the picture; a null image without a picture or for other indexes.
    QImage skinFrame(int index) const;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
