// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The screen capture on an X server of its own (xvfb-run, 1920 x 1080):
// - capture_open_vs_grab: from OnScreenCapture to the capture window's first paint, over a
//   bare QScreen::grabWindow of the same screen;
// - capture_complete_vs_add: from the click on the toolbar's complete button, with the
//   selection (dragged over the whole screen) resting 200 ms before it, until the picture is in
//   the loaded note (JPEG, store, page), over adding the same picture file with
//   AddDropFileToEditor.
// Both measured alternately in one run, medians.
#include "benchutil.h"
#include "editorpagebench.h"

#include "attach/dropfiles_p.h"
#include "bridge/zvwebnotehandler.h"
#include "capture/cstoolbar_p.h"
#include "capture/screencapturedlgbase_p.h"
#include "capture/sticonbutton_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "common/commonutils.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

using TavrikBench::median;

namespace {

constexpr int Runs = 15;

// Runs this program again on an X server of its own, unless it runs on one already.
void runOnOwnXServer(char **argv)
{
    if (qEnvironmentVariableIsSet("TAVRIK_CAPTURE_BENCH_X"))
        return;
    qputenv("TAVRIK_CAPTURE_BENCH_X", "1");
    qputenv("QT_QPA_PLATFORM", "xcb");
    std::vector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"),
                             const_cast<char *>("-s"),
                             const_cast<char *>("-screen 0 1920x1080x24 -nolisten tcp")};
    for (char **arg = argv; *arg; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    std::exit(1);
}

// Handles the first paint of a capture window itself, notes when it was done and closes the
// window.
class FirstPaint : public QObject
{
public:
    QElapsedTimer clock;
    double seconds = -1;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *capture = qobject_cast<ScreenCaptureDlgBase *>(object);
        if (!capture || event->type() != QEvent::Paint || seconds >= 0)
            return false;
        static_cast<QObject *>(capture)->event(event);
        seconds = clock.nsecsElapsed() / 1e9;
        QTimer::singleShot(0, capture, &QDialog::reject);
        return true;
    }
};

// A busy 1920 x 1080 desktop: gradients, text and edges.
QImage desktop()
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 1920, 1080);
    sky.setColorAt(0, QColor(40, 90, 160));
    sky.setColorAt(1, QColor(220, 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::black);
    for (int row = 0; row < 60; ++row)
        painter.drawText(
            20 + (row % 7) * 9, 18 * row + 16,
            QStringLiteral("Quarterly report %1: figures, notes and pictures").arg(row));
    for (int i = 0; i < 40; ++i)
        painter.fillRect(900 + i * 24, 100 + (i * 37) % 800, 20, 120,
                         QColor::fromHsv(i * 9, 200, 220));
    return image;
}

// The handler as the capture's notify target, as OnScreenCapture hands it on.
class CaptureHandler : public ZvWebNoteHandler
{
public:
    IScreenCaptureNotify *captureNotify() { return this; }
};

} // namespace

int main(int argc, char **argv)
{
    runOnOwnXServer(argv);
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    TavrikBench::EditorPageBench<CaptureHandler> editor;
    if (!editor.ready)
        return 1;
    auto &[work, prompts, handler, browser, ready] = editor;

    // Opening: the whole capture up to its first paint, against reading the screen alone, from
    // the editor's page as a user starts it.
    QScreen *screen = QGuiApplication::primaryScreen();
    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    std::vector<double> opening;
    std::vector<double> grabbing;
    for (int run = 0; run < Runs + 1; ++run) {
        firstPaint.seconds = -1;
        firstPaint.clock.start();
        handler.OnScreenCapture(0);
        const double open = firstPaint.seconds;
        const double grab = TavrikBench::secondsOf([&] { screen->grabWindow(0); });
        if (open < 0) {
            std::fprintf(stderr, "the capture window was not painted (%d messages)\n",
                         prompts.messages);
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        opening.push_back(open);
        grabbing.push_back(grab);
    }
    app.removeEventFilter(&firstPaint);
    TavrikBench::report("capture_open_vs_grab", median(opening) / median(grabbing),
                        TavrikBench::Goal::AtMost, 2.0);
    std::fprintf(stderr, "opening %.1f ms, grabWindow %.1f ms (medians of %d)\n",
                 median(opening) * 1000, median(grabbing) * 1000, Runs);

    // Completing: a full-screen selection into a loaded note, against adding its picture file.
    // A fresh note on a page that has finished drawing it, as the page is when the capture
    // window closes.
    const auto resetNote = [&] {
        handler.SetEditorHtml(QStringLiteral("<p>Screen of the meeting:</p>"));
        handler.SetCurNoteGuid(CreateGuidString());
        TavrikBench::settle(150);
    };
    const ScreenSnapshot snapshot{desktop(), QRect(0, 0, 1920, 1080), QString()};
    const auto select = [](ZorvaNoteScreenCapture &capture) {
        capture.InitDialog();
        const auto send = [&](QEvent::Type type, QPoint point, Qt::MouseButtons buttons) {
            QMouseEvent event(type, point, point, Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(&capture, &event);
        };
        send(QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton);
        send(QEvent::MouseMove, {1920, 1080}, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {1920, 1080}, Qt::NoButton);
    };
    const QString picture = work.path() + QStringLiteral("/capture.jpg");
    {
        ZorvaNoteScreenCapture capture(handler.captureNotify(), snapshot);
        select(capture);
        capture.CopySelectionBitmap(capture.selection()).save(picture);
    }
    std::vector<double> completing;
    std::vector<double> adding;
    // One after the other, each going first in every other run.
    const auto complete = [&] {
        resetNote();
        ZorvaNoteScreenCapture capture(handler.captureNotify(), snapshot);
        select(capture);
        TavrikBench::settle(200);
        STIconButton *button = capture.toolbar()->buttons().at(3);
        return TavrikBench::secondsOf([&] { button->click(); });
    };
    const auto add = [&] {
        resetNote();
        DropFileInfo info;
        DropFiles::BuildDropFileInfo(picture, info);
        return TavrikBench::secondsOf([&] { handler.AddDropFileToEditor({info}); });
    };
    for (int run = 0; run < Runs + 1; ++run) {
        const double first = run % 2 ? add() : complete();
        const double second = run % 2 ? complete() : add();
        if (run == 0)
            continue; // warm-up
        completing.push_back(run % 2 ? second : first);
        adding.push_back(run % 2 ? first : second);
    }
    // Every run stored the picture (one store name, as the content is the same each time).
    if (prompts.messages || handler.attachFileSizes().empty()) {
        std::fprintf(stderr, "the picture was not added (%d messages)\n", prompts.messages);
        return 1;
    }
    TavrikBench::report("capture_complete_vs_add", median(completing) / median(adding),
                        TavrikBench::Goal::AtMost, 1.5);
    std::fprintf(stderr, "completing %.1f ms, adding the file %.1f ms (medians of %d)\n",
                 median(completing) * 1000, median(adding) * 1000, Runs);
    return TavrikBench::exitCode();
}
