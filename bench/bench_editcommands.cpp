// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Editing commands in a 2 MB note, each against typing one key in the same note: inserting a
// row, inserting a column, merging two cells, one step of resizing a picture, ticking a
// checklist item and colouring a 200-line code block again after a key typed in it, each
// measured in the page until the note is laid out again, taken back after each run.
#include "benchutil.h"
#include "editorpagebench.h"

#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

constexpr int Runs = 15;
constexpr int NoteBytes = 2 * 1024 * 1024;

// Milliseconds from the start of `action` until the note is laid out again.
const QString Timed = uR"((function(){
    const d=Tavrik.editor.document();
    const t=performance.now();(%1)(d);void d.body.offsetHeight;return performance.now()-t;})())"_s;

// The caret (or the selection) in a table in the middle of the note.
const QString PlaceInTable = uR"((function(){
    const d=Tavrik.editor.document();const tables=d.querySelectorAll('table');
    const rows=tables[Math.floor(tables.length/2)].rows;const r=d.createRange();
    r.setStart(rows[2].cells[1].firstChild,1);r.setEnd(rows[2].cells[%1].firstChild,1);
    d.getSelection().removeAllRanges();d.getSelection().addRange(r);return true;})())"_s;

const QString PlaceInParagraph = uR"((function(){
    const d=Tavrik.editor.document();const ps=d.querySelectorAll('body > p');
    const r=d.createRange();r.setStart(ps[Math.floor(ps.length/2)].firstChild,3);
    d.getSelection().removeAllRanges();d.getSelection().addRange(r);return true;})())"_s;

// The caret in the middle of the first checklist item, or in the code block's middle line
// with a key typed there.
const QString PlaceInChecklist = uR"((function(){
    const d=Tavrik.editor.document();const item=d.querySelector('ul.checklist > li');
    d.getSelection().collapse(item.firstChild,2);return true;})())"_s;
const QString TypeInCode = uR"((function(){
    const d=Tavrik.editor.document();const pre=d.querySelector('pre');const half=pre.textContent.length>>1;
    const w=d.createTreeWalker(pre,NodeFilter.SHOW_TEXT);let n=w.nextNode(),k=n.length;
    while(k<half){n=w.nextNode();k+=n.length;}
    d.getSelection().collapse(n,n.length-(k-half));return d.execCommand('insertText',false,'x');})())"_s;
const QString CtrlEnter
    = u"d => d.body.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter', ctrlKey: true, "
      "bubbles: true, cancelable: true}))"_s;

// A checklist and a 200-line code block, put in the middle of the note.
QString checklistAndCode()
{
    QString html = u"<ul class=\"checklist\">"_s;
    for (int i = 0; i < 5; ++i)
        html += u"<li data-checked=\"false\">task %1</li>"_s.arg(i);
    html += u"</ul><pre class=\"language-cpp\">"_s;
    for (int line = 0; line < 200; ++line)
        html += u"    int value%1 = compute(%1, &quot;step&quot;); // line %1\n"_s.arg(line);
    return html + u"</pre>"_s;
}

QString benchNote()
{
    QString html = TavrikBench::makeNote(NoteBytes);
    html.insert(html.indexOf(u"</p>"_s, html.size() / 2) + 4, checklistAndCode());
    return html;
}

struct Command
{
    const char *name;
    QString place; // puts the caret or selection where the command runs
    QString action; // a function of the frame's document
    QString takeBack = u"Tavrik.pictures.endResize();Tavrik.edits.undo()"_s;
    QString done = u"true"_s; // true once the command did its work
};

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
    editor->handler().SetEditorHtml(benchNote());
    QWebEnginePage *page = editor->page();
    TavrikBench::runScript(page, u"Tavrik.editor.focus()"_s);
    TavrikBench::settle(500);

    const Command commands[] = {
        {"row insert", PlaceInTable.arg(1), u"d => Tavrik.tables.exec('rowBelow')"_s},
        {"column insert", PlaceInTable.arg(1), u"d => Tavrik.tables.exec('columnRight')"_s},
        {"cell merge", PlaceInTable.arg(2), u"d => Tavrik.tables.exec('mergeCells')"_s},
        {"picture resize step",
         u"(function(){const d=Tavrik.editor.document();const imgs=d.querySelectorAll('img');"
         "Tavrik.editor.selectNode(imgs[Math.floor(imgs.length/2)]);"
         "Tavrik.pictures.startResize(Tavrik.pictures.selected(),'se',0,0);return true;})()"_s,
         u"d => Tavrik.pictures.resizeTo(40, 30, false)"_s},
        {"checklist toggle", PlaceInChecklist, CtrlEnter,
         u"("_s + CtrlEnter + u")(Tavrik.editor.document())"_s,
         u"Tavrik.editor.document().querySelector('ul.checklist > li').dataset.checked==='true'"_s},
        {"code block colouring", TypeInCode,
         u"d => Tavrik.codeBlock.highlight(d.querySelector('pre'))"_s,
         u"Tavrik.editor.exec('undo')"_s,
         u"(p => p.textContent.includes('x') && !!p.querySelector('span.hljs-type'))"
         "(Tavrik.editor.document().querySelector('pre'))"_s},
    };
    const QString key = u"d => d.execCommand('insertText', false, 'x')"_s;
    std::vector<double> keyMs;
    std::vector<std::vector<double>> commandMs(std::size(commands));
    for (int run = 0; run <= Runs; ++run) {
        for (std::size_t i = 0; i < std::size(commands); ++i) {
            TavrikBench::runScript(page, PlaceInParagraph);
            const double typed = TavrikBench::runScript(page, Timed.arg(key)).toDouble();
            TavrikBench::runScript(page, u"Tavrik.editor.document().execCommand('undo')"_s);
            if (!TavrikBench::runScript(page, commands[i].place).toBool()) {
                std::fprintf(stderr, "bench_editcommands: no place for the %s\n", commands[i].name);
                return 2;
            }
            const double ms
                = TavrikBench::runScript(page, Timed.arg(commands[i].action)).toDouble();
            if (!TavrikBench::runScript(page, commands[i].done).toBool()) {
                std::fprintf(stderr, "bench_editcommands: the %s did nothing\n", commands[i].name);
                return 2;
            }
            TavrikBench::runScript(page, commands[i].takeBack);
            if (run > 0) { // the first run warms up both sides
                keyMs.push_back(typed);
                commandMs[i].push_back(ms);
            }
        }
    }
    double slowest = 0;
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        const double ms = TavrikBench::median(commandMs[i]);
        std::printf("  %s: %.2f ms\n", commands[i].name, ms);
        slowest = std::max(slowest, ms);
    }
    const double typedMs = TavrikBench::median(keyMs);
    std::printf("  one key: %.2f ms\n", typedMs);
    TavrikBench::report("edit_commands_2mb_vs_key", slowest / typedMs, TavrikBench::Goal::AtMost,
                        2);
    return TavrikBench::exitCode();
}
