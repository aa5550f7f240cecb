// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A capture on a real X server, started from the editor page: a window with four coloured
// quarters is on the screen, the user drags a selection across it and completes, and the note
// gets the picture of what was selected.
#include "capture/cstip_p.h"
#include "capture/cstoolbar_p.h"
#include "capture/sticonbutton_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// Quarters of the pattern: top-left, top-right, bottom-left, bottom-right.
const QRgb Quarters[4]
    = {qRgb(220, 40, 40), qRgb(40, 200, 60), qRgb(40, 60, 220), qRgb(230, 220, 40)};

class Pattern : public QWidget
{
public:
    Pattern() { setWindowFlags(Qt::FramelessWindowHint); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int w = width() / 2, h = height() / 2;
        for (int i = 0; i < 4; ++i)
            painter.fillRect((i % 2) * w, (i / 2) * h, w, h, QColor(Quarters[i]));
    }
};

int distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
        + std::abs(qBlue(a) - qBlue(b));
}

} // namespace

using CaptureOnScreen = AppFolderTest;

TEST_F(CaptureOnScreen, DragAndCompleteInsertsTheSelectedPicture)
{
    stageEditorPage(m_app.path());
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    RecordingPrompts prompts;
    EditorHost host;
    CZorvaEditorImpl editor;
    host.setGeometry(700, 560, 520, 400);
    ASSERT_TRUE(openEditor(&editor, &host, QRect(0, 0, 500, 380)));
    QString noteId = u"shot"_s;
    editor.NewEditor(noteId, false);

    Pattern pattern;
    pattern.setGeometry(100, 100, 300, 200);
    pattern.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pattern));
    QTest::qWait(300);

    // The user, once the capture window is up.
    bool hostHidden = false;
    QPointer<ZorvaNoteScreenCapture> first;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<ZorvaNoteScreenCapture *>(QApplication::activeModalWidget());
        if (!capture || !capture->isVisible())
            return;
        user.stop();
        first = capture;
        hostHidden = !host.isVisible();
        QCursor::setPos(116, 116);
        QTest::mousePress(capture, Qt::LeftButton, {}, {116, 116});
        for (int step = 1; step <= 8; ++step) {
            QCursor::setPos(116 + step * 30, 116 + step * 20);
            QTest::mouseMove(capture, {116 + step * 30, 116 + step * 20});
        }
        QTest::mouseRelease(capture, Qt::LeftButton, {}, {356, 276});
        EXPECT_EQ(capture->selection(), (TrackRect{120, 120, 356, 276}));
        QTest::mouseClick(capture->toolbar()->buttons().at(3), Qt::LeftButton);
    });
    user.start(50);
    runScript(editor.page(),
              u"CppProcessor('SreenCapture', JSON.stringify({hideMainWnd: true}), '')"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !user.isActive() && host.isVisible(); }, 20000));
    EXPECT_TRUE(hostHidden) << "the editor's window leaves the screen during the capture";
    EXPECT_EQ(prompts.messages(), QStringList());

    ASSERT_TRUE(waitForScript(editor.page(),
                              u"Tavrik.editor.document().querySelectorAll('img').length === 1"_s));
    const QStringList stored = QDir(m_root).entryList({u"*.jpg"_s}, QDir::Files);
    ASSERT_EQ(stored.size(), 1);
    const QImage picture(m_root + stored[0]);
    ASSERT_EQ(picture.size(), QSize(236, 156));
    // Picture (x, y) is screen (120 + x, 120 + y); the quarters meet at screen (250, 200).
    const struct
    {
        QPoint at;
        int quarter;
    } samples[] = {{{10, 10}, 0}, {{124, 10}, 0},  {{136, 10}, 1},  {{230, 70}, 1},
                   {{10, 86}, 2}, {{124, 150}, 2}, {{136, 150}, 3}, {{230, 90}, 3}};
    for (const auto &s : samples)
        EXPECT_LE(distance(picture.pixel(s.at), Quarters[s.quarter]), 30)
            << "at " << s.at.x() << ',' << s.at.y();
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // The next capture opens in the same window, kept hidden without the screen's picture,
    // and starts without a selection; leaving it adds nothing.
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(first->hasSnapshot());
    bool fresh = false;
    QObject::disconnect(&user, nullptr, nullptr, nullptr);
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<ZorvaNoteScreenCapture *>(QApplication::activeModalWidget());
        if (!capture || !capture->isVisible())
            return;
        user.stop();
        fresh = capture == first && !capture->hasSelection() && capture->hasSnapshot()
            && !capture->toolbar()->isVisible() && capture->tip()->side() == 1;
        QTest::keyClick(capture, Qt::Key_Escape);
    });
    user.start(50);
    runScript(editor.page(),
              u"CppProcessor('SreenCapture', JSON.stringify({hideMainWnd: false}), '')"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !user.isActive() && !first->isVisible(); }, 20000));
    EXPECT_TRUE(fresh);
    EXPECT_EQ(QDir(m_root).entryList({u"*.jpg"_s}, QDir::Files), stored);
    qunsetenv("TMPDIR");
}
