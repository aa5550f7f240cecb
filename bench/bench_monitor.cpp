// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Attachment monitoring: bringing a note in line with an edited 5 MiB document (from the
// watcher's event reaching the monitor to the host's OnSaveNote) over adding the same file,
// measured alternately in one editor; and the watcher thread's CPU use over 1,000 idle note
// folders.
#include "benchutil.h"

#include "attach/attachfilemonitor.h"
#include "attach/dropfiles_p.h"
#include "bridge/editorevents.h"
#include "bridge/izveditornotify.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <thread>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikBench::median;

namespace {

constexpr int Runs = 7;
constexpr qint64 DocumentSize = 5 * 1024 * 1024;
constexpr int IdleFolders = 1000;
constexpr std::chrono::seconds IdleTime{10};

class Host : public QWidget, public IZvEditorNotify
{
public:
    int OnSaveNote(const QString &, const std::vector<NewAttachFile> &, const QString &) override
    {
        ++saves;
        if (waiting)
            waiting->quit();
        return 1;
    }
    void OnOpenAttachment(const QString &, const QString &, const QString &) override { }
    int saves = 0;
    bool loaded = false;
    QEventLoop *waiting = nullptr; // quit at the next save

protected:
    bool event(QEvent *event) override
    {
        loaded = loaded || event->type() == EditorPageLoadedEvent;
        return QWidget::event(event);
    }
};

double idleWatcherCpuPercent(const QString &app)
{
    const QString root = app + QStringLiteral("userdata/attachment/");
    for (int i = 0; i < IdleFolders; ++i) {
        const QString folder = root + CreateGuidString();
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/notes.txt"));
        if (file.open(QIODevice::WriteOnly))
            file.write("notes");
    }
    QObject receiver;
    AttachFileMonitor monitor;
    monitor.SetMsgReceiver(&receiver, AttachFileModifyEvent);
    if (!monitor.Start())
        return 100;
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // past the start-up
    const auto before = monitor.watcherCpuTime();
    if (before.count() <= 0) {
        std::fprintf(stderr, "the watcher thread's CPU time cannot be read\n");
        return 100;
    }
    std::this_thread::sleep_for(IdleTime);
    const auto spent = monitor.watcherCpuTime() - before;
    return 100.0 * std::chrono::duration<double>(spent).count()
        / std::chrono::duration<double>(IdleTime).count();
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    QTemporaryDir work;
    const QString appDir = work.path() + u'/';
    SetAppDirectory(appDir);
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!TavrikBench::copyFolder(exeDir + QStringLiteral("/zveditor"),
                                 appDir + QStringLiteral("zveditor"))
        || !TavrikBench::copyFolder(exeDir + QStringLiteral("/../res"),
                                    appDir + QStringLiteral("res"))) {
        std::fprintf(stderr, "editor page or icons not found beside %s\n", qPrintable(exeDir));
        return 1;
    }

    Host host;
    auto *editor = new CZorvaEditorImpl;
    editor->SetZvEditorNotify(&host);
    editor->Create(&host, QRect(0, 0, 900, 600), 1, IEWebBrowser::StyleVisible);
    host.show();
    if (!TavrikBench::waitUntil([&] { return host.loaded; })) {
        std::fprintf(stderr, "editor page did not load\n");
        return 1;
    }
    // Events are handed to the monitor by hand: the watcher would add its quiet period.
    editor->attachFileMonitor().Stop();
    AttachFileMonitor &monitor = editor->attachFileMonitor();

    const QString source = appDir + QStringLiteral("report.docx");
    std::vector<double> adding;
    std::vector<double> resyncing;
    for (int run = 0; run < Runs + 1; ++run) {
        TavrikBench::writeRandomFile(source, DocumentSize + run);
        QString noteId;
        editor->NewEditor(noteId, false);
        DropFileInfo info;
        DropFiles::BuildDropFileInfo(source, info);
        const double add
            = TavrikBench::secondsOf([&] { editor->handler().AddDropFileToEditor({info}); });
        editor->SaveEditor();

        const QString kept = GetAttachRootDir() + u'/' + noteId + QStringLiteral("/report.docx");
        TavrikBench::writeRandomFile(kept, DocumentSize + 1000 + run);
        const int saves = host.saves;
        QEventLoop waiting;
        QTimer::singleShot(30000, &waiting, &QEventLoop::quit);
        host.waiting = &waiting;
        QElapsedTimer timer;
        timer.start();
        monitor.OnEvent(kept, AttachFileMonitor::ActionModified);
        if (host.saves == saves)
            waiting.exec();
        const double resync = double(timer.nsecsElapsed()) / 1e9;
        host.waiting = nullptr;
        if (host.saves == saves) {
            std::fprintf(stderr, "the edited document was not resynchronised\n");
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        adding.push_back(add);
        resyncing.push_back(resync);
    }
    delete editor;

    TavrikBench::report("resync_vs_add", median(resyncing) / median(adding),
                        TavrikBench::Goal::AtMost, 1.5);
    std::fprintf(stderr,
                 "resync %.1f ms, add %.1f ms (medians of %d); the watcher's quiet period of "
                 "%lld ms before a resync is not counted\n",
                 median(resyncing) * 1000, median(adding) * 1000, Runs,
                 qint64(AttachFileMonitor::QuietPeriod.count()));

    TavrikBench::report("watch_idle_cpu_pct", idleWatcherCpuPercent(appDir),
                        TavrikBench::Goal::AtMost, 0.1);
    return TavrikBench::exitCode();
}
