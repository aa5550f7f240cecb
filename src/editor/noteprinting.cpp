// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/noteprinting.h"

#include "common/durablefile_p.h"
#include "common/writelog_p.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/paperpdf_p.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstring>
#include <memory>
#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

// Runs a local event loop until `signal` of `sender` comes, or StepTimeoutMs. The signal's
// boolean argument; nothing on a timeout.
template<typename Sender, typename... Args>
std::optional<bool> waitFor(Sender *sender, void (Sender::*signal)(Args...))
{
    QEventLoop loop;
    std::optional<bool> result;
    QObject::connect(sender, signal, &loop, [&](Args... args) {
        result = std::get<sizeof...(Args) - 1>(std::tuple<Args...>(args...));
        loop.quit();
    });
    QTimer::singleShot(NotePrinting::StepTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

// The note laid out for paper in a browser of its own, which no editor theme reaches: its MHT
// export (pictures and cards inside) opened in a fresh private profile.
class PaperNote
{
public:
    // False with the reason in `error` when the note cannot be exported or shown.
    bool open(CZorvaEditorImpl &editor, QString &error)
    {
        if (!m_folder.isValid()) {
            error = NotePrinting::tr("无法创建临时文件夹。");
            return false;
        }
        const QString mht = m_folder.filePath(QStringLiteral("note.mht"));
        if (!editor.ExportWord(mht, error))
            return false;
        m_view.setPage(new QWebEnginePage(&m_profile, &m_view));
        m_view.page()->load(QUrl::fromLocalFile(mht));
        const std::optional<bool> loaded = waitFor(m_view.page(), &QWebEnginePage::loadFinished);
        if (loaded != true) {
            error = loaded ? NotePrinting::tr("浏览器无法显示笔记。")
                           : NotePrinting::tr("浏览器显示笔记超时。");
            return false;
        }
        return true;
    }

    QWebEngineView &view() { return m_view; }

private:
    QTemporaryDir m_folder;
    QWebEngineProfile m_profile; // off the record; outlives the page, which the view owns
    QWebEngineView m_view;
};

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool exportPdf(CZorvaEditorImpl &editor, const QString &path, QString &error)
{
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) {
        error = NotePrinting::tr("文件夹 %1 不存在。")
                    .arg(QDir::toNativeSeparators(target.absolutePath()));
        return false;
    }
    QString html;
    if (!editor.ExportableHtml(html, error))
        return false;
    // A long note takes a while to lay out and draw: that runs on a thread of its own while the
    // window keeps drawing.
    std::optional<int> written; // the errno of writing the file, 0 when written
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        const QByteArray pdf = PaperPdf::write(html);
        if (!pdf.isEmpty())
            written = Internal::replaceDurably(path, {pdf});
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    if (written == 0)
        return true;
    error = written ? NotePrinting::tr("无法写入 %1：%2")
                          .arg(QDir::toNativeSeparators(path), systemReason(*written))
                    : NotePrinting::tr("无法绘制 PDF。");
    return false;
}

} // namespace

bool NotePrinting::ExportPdf(CZorvaEditorImpl &editor, const QString &path, QString &error)
{
    if (exportPdf(editor, path, error))
        return true;
    writeLog(QStringLiteral("[ERROR] NotePrinting::ExportPdf %1: %2").arg(path, error));
    return false;
}

bool NotePrinting::Print(CZorvaEditorImpl &editor, QPrinter *printer, QString &error)
{
    PaperNote note;
    if (note.open(editor, error)) {
        note.view().print(printer);
        const std::optional<bool> printed = waitFor(&note.view(), &QWebEngineView::printFinished);
        if (printed == true)
            return true;
        error = printed ? tr("无法打印笔记。") : tr("打印笔记超时。");
    }
    writeLog(QStringLiteral("[ERROR] NotePrinting::Print: %1").arg(error));
    return false;
}

} // namespace TAVRIKCORE::RICHEDITOR
