// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Pasting 2 MB of HTML into an empty note through the page's own paste handler (sanitising,
// the character limit, insertion, counting) over the browser inserting the same HTML into a
// bare editable frame, measured alternately; both laid out before the time is taken.
#include "benchutil.h"
#include "editorpagebench.h"

#include "bridge/zvwebnotehandler.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdio>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

using TavrikBench::median;
using TavrikBench::runScript;

namespace {

constexpr int Runs = 5;
constexpr int NoteBytes = 2 * 1024 * 1024;
constexpr int HostMaxChars = 5000000; // what the demo host allows its notes

// A fresh editable frame per run, as the editor starts one per note; `paste` inserts at the
// caret the way the editor's paste does.
const char BarePage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><script>
let frame = null;
function reset() {
    const fresh = document.createElement('iframe');
    fresh.style.cssText = 'width:800px;height:500px;border:0';
    if (frame) frame.replaceWith(fresh); else document.body.appendChild(fresh);
    frame = fresh;
    const d = frame.contentDocument;
    d.open(); d.write('<!DOCTYPE html><html><head></head><body></body></html>'); d.close();
    d.body.contentEditable = 'true';
    return true;
}
function paste(html) {
    const d = frame.contentDocument;
    d.body.focus();
    d.execCommand('insertHTML', false, html);
    return d.body.offsetHeight > 0 ? d.body.textContent.length : -1;
}
</script></head><body></body></html>)";

// A new empty note with a clipboard holding the HTML, outside the time taken.
const char EditorReset[] = R"((function () {
    Tavrik.editor.setContent('');
    window.benchData = new DataTransfer();
    window.benchData.setData('text/html', window.benchHtml);
    return true;
})())";

const char EditorPaste[] = R"((function () {
    Tavrik.editor.focus();
    const d = Tavrik.editor.document();
    d.body.dispatchEvent(new ClipboardEvent('paste',
        { clipboardData: window.benchData, bubbles: true, cancelable: true }));
    return d.body.offsetHeight > 0 && !Tavrik.editor.refusal() ? d.body.textContent.length : -1;
})())";

bool loadBarePage(QWebEngineView &view, const QString &path)
{
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
    view.resize(900, 600);
    view.show();
    view.load(QUrl::fromLocalFile(path));
    return TavrikBench::waitUntil([&] { return loaded; });
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    TavrikBench::EditorPageBench<> editor;
    if (!editor.ready)
        return 1;
    auto &[work, prompts, handler, browser, ready] = editor;
    handler.SetEditorMaxChars(HostMaxChars);

    const QString barePath = work.filePath(u"bare.html"_s);
    QFile bareFile(barePath);
    if (!bareFile.open(QIODevice::WriteOnly) || bareFile.write(BarePage) < 0)
        return 1;
    bareFile.close();
    QWebEngineView bare;
    if (!loadBarePage(bare, barePath)) {
        std::fprintf(stderr, "the bare page did not load\n");
        return 1;
    }

    const QString html = TavrikBench::makeNote(NoteBytes);
    const QString keep = u"window.benchHtml = "_s + TavrikBench::jsString(html) + u"; true"_s;
    if (!runScript(browser.page(), keep).toBool() || !runScript(bare.page(), keep).toBool())
        return 1;

    std::vector<double> pasting, baseline;
    for (int run = 0; run < Runs + 1; ++run) {
        int pastedChars = 0;
        int bareChars = 0;
        const auto timeEditor = [&] {
            runScript(browser.page(), QString::fromLatin1(EditorReset));
            TavrikBench::settle(200);
            return TavrikBench::secondsOf([&] {
                pastedChars = runScript(browser.page(), QString::fromLatin1(EditorPaste)).toInt();
            });
        };
        const auto timeBare = [&] {
            runScript(bare.page(), u"reset()"_s);
            TavrikBench::settle(200);
            return TavrikBench::secondsOf(
                [&] { bareChars = runScript(bare.page(), u"paste(window.benchHtml)"_s).toInt(); });
        };
        const bool editorFirst = run % 2 == 0;
        const double first = editorFirst ? timeEditor() : timeBare();
        const double second = editorFirst ? timeBare() : timeEditor();
        if (pastedChars <= 0 || pastedChars < bareChars * 0.99) {
            std::fprintf(stderr, "the paste did not reach the note: %d characters, bare %d\n",
                         pastedChars, bareChars);
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        pasting.push_back(editorFirst ? first : second);
        baseline.push_back(editorFirst ? second : first);
    }
    TavrikBench::report("paste_2mb_vs_bare", median(pasting) / median(baseline),
                        TavrikBench::Goal::AtMost, 2);
    std::fprintf(stderr, "paste %.1f ms, bare insertion %.1f ms (medians of %d)\n",
                 median(pasting) * 1000, median(baseline) * 1000, Runs);
    return TavrikBench::exitCode();
}
