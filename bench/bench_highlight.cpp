// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Search marks in a 2 MB note with 1,000 hits: HighlightText until every mark is drawn, over
// a bare script in the same frame that only finds the same hits; removing those marks; and
// ReplaceAll of the 1,000 hits against marking them (the layout that follows, in the next
// frame, is printed apart). The replacement swaps the keyword with another word each run, so
// every run finds 1,000 hits.
#include "benchutil.h"
#include "editorpagebench.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <utility>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

constexpr int Runs = 15;
constexpr int Hits = 1000;
constexpr int NoteBytes = 2 * 1024 * 1024;

// Paragraphs of ordinary text; every tenth names the keyword once.
QString makeNote()
{
    QString html;
    html.reserve(NoteBytes + 1024);
    for (int i = 0; html.size() < NoteBytes || i < Hits * 10; ++i) {
        html += u"<p>Paragraph "_s + QString::number(i)
            + u": <b>budget</b> and <i>plans</i> for the next quarter, with notes on travel, "
              "rooms, catering and the speakers' list, all to be settled before Friday. "_s;
        if (i % 10 == 0 && i / 10 < Hits)
            html += u"Ask about the zebra crossing. "_s;
        html += u"</p>"_s;
    }
    return html;
}

QString findOnly(const QString &word)
{
    return uR"((function(k){
    const d=document.querySelector('iframe.ke-edit-iframe').contentDocument;
    const w=d.createTreeWalker(d.body,NodeFilter.SHOW_TEXT);let n=0;
    for(let t=w.nextNode();t;t=w.nextNode())
        for(let i=t.data.indexOf(k);i>=0;i=t.data.indexOf(k,i+1))++n;
    return n;})('%1'))"_s.arg(word);
}

// Lays the note out, as the next frame would after a change.
QString layOut()
{
    return u"document.querySelector('iframe.ke-edit-iframe').contentDocument.body.offsetHeight"_s;
}

// The highlighter's state: hits marked, and whether all are drawn.
QVariantMap shownMarks(CZorvaEditorImpl &editor)
{
    QVariant state;
    editor.ExecAppScript(u"window.tavrikHighlighter.describe(true)"_s, state);
    return state.toMap();
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !TavrikBench::stageAppFolder(dir.path()))
        return 2;

    QWidget parent;
    CZorvaEditorImpl *editor = TavrikBench::openEditorWindow(parent);
    if (!editor)
        return 2;
    editor->handler().SetEditorHtml(makeNote());

    std::vector<double> marked, found, cancelled, replacedAll, laidOut;
    QString word = u"zebra"_s, other = u"horse"_s;
    for (int i = 0; i <= Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const int findHits = TavrikBench::runScript(editor->page(), findOnly(word)).toInt();
        const double findNs = clock.nsecsElapsed();

        clock.restart();
        const int done = editor->handler().HighlightText(word);
        QVariantMap state = shownMarks(*editor);
        while (done && state.value(u"hits"_s).toInt() == Hits && !state.value(u"drawn"_s).toBool())
            state = shownMarks(*editor);
        const double markNs = clock.nsecsElapsed();

        clock.restart();
        const int removed = editor->handler().CancleHighlight();
        const double cancelNs = clock.nsecsElapsed();

        clock.restart();
        const int replaced = editor->handler().ReplaceAll(word, other);
        const double replaceNs = clock.nsecsElapsed();
        // The next run starts on a quiet page, laid out again as the next frame would.
        clock.restart();
        TavrikBench::runScript(editor->page(), layOut());
        const double layoutNs = clock.nsecsElapsed();
        if (findHits != Hits || !done || state.value(u"hits"_s).toInt() != Hits
            || state.value(u"marks"_s).toInt() < Hits || !removed || replaced != Hits) {
            qWarning("bench_highlight: found %d, marked %d, replaced %d", findHits,
                     state.value(u"hits"_s).toInt(), replaced);
            return 2;
        }
        std::swap(word, other);
        if (i > 0) { // the first run warms up every side
            found.push_back(findNs);
            marked.push_back(markNs);
            cancelled.push_back(cancelNs);
            replacedAll.push_back(replaceNs);
            laidOut.push_back(layoutNs);
        }
    }
    const double mark = TavrikBench::median(marked), find = TavrikBench::median(found);
    TavrikBench::report("highlight_1000_vs_find", mark / find, TavrikBench::Goal::AtMost, 3);
    const double replace = TavrikBench::median(replacedAll);
    TavrikBench::report("replace_all_1000_vs_highlight", replace / mark, TavrikBench::Goal::AtMost,
                        3);
    TavrikBench::report("cancel_1000_us", TavrikBench::median(cancelled) / 1000,
                        TavrikBench::Goal::AtMost, 20000);
    std::fprintf(stderr,
                 "marked %.2f ms, found %.2f ms, replaced %.2f ms, laid out after it %.2f ms "
                 "(medians of %d)\n",
                 mark / 1e6, find / 1e6, replace / 1e6, TavrikBench::median(laidOut) / 1e6, Runs);
    return TavrikBench::exitCode();
}
