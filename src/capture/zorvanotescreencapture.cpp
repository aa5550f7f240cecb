// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/zorvanotescreencapture_p.h"

#include "capture/capturedpicture_p.h"
#include "capture/captureresources_p.h"
#include "capture/cstoolbar_p.h"
#include "capture/iscreencapturenotify.h"
#include "common/iprompts.h"
#include "common/log4c.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QPointer>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// One of the capture's texts marked with QT_TRANSLATE_NOOP, in the chosen language.
QString translated(const char *text)
{
    return QCoreApplication::translate("ZorvaNoteScreenCapture", text);
}

struct ButtonEntry
{
    const char *icon;
    const char *tooltip;
    int command;
};

// The toolbar, left to right.
constexpr ButtonEntry Buttons[] = {
    {"copy.ico", QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "复制截图"),
     ZorvaNoteScreenCapture::Copy},
    {"saveas.ico", QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "另存为"),
     ZorvaNoteScreenCapture::SaveAs},
    {"exit.ico", QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "退出"), ZorvaNoteScreenCapture::Exit},
    {"complete.ico", QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "完成截图"),
     ZorvaNoteScreenCapture::Complete},
};

// The menu, top to bottom.
constexpr ButtonEntry MenuItems[] = {
    {nullptr, QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "退出"), ZorvaNoteScreenCapture::Exit},
    {nullptr, QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "另存为"),
     ZorvaNoteScreenCapture::SaveAs},
    {nullptr, QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "复制截图"),
     ZorvaNoteScreenCapture::Copy},
    {nullptr, QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "完成截图"),
     ZorvaNoteScreenCapture::Complete},
};

// The handle cursors: the files in the tracker's handle order (top-left, top-right,
// bottom-right, bottom-left, top, right, bottom, left, inside).
constexpr const char *HandleCursorFiles[]
    = {"size2_r.cur", "size1_r.cur", "size2_r.cur", "size1_r.cur", "size4_r.cur",
       "size3_r.cur", "size4_r.cur", "size3_r.cur", "move_r.cur"};

void writeLog(const QString &line)
{
    CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] Screen capture: ") + line);
}

// Lets a window that was just hidden leave the screen (and the windows under it repaint)
// before the screen is read.
void letWindowLeave()
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 200) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(10);
    }
}

// The image format for a file name's extension; empty for one the capture cannot write.
QByteArray formatFor(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"png")
        return "PNG";
    if (extension == u"bmp")
        return "BMP";
    if (extension == u"jpg" || extension == u"jpeg")
        return "JPEG";
    return {};
}

} // namespace

ZorvaNoteScreenCapture::ZorvaNoteScreenCapture(IScreenCaptureNotify *notify, QWidget *parent)
    : ScreenCaptureDlgBase(parent), m_notify(notify)
{
    initIdleTimer();
}

ZorvaNoteScreenCapture::ZorvaNoteScreenCapture(IScreenCaptureNotify *notify,
                                               const ScreenSnapshot &snapshot, QWidget *parent)
    : ScreenCaptureDlgBase(snapshot, parent), m_notify(notify)
{
    initIdleTimer();
}

void ZorvaNoteScreenCapture::initIdleTimer()
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(KeptIdleMs);
    connect(&m_idle, &QTimer::timeout, this, &QObject::deleteLater);
}

int ZorvaNoteScreenCapture::Run(IScreenCaptureNotify *notify, QWidget *host, bool hideHost)
{
    // One capture at a time: a second one would take over the open window and lose what the
    // first one was to complete.
    static bool running = false;
    if (running) {
        writeLog(QStringLiteral("a capture is already open; the new one is not started"));
        return 0;
    }
    running = true;
    const auto done = qScopeGuard([] { running = false; });
    const QPointer<QWidget> hidden = hideHost && host && host->isVisible() ? host : nullptr;
    if (hidden) {
        hidden->hide();
        letWindowLeave();
    }
    const ScreenSnapshot snapshot = ScreenSnapshot::Take();
    if (snapshot.isNull()) {
        writeLog(snapshot.error);
        IPrompts::instance()->messageBox(
            hidden ? nullptr : host,
            QCoreApplication::translate("ZorvaNoteScreenCapture",
                                        "The screen could not be captured. %1")
                .arg(snapshot.error),
            QCoreApplication::translate("ZorvaNoteScreenCapture", "Screen capture"),
            QMessageBox::Ok);
    } else {
        std::unique_ptr<ZorvaNoteScreenCapture> own;
        ZorvaNoteScreenCapture *capture = windowFor(notify, host, snapshot, own);
        const QPointer<ZorvaNoteScreenCapture> alive(capture);
        capture->m_idle.stop();
        capture->exec();
        if (alive) {
            alive->releaseSnapshot();
            alive->m_notify = nullptr;
            if (host)
                alive->m_idle.start();
        }
    }
    if (hidden)
        hidden->show();
    return snapshot.isNull() ? 0 : 1;
}

// The host's window is kept with it; without a host the window, held in `own`, lives for this
// capture only.
ZorvaNoteScreenCapture *
ZorvaNoteScreenCapture::windowFor(IScreenCaptureNotify *notify, QWidget *host,
                                  const ScreenSnapshot &snapshot,
                                  std::unique_ptr<ZorvaNoteScreenCapture> &own)
{
    if (!host) {
        own = std::make_unique<ZorvaNoteScreenCapture>(notify, snapshot);
        return own.get();
    }
    auto *kept = host->findChild<ZorvaNoteScreenCapture *>(QString(), Qt::FindDirectChildrenOnly);
    if (!kept)
        return new ZorvaNoteScreenCapture(notify, snapshot, host);
    kept->m_notify = notify;
    kept->startOver(snapshot);
    return kept;
}

