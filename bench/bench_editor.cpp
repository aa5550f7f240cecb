// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The editor facade against bare QtWebEngine work in the same run: the editor page ready
// over an empty page loaded and over a bare view loading the editor's own page; a 2 MB note
// this editor saved, opened for the first time and opened again, over the same text put into
// a div, both to the note in the page and to the first frame showing its beginning; and a
// 2 MB note saved over the sum of the steps a save cannot avoid.
#include "benchutil.h"

#include "bridge/editorevents.h"
#include "bridge/izveditornotify.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/savednotes_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/notehtmlrw.h"
#include "notehtml/notehtmlrw_p.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

using TavrikBench::jsString;
using TavrikBench::makeNote;
using TavrikBench::median;

namespace {

constexpr int ReadyRuns = 11;
constexpr int ContentRuns = 9;
constexpr int TimeoutMs = 60000;
constexpr int NoteBytes = 2 * 1024 * 1024;

const char BarePage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><script>
function put(html) { document.getElementById("note").innerHTML = html; return true; }
</script></head><body><div id="note"></div></body></html>)";

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Counts the page-loaded events posted to the watched widget and leaves a waiting loop.
class ReadyWatcher : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == EditorPageLoadedEvent) {
            ++events;
            if (loop)
                loop->quit();
        }
        return QObject::eventFilter(watched, event);
    }
    int events = 0;
    QEventLoop *loop = nullptr;
};

// A host that stores every save.
class Host : public IZvEditorNotify
{
public:
    int OnSaveNote(const QString &, const std::vector<NewAttachFile> &files,
                   const QString &) override
    {
        ++saves;
        lastNoteFile = files.empty() ? QString() : files.front().filePath;
        return 1;
    }
    void OnOpenAttachment(const QString &, const QString &, const QString &) override { }
    int saves = 0;
    QString lastNoteFile;
};

// Waits for the editor's page-loaded event at the widget `watcher` watches; false on a timeout.
bool waitForEditorPage(ReadyWatcher &watcher)
{
    QEventLoop loop;
    watcher.loop = &loop;
    QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);
    if (watcher.events == 0)
        loop.exec();
    watcher.loop = nullptr;
    return watcher.events > 0;
}

// An editor in `parent`, shown, its saves going to `host`; nullptr when its page did not load.
CZorvaEditorImpl *showEditor(QWidget &parent, Host &host)
{
    parent.resize(900, 700);
    ReadyWatcher watcher;
    parent.installEventFilter(&watcher);
    auto *editor = new CZorvaEditorImpl;
    editor->SetZvEditorNotify(&host);
    editor->Create(&parent, QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible);
    parent.show();
    const bool ready = waitForEditorPage(watcher);
    parent.removeEventFilter(&watcher);
    return ready ? editor : nullptr;
}

// Loads `pagePath` into `view`, shows `window` and waits for loadFinished; false on failure.
bool loadBarePage(QWebEngineView *view, QWidget *window, const QString &pagePath)
{
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    view->load(QUrl::fromLocalFile(pagePath));
    window->show();
    QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return loaded;
}

// Milliseconds since the epoch, as the page's performance.timeOrigin + performance.now() counts.
double wallMs()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Watches the note of `page` (the editor's frame, else the bare page's div) at every frame
// until its first element's text is `marker`, then records when that frame was done.
void watchFirstPaint(QWebEnginePage *page, const QString &marker)
{
    TavrikBench::runScript(page, uR"((function (marker) {
    window.benchPainted = 0;
    function note() {
        const frame = document.querySelector('iframe.ke-edit-iframe');
        return frame ? frame.contentDocument.body : document.getElementById('note');
    }
    function look() {
        const first = note().firstElementChild;
        if (first && first.textContent === marker) {
            setTimeout(function () {
                window.benchPainted = performance.timeOrigin + performance.now();
            });
            return;
        }
        requestAnimationFrame(look);
    }
    requestAnimationFrame(look);
    return true;
})()"_s + jsString(marker) + u')');
}

// Seconds from `startMs` (wallMs) to the frame watchFirstPaint waited for; negative when it
// did not come.
double paintedSecondsAfter(QWebEnginePage *page, double startMs)
{
    double painted = 0;
    TavrikBench::waitUntil([&] {
        painted = TavrikBench::runScript(page, u"window.benchPainted"_s).toDouble();
        return painted > 0;
    });
    return painted > 0 ? (painted - startMs) / 1000 : -1;
}

