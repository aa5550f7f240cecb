// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Typing in a 2 MB note of mixed HTML (tables, pictures, styled spans, lists, code) with real
// key presses through an X server, keys 300 ms apart, against a bare editable frame holding
// the same note, both in one run and taking turns:
//   type_2mb_vs_bare, type_2mb_vs_floor: median time from a key's event to the end of the
//     frame that shows it, the editor over the bare frame (one ratio, two goals: no slower
//     than the bare frame, and half of it);
//   renderer_rss_2mb_vs_bare: the renderer's resident memory once the note is open and both
//     renderers have settled (see settledResidentKiB).
// Without an X display the program starts itself again under xvfb-run.
#include "editorpagebench.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;
using TavrikBench::jsString;
using TavrikBench::median;
using TavrikBench::runScript;

namespace {

constexpr int NoteBytes = 2 * 1024 * 1024;
constexpr int NoteMaxChars = 5000000; // the demo's limit: the note is far below it
constexpr int Rounds = 11; // the first round of each side warms it up and is left out
constexpr int KeyDelayMs = 300;
const char ScreenArgs[] = "-screen 0 1920x1080x24 -nolisten tcp";
// Keys in xdotool's names: words and spaces, as typing goes.
const QStringList Keys = QStringList{u"t"_s, u"y"_s, u"p"_s, u"e"_s, u"d"_s, u"space"_s,
                                     u"w"_s, u"o"_s, u"r"_s, u"d"_s, u"s"_s, u"space"_s};
constexpr int KeysPerRun = 7;

// An editable frame and nothing else: the note goes into its body as it is.
const char BarePage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><style>
html, body { margin: 0; height: 100%; } iframe { display: block; border: 0; }
</style></head><body><iframe></iframe><script>
const frame = document.querySelector('iframe');
const d = frame.contentDocument;
d.open();
d.write('<!DOCTYPE html><html><head><meta charset="utf-8"></head><body contenteditable="true"></body></html>');
d.close();
function put(html, width, height) {
    frame.style.width = width + 'px';
    frame.style.height = height + 'px';
    d.body.innerHTML = html;
    return true;
}
</script></body></html>)";

// The note of the other page benchmarks with a bulleted list after every 120th paragraph
// and a code block after every 170th.
QString mixedNote()
{
    const QString note = TavrikBench::makeNote(NoteBytes - 120 * 1024);
    QString mixed;
    mixed.reserve(note.size() + 160 * 1024);
    int paragraphs = 0;
    for (qsizetype from = 0; from < note.size();) {
        qsizetype end = note.indexOf(u"</p>"_s, from);
        end = end < 0 ? note.size() : end + 4;
        mixed += QStringView(note).mid(from, end - from);
        from = end;
        ++paragraphs;
        if (paragraphs % 120 == 0)
            mixed += u"<ul><li>first point</li><li>second point <b>in bold</b><ul><li>nested "
                     "point</li></ul></li><li>third point</li></ul>"_s;
        if (paragraphs % 170 == 0)
            mixed += u"<pre>for (int i = 0; i &lt; rows; ++i)\n    total += row[i].amount;\n"
                     "return total;</pre>"_s;
    }
    return mixed;
}

// Runs `script` with `f` the editing frame, `d` its document and `w` its window.
QString inFrame(const QString &script)
{
    return u"(function(){const f=document.querySelector('iframe');const d=f.contentDocument;"
           "const w=f.contentWindow;"_s
        + script + u"})()"_s;
}

