// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Table and picture commands in a 2 MB note, each against typing one key in the same note:
// inserting a row, inserting a column, merging two cells and one step of resizing a picture,
// each measured in the page until the note is laid out again, taken back after each run.
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

struct Command
{
    const char *name;
    QString place; // puts the caret or selection where the command runs
    QString action; // a function of the frame's document
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
    editor->handler().SetEditorHtml(TavrikBench::makeNote(NoteBytes));
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
            TavrikBench::runScript(page, u"Tavrik.pictures.endResize();Tavrik.edits.undo()"_s);
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
