// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/cgditoolbox_p.h"
#include "testhelpers.h"

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

QRgb rawPixel(const QImage &image, int x)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(0))[x];
}

} // namespace

TEST(CGdiToolBox, LoadImageFromMemoryDecodesPngAndRefusesEverythingElse)
{
    QImage source(3, 2, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 255));
    source.setPixel(2, 1, qRgba(200, 100, 50, 128));
    const QByteArray png = pngBytes(source);
    ASSERT_TRUE(png.startsWith("\x89PNG"));

    QImage image;
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), png.size()), 1);
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgba(10, 20, 30, 255));
    EXPECT_EQ(image.pixel(2, 1), qRgba(200, 100, 50, 128));

    const QImage before = image;
    const QByteArray garbage("this is not an image at all");
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, garbage.constData(), garbage.size()), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), png.size() / 2), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), 0), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, png.constData(), -1), 0);
    EXPECT_EQ(CGdiToolBox::LoadImageFromMemory(image, nullptr, 100), 0);
    EXPECT_EQ(image, before) << "a failed load must leave the image alone";
}

TEST(CGdiToolBox, PreMultiplyAlphaScalesEachChannelRoundedToNearest)
{
    const std::vector<std::pair<QRgb, QRgb>> cases
        = {{qRgba(255, 128, 1, 0), qRgba(0, 0, 0, 0)},
           {qRgba(10, 20, 30, 255), qRgba(10, 20, 30, 255)},
           {qRgba(255, 255, 255, 128), qRgba(128, 128, 128, 128)},
           {qRgba(1, 128, 255, 127), qRgba(0, 64, 127, 127)},
           {qRgba(200, 100, 50, 1), qRgba(1, 0, 0, 1)},
           {qRgba(128, 64, 192, 64), qRgba(32, 16, 48, 64)},
           {qRgba(255, 1, 128, 254), qRgba(254, 1, 127, 254)}};
    QImage argb(int(cases.size()), 1, QImage::Format_ARGB32);
    for (int x = 0; x < argb.width(); ++x)
        argb.setPixel(x, 0, cases[size_t(x)].first);
    QImage rgba = argb.convertToFormat(QImage::Format_RGBA8888);

    for (QImage *image : {&argb, &rgba}) {
        CGdiToolBox::PreMultiplyAlpha(*image);
        ASSERT_EQ(image->format(), QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < image->width(); ++x)
            EXPECT_EQ(rawPixel(*image, x), cases[size_t(x)].second) << "pixel " << x;
    }
}

TEST(CGdiToolBox, PreMultiplyAlphaMakesOpaqueOrLeavesOtherBitmapsAlone)
{
    QImage rgb = filledImage(1, 1, qRgb(0x11, 0x22, 0x33));
    CGdiToolBox::PreMultiplyAlpha(rgb);
    EXPECT_EQ(rgb.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(rawPixel(rgb, 0), 0xff112233u);

    QImage premultiplied(1, 1, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(Qt::transparent);
    reinterpret_cast<QRgb *>(premultiplied.scanLine(0))[0] = 0x80404040u;
    CGdiToolBox::PreMultiplyAlpha(premultiplied);
    EXPECT_EQ(rawPixel(premultiplied, 0), 0x80404040u) << "premultiplied twice";

    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(255, 255, 255, 128)});
    indexed.fill(0);
    const QImage indexedBefore = indexed;
    CGdiToolBox::PreMultiplyAlpha(indexed);
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed, indexedBefore);

    QImage null;
    CGdiToolBox::PreMultiplyAlpha(null);
    EXPECT_TRUE(null.isNull());
}

TEST(CGdiToolBox, RectCenterPutsTheOddPixelRightAndBelow)
{
    const QRect outer(10, 20, 10, 9);
    const std::tuple<int, int, QRect> cases[] = {
        {4, 3, QRect(13, 23, 4, 3)}, // even leftovers
        {3, 4, QRect(13, 22, 3, 4)}, // odd: 3 left / 4 right, 2 above / 3 below
        {10, 9, QRect(10, 20, 10, 9)}, // same size
        {0, 0, QRect(15, 24, 0, 0)}, // empty
        {11, 10, QRect(9, 19, 11, 10)}, // one larger: overhangs left and above
        {13, 12, QRect(8, 18, 13, 12)} // three larger: 2 left / 1 right
    };
    for (const auto &[width, height, expected] : cases)
        EXPECT_EQ(CGdiToolBox::RectCenter(outer, width, height), expected)
            << width << "x" << height;
}
