// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The snapshot of a Wayland session, asked of a stand-in desktop portal on a private session
// bus: the portal's picture becomes the capture's screen; a missing portal, a refusal,
// silence and an unreadable picture are explained and open no capture window.
#include "capture/screenshotportal_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

class CapturePortal : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_bus = new QProcess;
        s_bus->start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        ASSERT_TRUE(s_bus->waitForReadyRead(10000)) << "dbus-daemon does not start";
        qputenv("DBUS_SESSION_BUS_ADDRESS", s_bus->readLine().trimmed());
        qputenv("XDG_SESSION_TYPE", "wayland");
    }
    static void TearDownTestSuite()
    {
        s_bus->kill();
        s_bus->waitForFinished();
        delete s_bus;
    }
    void TearDown() override
    {
        m_portal.kill();
        m_portal.waitForFinished();
    }
    void serve(const QStringList &answers)
    {
        m_portal.start(QStringLiteral(PORTAL_STANDIN), answers);
        ASSERT_TRUE(m_portal.waitForReadyRead(10000));
        ASSERT_EQ(m_portal.readLine(), "ready\n");
    }
    static QString take(int timeoutMs = 5000)
    {
        QString error;
        EXPECT_TRUE(
            ScreenshotPortal::Take(QDBusConnection::sessionBus(), &error, timeoutMs).isNull());
        return error;
    }

    static inline QProcess *s_bus = nullptr;
    QProcess m_portal;
    RecordingPrompts m_prompts;
};

TEST_F(CapturePortal, WaylandSessionsAskThePortal)
{
    EXPECT_EQ(ScreenSnapshot::SourceFor(u"wayland"_s, QString()), ScreenSnapshot::Source::Portal);
    EXPECT_EQ(ScreenSnapshot::SourceFor(u"xcb"_s, u"wayland"_s), ScreenSnapshot::Source::Portal);
    EXPECT_EQ(ScreenSnapshot::SourceFor(u"xcb"_s, u"x11"_s), ScreenSnapshot::Source::Screen);
}

TEST_F(CapturePortal, WithoutAPortalTheUserIsToldAndNoWindowOpens)
{
    LogCapture log;
    EXPECT_EQ(ZorvaNoteScreenCapture::Run(nullptr, nullptr, false), 0);
    const QString reason = u"The desktop portal cannot take a screenshot: "_s;
    ASSERT_EQ(m_prompts.messages().size(), 1);
    EXPECT_TRUE(
        m_prompts.messages()[0].startsWith(u"The screen could not be captured. "_s + reason))
        << m_prompts.messages()[0].toStdString();
    EXPECT_EQ(m_prompts.shown()[0].title, u"Screen capture"_s);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].startsWith(u"[ERROR] Screen capture: "_s + reason));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(CapturePortal, ThePortalsPictureIsTheScreenAtItsPixelRatio)
{
    QTemporaryDir folder;
    QImage picture(1600, 1200, QImage::Format_RGB32);
    picture.fill(qRgb(30, 60, 90));
    picture.setPixel(21, 1, qRgb(250, 0, 0));
    const QString path = folder.filePath(u"shot.png"_s);
    ASSERT_TRUE(picture.save(path));
    serve({u"picture:"_s + path, u"refuse"_s, u"silent"_s, u"picture:/nowhere/shot.png"_s});

    QImage shown, copied;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<ZorvaNoteScreenCapture *>(QApplication::activeModalWidget());
        if (!capture)
            return;
        user.stop();
        shown = capture->snapshot();
        copied = capture->CopySelectionBitmap({10, 0, 20, 10});
        capture->OnCommand(ZorvaNoteScreenCapture::Exit);
    });
    user.start(20);
    EXPECT_EQ(ZorvaNoteScreenCapture::Run(nullptr, nullptr, false), 1);
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(shown.size(), QSize(1600, 1200));
    EXPECT_EQ(copied.size(), QSize(20, 20));
    EXPECT_EQ(copied.pixel(1, 1), qRgb(250, 0, 0));

    EXPECT_EQ(take(), u"The desktop portal refused the screenshot."_s);
    EXPECT_EQ(take(300), u"The desktop portal did not answer."_s);
    EXPECT_EQ(take(), u"The desktop portal's picture cannot be read: file:///nowhere/shot.png"_s);
}
