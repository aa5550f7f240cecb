// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Search marks in a 2 MB note with 1,000 hits: HighlightText until every mark is drawn, over
// a bare script in the same frame that only finds the same hits; and removing those marks.
#include "benchutil.h"
#include "editorpagebench.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
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

const QString FindOnly = uR"((function(){
    const d=document.querySelector('iframe.ke-edit-iframe').contentDocument;
    const w=d.createTreeWalker(d.body,NodeFilter.SHOW_TEXT);let n=0;
    for(let t=w.nextNode();t;t=w.nextNode())
        for(let i=t.data.indexOf('zebra');i>=0;i=t.data.indexOf('zebra',i+1))++n;
    return n;})())"_s;

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

    std::vector<double> marked, found, cancelled;
    for (int i = 0; i <= Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const int findHits = TavrikBench::runScript(editor->page(), FindOnly).toInt();
        const double findNs = clock.nsecsElapsed();

        clock.restart();
        const int done = editor->handler().HighlightText(u"zebra"_s);
        QVariantMap state = shownMarks(*editor);
        while (done && state.value(u"hits"_s).toInt() == Hits && !state.value(u"drawn"_s).toBool())
            state = shownMarks(*editor);
        const double markNs = clock.nsecsElapsed();

        clock.restart();
        const int removed = editor->handler().CancleHighlight();
        const double cancelNs = clock.nsecsElapsed();
        if (findHits != Hits || !done || state.value(u"hits"_s).toInt() != Hits
            || state.value(u"marks"_s).toInt() < Hits || !removed) {
            qWarning("bench_highlight: found %d, marked %d", findHits,
                     state.value(u"hits"_s).toInt());
            return 2;
        }
        if (i > 0) { // the first run warms up both sides
            found.push_back(findNs);
            marked.push_back(markNs);
            cancelled.push_back(cancelNs);
        }
    }
    const double mark = TavrikBench::median(marked), find = TavrikBench::median(found);
    TavrikBench::report("highlight_1000_vs_find", mark / find, TavrikBench::Goal::AtMost, 3);
    TavrikBench::report("cancel_1000_us", TavrikBench::median(cancelled) / 1000,
                        TavrikBench::Goal::AtMost, 20000);
    std::fprintf(stderr, "marked %.2f ms, found %.2f ms (medians of %d)\n", mark / 1e6, find / 1e6,
                 Runs);
    return TavrikBench::exitCode();
}
