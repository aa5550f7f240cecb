// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The capture's selection encoded while it rests: the JPEG made on the worker is the one a
// fresh encode of the selection gives, a selection that changed never gets the old picture,
// a discarded encode keeps nothing; through the capture window, a selection moved after its
// encode began completes with its new picture. Also run under the thread sanitizer.
#include "attach/attachstore_p.h"
#include "capture/capturedpicture_p.h"
#include "capture/cstoolbar_p.h"
#include "capture/iscreencapturenotify.h"
#include "capture/selectionencoder_p.h"
#include "capture/sticonbutton_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "testhelpers.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// A 640 x 400 screen of gradients and bars, so every part encodes differently.
QImage screen(int seed = 0)
{
    QImage image(640, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 640, 400);
    sky.setColorAt(0, QColor::fromHsv(seed * 40 % 360, 180, 200));
    sky.setColorAt(1, QColor(230, 170, 90));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 20; ++i)
        painter.fillRect(i * 32, (i * 53) % 300, 20, 90, QColor::fromHsv(i * 17, 200, 160));
    return image;
}

QByteArray freshJpeg(const QImage &snapshot, const QRect &pixels)
{
    return AttachStore::EncodeJpeg(ScreenCaptureDlgBase::CutPicture(snapshot, pixels));
}

// Waits until the selection has rested and its encode has started.
bool rested(const SelectionEncoder &encoder)
{
    return QTest::qWaitFor([&] { return encoder.encoding(); });
}

} // namespace

TEST(SelectionEncoder, TheRestingSelectionsJpegIsAFreshEncodeOfIt)
{
    const QImage snapshot = screen();
    const QRect part(30, 40, 300, 200);
    SelectionEncoder encoder;
    encoder.follow(snapshot, part);
    EXPECT_FALSE(encoder.encoding()) << "not before the selection rests";
    ASSERT_TRUE(rested(encoder));
    const SelectionPicture picture = encoder.picture(snapshot, part);
    EXPECT_EQ(picture.image, snapshot.copy(part).convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(picture.jpeg, freshJpeg(snapshot, part));
    EXPECT_TRUE(picture.jpeg.startsWith("\xFF\xD8\xFF"));

    // The same selection followed again keeps its encode; pixels the snapshot does not hold
    // give nothing.
    encoder.follow(snapshot, part);
    EXPECT_TRUE(encoder.encoding());
    EXPECT_TRUE(encoder.picture(snapshot, QRect(600, 0, 41, 10)).image.isNull());
    EXPECT_TRUE(encoder.picture(snapshot, QRect(600, 0, 41, 10)).jpeg.isEmpty());
}

TEST(SelectionEncoder, AChangedSelectionNeverGetsTheOldPicture)
{
    const QImage snapshot = screen();
    const QRect first(0, 0, 320, 200);
    const QRect second(0, 0, 320, 201);
    SelectionEncoder encoder;
    encoder.follow(snapshot, first);
    ASSERT_TRUE(rested(encoder));
    encoder.follow(snapshot, second);
    EXPECT_FALSE(encoder.encoding()) << "the first selection's encode is thrown away";
    const SelectionPicture picture = encoder.picture(snapshot, second);
    EXPECT_EQ(picture.image.size(), QSize(320, 201));
    EXPECT_EQ(picture.jpeg, freshJpeg(snapshot, second));
    EXPECT_NE(picture.jpeg, freshJpeg(snapshot, first));

    // A new snapshot with the same selection is a new picture too.
    const QImage next = screen(1);
    ASSERT_TRUE(rested(encoder));
    encoder.follow(next, second);
    EXPECT_FALSE(encoder.encoding());
    EXPECT_EQ(encoder.picture(next, second).jpeg, freshJpeg(next, second));
    EXPECT_NE(encoder.picture(next, second).jpeg, picture.jpeg);
}

TEST(SelectionEncoder, DiscardedWorkKeepsNothingAndManyChangesStayConsistent)
{
    QImage snapshot = screen();
    {
        SelectionEncoder encoder;
        encoder.follow(snapshot, QRect(10, 10, 600, 380));
        ASSERT_TRUE(rested(encoder));
        encoder.discard();
        EXPECT_FALSE(encoder.encoding());
        // Neither the encoder nor its worker holds the screen any longer.
        EXPECT_TRUE(QTest::qWaitFor([&] { return snapshot.isDetached(); }));
        encoder.follow(snapshot, QRect(10, 10, 600, 380));
        encoder.discard();
        QTest::qWait(SelectionEncoder::RestMs * 2);
        EXPECT_FALSE(encoder.encoding()) << "a discarded selection is not encoded after its rest";
    }

    // Selections changing while their encodes run, and clicks while they run: every picture
    // is the one of the selection asked for.
    SelectionEncoder encoder;
    for (int i = 0; i < 12; ++i) {
        const QRect part(i * 7, i * 5, 200 + i * 13, 150 + i * 9);
        encoder.follow(snapshot, part);
        ASSERT_TRUE(rested(encoder));
        if (i % 3 == 0) {
            encoder.follow(snapshot, part.adjusted(0, 0, 1, 1));
            continue;
        }
        const SelectionPicture picture = encoder.picture(snapshot, part);
        ASSERT_EQ(picture.jpeg, freshJpeg(snapshot, part)) << "run " << i;
    }
}

namespace {

// Records the bytes prepared for each completed picture.
struct PreparedRecorder : IScreenCaptureNotify
{
    std::vector<QByteArray> prepared;
    void OnScreenCaptureComplet(const QImage &bitmap) override
    {
        prepared.push_back(Internal::PreparedJpeg::bytesFor(bitmap));
    }
};

void drag(QWidget *capture, QPoint from, QPoint to)
{
    QTest::mousePress(capture, Qt::LeftButton, {}, from);
    QTest::mouseMove(capture, to);
    QTest::mouseRelease(capture, Qt::LeftButton, {}, to);
}

STIconButton *completeButton(ZorvaNoteScreenCapture &capture)
{
    return capture.toolbar()->buttons().at(3);
}

} // namespace

TEST(CaptureWindowRest, ASelectionMovedAfterItsEncodeStartedCompletesWithItsNewPicture)
{
    PreparedRecorder recorder;
    const ScreenSnapshot snapshot{screen(), QRect(0, 0, 640, 400), QString()};
    ZorvaNoteScreenCapture capture(&recorder, snapshot);
    capture.show();
    drag(&capture, {20, 20}, {400, 300});
    ASSERT_TRUE(rested(capture.encoder()));
    // Moved by its inside 30 pixels right and clicked at once.
    drag(&capture, {100, 100}, {130, 100});
    EXPECT_FALSE(capture.encoder().encoding());
    completeButton(capture)->click();
    ASSERT_EQ(recorder.prepared.size(), 1u);
    EXPECT_EQ(recorder.prepared[0], freshJpeg(snapshot.image, QRect(54, 24, 376, 276)));

    // Escape during the rest's encode ends the capture and throws the encode away.
    ZorvaNoteScreenCapture left(&recorder, snapshot);
    left.show();
    drag(&left, {10, 10}, {300, 200});
    ASSERT_TRUE(rested(left.encoder()));
    QTest::keyClick(&left, Qt::Key_Escape);
    EXPECT_EQ(left.result(), QDialog::Rejected);
    EXPECT_FALSE(left.encoder().encoding());
    EXPECT_EQ(recorder.prepared.size(), 1u);
}
