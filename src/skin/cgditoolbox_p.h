// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QImage>
#include <QRect>

namespace TAVRIKCORE::RICHEDITOR {

// Small drawing helpers.
class TAVRIK_AUTOTEST_EXPORT CGdiToolBox
{
public:
    // Decodes an image file held in memory (PNG, JPEG, BMP, GIF, ...). Returns non-zero on
    // success; on failure (no bytes, size 0 or less, unreadable data) `image` is left unchanged.
    static int LoadImageFromMemory(QImage &image, const char *bytes, qint64 size);

    // Prepares a 32-bit bitmap for alpha blending: every colour channel becomes
    // channel * alpha / 255, rounded to the nearest integer, and the image becomes
    // Format_ARGB32_Premultiplied. A 32-bit bitmap without alpha becomes opaque premultiplied;
    // one already premultiplied and bitmaps of other depths are left as they are.
    static void PreMultiplyAlpha(QImage &bitmap);

    // A rectangle of width x height centred in `outer`. When the leftover space is odd the
    // extra pixel goes to the right (bottom) margin; a rectangle larger than `outer` overhangs
    // it by one more pixel on the left (top).
    static QRect RectCenter(const QRect &outer, int width, int height);
};

} // namespace TAVRIKCORE::RICHEDITOR