// Puts the caret into the paragraph in the middle of the note, in view, and starts recording
// each key's time from its event to the end of the frame after it.
bool prepareTyping(QWebEnginePage *page)
{
    return runScript(page, inFrame(uR"(
        const ps = d.body.querySelectorAll(':scope > p');
        const p = ps[Math.floor(ps.length / 2)];
        if (!p || !p.firstChild) return false;
        p.scrollIntoView({ block: 'center' });
        w.focus();
        d.body.focus();
        const r = d.createRange();
        r.setStart(p.firstChild, 8);
        r.collapse(true);
        d.getSelection().removeAllRanges();
        d.getSelection().addRange(r);
        window.keyTimes = [];
        window.typingInto = p;
        window.lengthBefore = p.textContent.length;
        if (!window.keyTimer) {
            window.keyTimer = function (event) {
                const start = event.timeStamp;
                const late = w.performance.now() - start;
                w.requestAnimationFrame(function () {
                    const channel = new MessageChannel();
                    channel.port1.onmessage = function () {
                        window.keyTimes.push([w.performance.now() - start, late]);
                    };
                    channel.port2.postMessage(0);
                });
            };
            d.addEventListener('keydown', window.keyTimer, true);
        }
        return true;)"_s))
        .toBool();
}

// Presses one key in xdotool's names on the window with the keyboard focus.
bool pressKey(const QString &key)
{
    QProcess tool;
    tool.start(u"xdotool"_s, {u"key"_s, key});
    if (tool.waitForStarted()
        && TavrikBench::waitUntil([&] { return tool.state() == QProcess::NotRunning; })
        && tool.exitCode() == 0)
        return true;
    std::fprintf(stderr, "bench_typing: xdotool failed: %s\n",
                 tool.readAllStandardError().constData());
    return false;
}

// One key as the page saw it, in milliseconds after the key event's time stamp: the end of
// its frame and the moment its keydown reached the page.
struct KeyTime
{
    double frame;
    double dispatch;
};

// Types KeysPerRun keys, each KeyDelayMs after the frame of the one before (a busy machine
// never piles them up), and gives their times, the first left out; empty on failure.
std::vector<KeyTime> typeKeys(QWebEnginePage *page)
{
    const QString count = u"window.keyTimes.length"_s;
    for (int i = 0; i < KeysPerRun; ++i) {
        if (!pressKey(Keys[i % Keys.size()]))
            return {};
        TavrikBench::settle(KeyDelayMs);
        if (!TavrikBench::waitUntil([&] { return runScript(page, count).toInt() > i; }, 20000)) {
            std::fprintf(stderr, "bench_typing: key %d did not reach the page\n", i + 1);
            return {};
        }
    }
    // Every key went into the note: none was refused or lost.
    const int typed
        = runScript(page, u"window.typingInto.textContent.length - window.lengthBefore"_s).toInt();
    if (typed != KeysPerRun) {
        std::fprintf(stderr, "bench_typing: %d of %d keys went into the note\n", typed, KeysPerRun);
        return {};
    }
    const QVariantList times = runScript(page, u"window.keyTimes"_s).toList();
    std::vector<KeyTime> keys;
    for (qsizetype i = 1; i < times.size(); ++i) {
        const QVariantList pair = times[i].toList();
        keys.push_back({pair.value(0).toDouble(), pair.value(1).toDouble()});
    }
    return keys;
}

// Gives `view` the keyboard focus of the X server.
bool focus(QWidget *view)
{
    view->window()->raise();
    view->window()->activateWindow();
    if (!QTest::qWaitForWindowActive(view->window()))
        return false;
    view->setFocus();
    TavrikBench::settle(200);
    return true;
}

long residentKiBOf(qint64 pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

struct Resident
{
    long ours;
    long bare;
    int afterMs; // since the first look
};

// The resident memory of both renderers read together, at the first look when neither has
// moved by more than SettledKiB over the last second: the note is laid out and painted on
// both sides. What putting the note in left as garbage is still there on both then: each
// engine collects it on a schedule of its own (the bare frame's some ten seconds on, the
// editor's later), and a later look would set one side's collection against the other's not
// yet come. After 20 s without settling, the last look, with a message.
Resident settledResidentKiB(qint64 oursPid, qint64 barePid)
{
    constexpr int StepMs = 200;
    constexpr int StepsPerSecond = 1000 / StepMs;
    constexpr int MaxSteps = 20 * StepsPerSecond;
    constexpr long SettledKiB = 1024;
    std::vector<Resident> looks;
    const auto moved = [&](long Resident::*side) {
        const auto [low, high] = std::minmax_element(
            looks.end() - StepsPerSecond - 1, looks.end(),
            [&](const Resident &a, const Resident &b) { return a.*side < b.*side; });
        return (*high).*side - (*low).*side;
    };
    for (int step = 0; step < MaxSteps; ++step) {
        looks.push_back({residentKiBOf(oursPid), residentKiBOf(barePid), step * StepMs});
        if (looks.size() > StepsPerSecond && moved(&Resident::ours) <= SettledKiB
            && moved(&Resident::bare) <= SettledKiB)
            return looks.back();
        TavrikBench::settle(StepMs);
    }
    std::fprintf(stderr, "bench_typing: the renderers' memory did not settle within 20 s\n");
    return looks.back();
}

// Starts this program again on an X server of its own when there is no X display to type on.
void runUnderX(char **argv)
{
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == u"xcb"_s && qEnvironmentVariableIsSet("DISPLAY"))
        return;
    if (qEnvironmentVariableIsSet("TAVRIK_BENCH_UNDER_X")) {
        std::fprintf(stderr, "bench_typing: no X display under xvfb-run\n");
        std::exit(2);
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("TAVRIK_BENCH_UNDER_X", "1", 1);
    const char *args[] = {"xvfb-run", "-a", "-s", ScreenArgs, argv[0], nullptr};
    execvp(args[0], const_cast<char **>(args));
    std::perror("bench_typing: xvfb-run");
    std::exit(2);
}

} // namespace

int main(int argc, char **argv)
{
    runUnderX(argv);
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);

    TavrikBench::EditorPageBench<> ours;
    if (!ours.ready)
        return 2;
    ours.browser.move(0, 0);
    ours.handler.SetEditorMaxChars(NoteMaxChars);
    const QString barePath = ours.work.filePath(u"bare.html"_s);
    {
        QFile file(barePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(BarePage) < 0)
            return 2;
    }
    QWebEngineView bare;
    bare.setGeometry(940, 0, 900, 600);
    bare.show();
    {
        bool loaded = false;
        QObject::connect(&bare, &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
        bare.load(QUrl::fromLocalFile(barePath));
        if (!TavrikBench::waitUntil([&] { return loaded; })) {
            std::fprintf(stderr, "bench_typing: the bare page did not load\n");
            return 2;
        }
    }

    // The same note in both, the bare frame as large as the editor's.
    const QString note = mixedNote();
    const QVariantList size
        = runScript(ours.browser.page(), inFrame(u"return [f.clientWidth, f.clientHeight];"_s))
              .toList();
    runScript(ours.browser.page(), u"jsProcessor('SetEditorContent', "_s + jsString(note) + u')');
    if (size.size() != 2
        || !runScript(
                bare.page(),
                u"put(%1, %2, %3)"_s.arg(jsString(note)).arg(size[0].toInt()).arg(size[1].toInt()))
                .toBool()) {
        std::fprintf(stderr, "bench_typing: the note did not reach the pages\n");
        return 2;
    }
    const QString length = inFrame(u"return d.body.innerHTML.length;"_s);
    const int oursLength = runScript(ours.browser.page(), length).toInt();
    const int bareLength = runScript(bare.page(), length).toInt();
    if (oursLength < note.size() * 0.9 || bareLength < note.size() * 0.9) {
        std::fprintf(stderr, "bench_typing: the note is not whole in a page (%d, %d of %lld)\n",
                     oursLength, bareLength, static_cast<long long>(note.size()));
        return 2;
    }
    const qint64 oursPid = ours.browser.page()->renderProcessPid();
    const qint64 barePid = bare.page()->renderProcessPid();
    if (oursPid == barePid) {
        std::fprintf(stderr, "bench_typing: both pages share one renderer\n");
        return 2;
    }
    const auto [oursKiB, bareKiB, settledMs] = settledResidentKiB(oursPid, barePid);

    struct Side
    {
        QWebEngineView *view;
        std::vector<KeyTime> keys;
    };
    Side sides[] = {{&ours.browser, {}}, {&bare, {}}};
    for (int round = 0; round < Rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            Side &side = sides[(round + turn) % 2];
            if (!focus(side.view) || !prepareTyping(side.view->page())) {
                std::fprintf(stderr, "bench_typing: the caret could not be placed\n");
                return 2;
            }
            const std::vector<KeyTime> keys = typeKeys(side.view->page());
            if (keys.empty())
                return 2;
            if (round > 0)
                side.keys.insert(side.keys.end(), keys.begin(), keys.end());
        }
    }
    // A key event's time stamp comes from the X server's clock, which the browser takes over
    // with a constant error of some hundred milliseconds, different in every run: the soonest
    // any keydown reached either page (an idle page takes it within a millisecond) is that
    // error, left out of every key's time.
    double clockError = sides[0].keys.front().dispatch;
    for (const Side &side : sides) {
        for (const KeyTime &key : side.keys)
            clockError = std::min(clockError, key.dispatch);
    }
    const auto medianToFrame = [&](const Side &side) {
        std::vector<double> ms;
        for (const KeyTime &key : side.keys)
            ms.push_back(key.frame - clockError);
        return median(ms);
    };
    const double oursMs = medianToFrame(sides[0]);
    const double bareMs = medianToFrame(sides[1]);
    TavrikBench::report("type_2mb_vs_bare", oursMs / bareMs, TavrikBench::Goal::AtMost, 1.05);
    TavrikBench::report("type_2mb_vs_floor", oursMs / bareMs, TavrikBench::Goal::AtMost, 0.5);
    TavrikBench::report("renderer_rss_2mb_vs_bare", double(oursKiB) / bareKiB,
                        TavrikBench::Goal::AtMost, 1.15);
    std::fprintf(stderr,
                 "key to frame: editor %.1f ms, bare frame %.1f ms (medians of %zu keys each, "
                 "the clock's error of %.1f ms left out); "
                 "renderer memory: editor %ld KiB, bare frame %ld KiB, settled %.1f s after "
                 "the note was in\n",
                 oursMs, bareMs, sides[0].keys.size(), clockError, oursKiB, bareKiB,
                 settledMs / 1000.0);
    return TavrikBench::exitCode();
}