QString ZorvaNoteScreenCapture::SaveAsTitle()
{
    return translated(QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "另存为图片文件"));
}

QString ZorvaNoteScreenCapture::DefaultFileName()
{
    return translated(QT_TRANSLATE_NOOP("ZorvaNoteScreenCapture", "截图未命名"));
}

QString ZorvaNoteScreenCapture::SaveAsFilter()
{
    return QStringLiteral("PNG(*.png);;BMP(*.bmp);;JPG(*.jpg *.jpeg)");
}

void ZorvaNoteScreenCapture::InitToolbarButtons()
{
    for (const ButtonEntry &button : Buttons)
        toolbar()->AddButton(CaptureResources::LoadIcon(QLatin1String(button.icon)),
                             translated(button.tooltip), button.command);
}

void ZorvaNoteScreenCapture::LoadTrackerCursors()
{
    std::vector<QCursor> cursors;
    for (const char *file : HandleCursorFiles) {
        const std::optional<QCursor> cursor = CaptureResources::LoadCursor(QLatin1String(file));
        if (!cursor)
            break;
        cursors.push_back(*cursor);
    }
    if (cursors.size() == std::size(HandleCursorFiles)) {
        for (size_t i = 0; i < cursors.size(); ++i)
            tracker().setHandleCursor(int(i), cursors[i]);
    }
    if (const std::optional<QCursor> general = CaptureResources::LoadCursor(u"arrow_m.cur"_qs))
        setGeneralCursor(*general);
}

void ZorvaNoteScreenCapture::ShowCaptureMenu(const QPoint &point)
{
    QMenu menu(this);
    for (const ButtonEntry &item : MenuItems)
        menu.addAction(translated(item.tooltip))->setData(item.command);
    if (const QAction *chosen = menu.exec(mapToGlobal(point)))
        OnCommand(chosen->data().toInt());
}

void ZorvaNoteScreenCapture::OnSelectionDblClick(const QPoint &)
{
    OnCommand(Complete);
}

void ZorvaNoteScreenCapture::OnSelectionChanged()
{
    m_encoder.follow(snapshot(), hasSelection() ? selectionPixels(selection()) : QRect());
}

void ZorvaNoteScreenCapture::done(int result)
{
    m_encoder.discard();
    ScreenCaptureDlgBase::done(result);
}

void ZorvaNoteScreenCapture::OnCommand(int id)
{
    tracker().setRect(tracker().rect().normalized());
    switch (id) {
    case Complete: {
        const SelectionPicture picture
            = m_encoder.picture(snapshot(), selectionPixels(selection()));
        // Out of the way first: adding the picture may show a message.
        hide();
        if (m_notify && !picture.image.isNull()) {
            const Internal::PreparedJpeg prepared(picture.image, picture.jpeg);
            m_notify->OnScreenCaptureComplet(picture.image);
        }
        accept();
        break;
    }
    case Copy: {
        const QImage picture = CopySelectionBitmap(selection());
        if (picture.isNull())
            QGuiApplication::clipboard()->clear();
        else
            QGuiApplication::clipboard()->setImage(picture);
        accept();
        break;
    }
    case SaveAs:
        saveAs();
        break;
    case Exit:
        reject();
        break;
    default:
        break;
    }
}

void ZorvaNoteScreenCapture::saveAs()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QString path = IPrompts::instance()->saveFileName(
        this, SaveAsTitle(),
        QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(DefaultFileName()),
        SaveAsFilter());
    if (path.isEmpty())
        return;
    // The dialog asked about the name as typed; the name with the extension added is asked
    // about here.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".png");
        if (QFileInfo::exists(path)
            && IPrompts::instance()->messageBox(
                   this,
                   QCoreApplication::translate("ZorvaNoteScreenCapture",
                                               "“%1” already exists. Do you want to replace it?")
                       .arg(QFileInfo(path).fileName()),
                   QCoreApplication::translate("ZorvaNoteScreenCapture", "Screen capture"),
                   QMessageBox::Yes | QMessageBox::No)
                != QMessageBox::Yes)
            return;
    }
    const QByteArray format = formatFor(path);
    if (format.isEmpty()) {
        writeLog(QStringLiteral("no picture type for ") + path);
        IPrompts::instance()->messageBox(
            this,
            QCoreApplication::translate(
                "ZorvaNoteScreenCapture",
                "“%1” is not a picture type the capture can save: choose .png, .bmp or .jpg.")
                .arg(QFileInfo(path).fileName()),
            QCoreApplication::translate("ZorvaNoteScreenCapture", "Screen capture"),
            QMessageBox::Ok);
        return;
    }
    const QImage picture = CopySelectionBitmap(selection());
    if (picture.isNull()) {
        accept();
        return;
    }
    QSaveFile file(path);
    QImageWriter writer(&file, format);
    QString failure;
    if (!file.open(QIODevice::WriteOnly))
        failure = file.errorString();
    else if (!writer.write(picture))
        failure = writer.errorString();
    else if (!file.commit())
        failure = file.errorString();
    if (!failure.isEmpty()) {
        file.cancelWriting();
        writeLog(QStringLiteral("cannot save ") + path + QStringLiteral(": ") + failure);
        IPrompts::instance()->messageBox(
            this,
            QCoreApplication::translate("ZorvaNoteScreenCapture",
                                        "The picture could not be saved as “%1”: %2")
                .arg(path, failure),
            QCoreApplication::translate("ZorvaNoteScreenCapture", "Screen capture"),
            QMessageBox::Ok);
        return;
    }
    accept();
}

} // namespace TAVRIKCORE::RICHEDITOR