// Seconds from Create to the page-loaded event at the parent; negative on a timeout.
double editorReadySeconds()
{
    QWidget parent;
    parent.resize(800, 600);
    ReadyWatcher watcher;
    parent.installEventFilter(&watcher);
    const auto start = Clock::now();
    auto *editor = new CZorvaEditorImpl;
    if (!editor->Create(&parent, QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible))
        return -1;
    parent.show();
    const bool ready = waitForEditorPage(watcher);
    const double seconds = secondsSince(start);
    return ready ? seconds : -1;
}

// Seconds from making a bare view to its empty page's loadFinished; negative on failure.
double bareReadySeconds(const QString &pagePath)
{
    QWidget parent;
    parent.resize(800, 600);
    const auto start = Clock::now();
    auto *view = new QWebEngineView(&parent);
    view->setGeometry(0, 0, 800, 600);
    const bool loaded = loadBarePage(view, &parent, pagePath);
    const double seconds = secondsSince(start);
    return loaded ? seconds : -1;
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);

    QTemporaryDir dir;
    if (!dir.isValid()
        || !TavrikBench::copyFolder(QCoreApplication::applicationDirPath() + u"/zveditor"_s,
                                    dir.filePath(u"zveditor"_s))) {
        qWarning("bench_editor: the staged editor page is missing");
        return 2;
    }
    SetAppDirectory(dir.path() + u'/');
    QDir().mkpath(GetAttachRootDir());
    const QString barePath = dir.filePath(u"bare.html"_s);
    {
        QFile file(barePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(BarePage) < 0)
            return 2;
    }

    // Ready: alternating runs after one warm-up of each side, the editor and the bare view of
    // its page going first in turn. A bare view loading the editor's own page tells how much
    // of the difference is the page rather than the editor around it.
    const QString editorPagePath = dir.filePath(u"zveditor/index.html"_s);
    std::vector<double> editorReady, bareReady, editorPageReady;
    for (int i = 0; i <= ReadyRuns; ++i) {
        const double bare = bareReadySeconds(barePath);
        const bool editorFirst = i % 2 == 0;
        const double first = editorFirst ? editorReadySeconds() : bareReadySeconds(editorPagePath);
        const double second = editorFirst ? bareReadySeconds(editorPagePath) : editorReadySeconds();
        const double editor = editorFirst ? first : second;
        const double editorPage = editorFirst ? second : first;
        if (bare < 0 || editor < 0 || editorPage < 0) {
            qWarning("bench_editor: a page did not load");
            return 2;
        }
        if (i > 0) {
            bareReady.push_back(bare);
            editorReady.push_back(editor);
            editorPageReady.push_back(editorPage);
        }
    }
    // What the editor adds to its own page is the goal; the whole start over an empty page is
    // printed for information, as most of it is the page's own scripts and styles.
    TavrikBench::report("editor_ready_vs_same_page", median(editorReady) / median(editorPageReady),
                        TavrikBench::Goal::AtMost, 1.1);
    std::fprintf(stderr,
                 "editor ready %.1f ms, bare page loaded %.1f ms, editor page in a bare view "
                 "loaded %.1f ms (medians of %d); editor_ready_vs_bare %.2f\n",
                 median(editorReady) * 1000, median(bareReady) * 1000,
                 median(editorPageReady) * 1000, ReadyRuns,
                 median(editorReady) / median(bareReady));

    // One editor and one bare view for the content goals.
    Host host;
    QWidget parent;
    CZorvaEditorImpl *editor = showEditor(parent, host);
    if (!editor)
        return 2;
    QWebEngineView bare;
    bare.resize(800, 600);
    if (!loadBarePage(&bare, &bare, barePath))
        return 2;

    const QString note = makeNote(NoteBytes);
    const QString noteName = u"bench-note.html"_s;
    const QString reopened = u"<p>Opened again</p>"_s + note;
    if (!NoteHtmlRW::WriteHtmlTextFile(GetAttachRootDir() + u'/' + noteName, reopened, 2))
        return 2;
    const QString change = u"(function(){const f=document.querySelector('iframe.ke-edit-iframe');"
                           "f.contentDocument.body.appendChild("
                           "f.contentDocument.createTextNode('x'));return true;})()"_s;
    const QString bodyLength = u"Tavrik.editor.document().body.innerHTML.length"_s;

    // One run: `text` put into the bare view, and the note file `fileName` (holding `text`)
    // opened in the editor after an empty note, the side going first alternating with `run`.
    // Each side's seconds to have the note in its page (`bare`, `open`) and to the end of the
    // first frame that shows the note's first paragraph, `marker` (`barePaint`, `openPaint`);
    // false when either did not reach its page.
    struct Times
    {
        double bare = 0, open = 0, barePaint = 0, openPaint = 0;
    };
    const auto timeOpen = [&](int run, const QString &fileName, const QString &text,
                              const QString &marker, Times &times) {
        TavrikBench::runScript(bare.page(), u"put('')"_s);
        editor->LoadEditor(u"empty"_s, {}, {}, false);
        const auto putBare = [&] {
            watchFirstPaint(bare.page(), marker);
            const double start = wallMs();
            const auto clock = Clock::now();
            const bool put
                = TavrikBench::runScript(bare.page(), u"put("_s + jsString(text) + u')').toBool();
            times.bare = secondsSince(clock);
            times.barePaint = paintedSecondsAfter(bare.page(), start);
            return put && times.barePaint > 0;
        };
        const auto openNote = [&] {
            watchFirstPaint(editor->page(), marker);
            const double start = wallMs();
            const auto clock = Clock::now();
            editor->LoadEditor(u"bench"_s, {fileName}, {}, false);
            times.open = secondsSince(clock);
            times.openPaint = paintedSecondsAfter(editor->page(), start);
            return times.openPaint > 0;
        };
        const bool ok = run % 2 == 0 ? putBare() && openNote() : openNote() && putBare();
        if (ok && TavrikBench::runScript(editor->page(), bodyLength).toInt() >= text.size() / 2)
            return true;
        qWarning("bench_editor: the note did not reach the page");
        return false;
    };

    // First opens: each run a note the page has not seen. The goals take notes this editor
    // saved (another editor of this program saved them, so this page never had them); a note
    // from elsewhere is sanitised in full, printed for comparison.
    Host writerHost;
    QWidget writerParent;
    CZorvaEditorImpl *writer = showEditor(writerParent, writerHost);
    if (!writer)
        return 2;
    std::vector<Times> savedRuns, foreignRuns;
    for (int i = 0; i <= ContentRuns; ++i) {
        const QString marker = u"Note "_s + QString::number(i);
        const QString fresh = u"<p>"_s + marker + u"</p>"_s + note;
        const QString freshName = u"bench-first-%1.html"_s.arg(i);
        Times foreign;
        if (!NoteHtmlRW::WriteHtmlTextFile(GetAttachRootDir() + u'/' + freshName, fresh, 2)
            || !timeOpen(i, freshName, fresh, marker, foreign))
            return 2;
        writer->LoadEditor(u"writer"_s, {freshName}, {}, false);
        TavrikBench::runScript(writer->page(), change);
        writer->SaveEditor();
        QString saved;
        int version = 0;
        Times own;
        if (!NoteHtmlRW::ReadHtmlTextFromFile(writerHost.lastNoteFile, saved, version)
            || !timeOpen(i, QFileInfo(writerHost.lastNoteFile).fileName(), saved, marker, own))
            return 2;
        if (i > 0) {
            foreignRuns.push_back(foreign);
            savedRuns.push_back(own);
        }
    }
    const auto medianOf = [](const std::vector<Times> &runs, double Times::*field) {
        std::vector<double> values;
        for (const Times &times : runs)
            values.push_back(times.*field);
        return median(values);
    };
    TavrikBench::report("first_open_2mb_vs_bare",
                        medianOf(savedRuns, &Times::open) / medianOf(savedRuns, &Times::bare),
                        TavrikBench::Goal::AtMost, 2.5);
    TavrikBench::report("first_paint_2mb_vs_bare",
                        medianOf(savedRuns, &Times::openPaint)
                            / medianOf(savedRuns, &Times::barePaint),
                        TavrikBench::Goal::AtMost, 1.5);
    std::fprintf(stderr,
                 "saved note opened first %.1f ms, shown %.1f ms; bare put %.1f ms, shown %.1f ms "
                 "(medians of %d)\n",
                 medianOf(savedRuns, &Times::open) * 1000,
                 medianOf(savedRuns, &Times::openPaint) * 1000,
                 medianOf(savedRuns, &Times::bare) * 1000,
                 medianOf(savedRuns, &Times::barePaint) * 1000, ContentRuns);
    std::fprintf(
        stderr,
        "note from elsewhere opened first %.1f ms, shown %.1f ms; bare put %.1f ms, "
        "shown %.1f ms; first_open_foreign_vs_bare %.2f\n",
        medianOf(foreignRuns, &Times::open) * 1000, medianOf(foreignRuns, &Times::openPaint) * 1000,
        medianOf(foreignRuns, &Times::bare) * 1000, medianOf(foreignRuns, &Times::barePaint) * 1000,
        medianOf(foreignRuns, &Times::open) / medianOf(foreignRuns, &Times::bare));

    // Re-opens: LoadEditor returns once the page has set the content (synchronously there).
    std::vector<double> loadTimes, bareLoadTimes;
    double firstLoadSeconds = 0;
    for (int i = 0; i <= ContentRuns; ++i) {
        Times times;
        if (!timeOpen(i, noteName, reopened, u"Opened again"_s, times))
            return 2;
        if (i == 0)
            firstLoadSeconds = times.open;
        else {
            bareLoadTimes.push_back(times.bare);
            loadTimes.push_back(times.open);
        }
    }
    TavrikBench::report("load_2mb_vs_bare", median(loadTimes) / median(bareLoadTimes),
                        TavrikBench::Goal::AtMost, 1.5);
    std::fprintf(stderr,
                 "note loaded %.1f ms (first time %.1f ms), bare put %.1f ms (medians of %d)\n",
                 median(loadTimes) * 1000, firstLoadSeconds * 1000, median(bareLoadTimes) * 1000,
                 ContentRuns);

    // Save: each run changes the note, then times the save and the parts on the same content;
    // the note file written by the first is dropped so that the second writes it anew.
    std::vector<double> saveTimes, partTimes;
    for (int i = 0; i <= ContentRuns; ++i) {
        if (!TavrikBench::runScript(editor->page(), change).toBool()) {
            qWarning("bench_editor: the note could not be changed");
            return 2;
        }
        // The first read after a change also pays the page's layout: alternate which side
        // comes first.
        QString html, text;
        NewAttachFile record;
        bool partsOk = false;
        const auto timeParts = [&] {
            const auto start = Clock::now();
            const int fetched = editor->handler().GetEditorContent(html, text);
            int version = 2;
            const int stored = NoteHtmlRW::SaveHtmlTextToFile(html, record, &version);
            // A note saved from the page is recorded as this editor's own.
            Internal::SavedNotes::remember(Internal::noteFileBytes(html, version));
            std::vector<NewAttachFile> records;
            const int parsed = AttachMarkup::ParseAttList(u"bench"_s, html, records);
            const double seconds = secondsSince(start);
            partsOk
                = fetched && stored && parsed && html.size() >= note.size() / 2 && !records.empty();
            return seconds;
        };
        const int savesBefore = host.saves;
        const auto timeSave = [&] {
            const auto start = Clock::now();
            editor->SaveEditor();
            return secondsSince(start);
        };
        double partSeconds = 0;
        double saveSeconds = 0;
        if (i % 2 == 0) {
            partSeconds = timeParts();
            QFile::remove(record.filePath);
            saveSeconds = timeSave();
        } else {
            saveSeconds = timeSave();
            QFile::remove(host.lastNoteFile);
            partSeconds = timeParts();
        }
        if (!partsOk) {
            qWarning("bench_editor: a part of the save failed");
            return 2;
        }
        if (host.saves != savesBefore + 1 || host.lastNoteFile != record.filePath) {
            qWarning("bench_editor: the changed note was not saved");
            return 2;
        }
        QFile::remove(record.filePath);
        if (i > 0) {
            partTimes.push_back(partSeconds);
            saveTimes.push_back(saveSeconds);
        }
    }
    TavrikBench::report("save_2mb_vs_parts", median(saveTimes) / median(partTimes),
                        TavrikBench::Goal::AtMost, 1.3);
    std::fprintf(stderr, "note saved %.1f ms, its parts %.1f ms (medians of %d)\n",
                 median(saveTimes) * 1000, median(partTimes) * 1000, ContentRuns);
    return TavrikBench::exitCode();
}
