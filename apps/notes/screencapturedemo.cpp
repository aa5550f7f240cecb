// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "screencapturedemo.h"

#include "mainwindow.h"

#include "editor/czorvaeditorimpl.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl;

namespace {

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A mouse event as the window system delivers it; `held` are the buttons down afterwards.
void mouse(QWidget *widget, QEvent::Type type, const QPoint &at, Qt::MouseButton button,
           Qt::MouseButtons held)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Runs `script` in the editor page and gives its value as a number; -1 when it gives none.
int pageNumber(CZorvaEditorImpl *editor, const QString &script)
{
    int value = -1;
    QEventLoop loop;
    editor->page()->runJavaScript(script, [&](const QVariant &result) {
        value = result.isValid() ? result.toInt() : -1;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return value;
}

int picturesInNote(CZorvaEditorImpl *editor)
{
    return pageNumber(editor,
                      u"document.querySelector('iframe.ke-edit-iframe').contentDocument"
                      ".querySelectorAll('img').length"_s);
}

} // namespace

QAction *ScreenCaptureDemo::createAction(MainWindow &window)
{
    auto *action = new QAction(QCoreApplication::translate("ScreenCaptureDemo", "Capture &screen…"),
                               &window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    action->setToolTip(QCoreApplication::translate(
        "ScreenCaptureDemo", "Select a part of the screen and put its picture into the note"));
    QObject::connect(action, &QAction::triggered, &window, [&window] {
        if (CZorvaEditorImpl *editor = window.editor())
            editor->handler().OnScreenCapture(1);
    });
    return action;
}

QString ScreenCaptureDemo::runTourStep(MainWindow &window, const Shot &shot)
{
    CZorvaEditorImpl *editor = window.editor();
    QScreen *screen = window.screen();
    if (!editor || !screen)
        return u"there is no editor to capture into"_s;
    // The notes window fills the screen, so that the capture has it to show.
    const QRect before = window.geometry();
    window.setGeometry(screen->geometry());
    settle(700);
    const int pictures = picturesInNote(editor);

    bool shown = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!capture || !capture->isVisible())
            return;
        user.stop();
        const QRect area(screen->geometry().width() / 3, 90, 320, 220);
        mouse(capture, QEvent::MouseButtonPress, area.topLeft(), Qt::LeftButton, Qt::LeftButton);
        mouse(capture, QEvent::MouseMove, area.bottomRight(), Qt::NoButton, Qt::LeftButton);
        mouse(capture, QEvent::MouseButtonRelease, area.bottomRight(), Qt::LeftButton, {});
        mouse(capture, QEvent::MouseMove, area.center() + QPoint(60, 40), Qt::NoButton, {});
        settle(300);
        shot(capture, u"screen-capture"_s,
             u"the screen capture: a selection over the notes window, its tip and toolbar"_s);
        shown = true;
        mouse(capture, QEvent::MouseButtonDblClick, area.center(), Qt::LeftButton, Qt::LeftButton);
    });
    user.start(50);
    editor->handler().OnScreenCapture(0);
    user.stop();
    window.setGeometry(before);
    if (!shown)
        return u"the capture window did not open"_s;
    for (int i = 0; i < 100 && picturesInNote(editor) <= pictures; ++i)
        settle(100);
    if (picturesInNote(editor) <= pictures)
        return u"the captured picture did not reach the note"_s;
    pageNumber(editor,
               u"document.querySelector('iframe.ke-edit-iframe').contentWindow"
               ".scrollTo(0, 1e6) || 1"_s);
    settle(700);
    shot(&window, u"captured-picture"_s, u"the note with the captured picture at its end"_s);
    return {};
}
