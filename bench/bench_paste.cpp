// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Pasting 2 MB of HTML into an empty note through the page's own paste handler (sanitising,
// the character limit, insertion, counting) over the browser inserting the same HTML into a
// bare editable frame; and pasting 2 MB of Word's clipboard HTML (Office clean-up first) over
// pasting the same content already clean. Each pair measured alternately, both laid out before
// the time is taken.
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
#include <functional>
#include <optional>
#include <utility>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

using TavrikBench::median;
using TavrikBench::runScript;

namespace {

constexpr int Runs = 5;
constexpr int NoteBytes = 2 * 1024 * 1024;
constexpr int WordBytes = 2 * 1024 * 1024;
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

// A new empty note with a clipboard holding the HTML of the page's variable `html`, outside the
// time taken.
QString editorReset(const char *html)
{
    return u"(function () { Tavrik.editor.setContent(''); window.benchData = new DataTransfer();"
           "window.benchData.setData('text/html', %1); return true; })()"_s.arg(
               QLatin1StringView(html));
}

QString listItem(int level, const QString &marker, const QString &text)
{
    return u"<p class=MsoListParagraphCxSpMiddle style='margin-left:%1.0in;mso-add-space:auto;"
           "text-indent:-.25in;mso-list:l0 level%1 lfo1'><![if !supportLists]><span "
           "style='font-family:Symbol;mso-fareast-font-family:Symbol'><span "
           "style='mso-list:Ignore'>%2<span style='font:7.0pt \"Times New Roman\"'>&nbsp;&nbsp;"
           "&nbsp; </span></span></span><![endif]>%3<o:p></o:p></p>\r\n"_s.arg(level)
               .arg(marker, text);
}

// About `bytes` of what Word puts on the clipboard for a long report: headings, styled
// paragraphs, bulleted and numbered lists on two levels, tables.
QString wordHtml(int bytes)
{
    QString html = u"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"><head><meta "
                   "name=ProgId content=Word.Document><style><!--p.MsoNormal{margin:0in;"
                   "font-size:11.0pt;font-family:\"Calibri\",sans-serif;}--></style></head>"
                   "<body lang=EN-US><!--StartFragment-->"_s;
    for (int i = 0; html.size() < bytes; ++i) {
        const QString n = QString::number(i);
        html += u"<h2><span style='mso-fareast-font-family:\"Times New Roman\"'>Section "_s + n
            + u"<o:p></o:p></span></h2>\r\n<p class=MsoNormal style='margin-bottom:8.0pt;"
              "line-height:107%'><span style='font-size:12.0pt;line-height:107%;font-family:"
              "\"Arial\",sans-serif'>Paragraph "_s
            + n
            + u" of the report, with </span><span style='font-weight:bold'>bold</span> and "
              "<i>italic</i> words.<o:p></o:p></p>\r\n"_s
            + listItem(1, u"·"_s, u"First point "_s + n) + listItem(2, u"o"_s, u"Detail "_s + n)
            + listItem(1, u"·"_s, u"Second point "_s + n) + listItem(1, u"1."_s, u"Step "_s + n)
            + u"<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0 "
              "style='border-collapse:collapse;border:none'><tr><td width=312 valign=top "
              "style='width:233.75pt;border:solid windowtext 1.0pt;padding:0in 5.4pt 0in 5.4pt'>"
              "<p class=MsoNormal>cell a"_s
            + n
            + u"<o:p></o:p></p></td><td width=312 valign=top style='width:233.75pt;border:solid "
              "windowtext 1.0pt;padding:0in 5.4pt 0in 5.4pt'><p class=MsoNormal>cell b"_s
            + n + u"<o:p></o:p></p></td></tr></table>\r\n"_s;
    }
    return html + u"<!--EndFragment--></body></html>"_s;
}

const char EditorPaste[] = R"((function () {
    Tavrik.editor.focus();
    const d = Tavrik.editor.document();
    d.body.dispatchEvent(new ClipboardEvent('paste',
        { clipboardData: window.benchData, bubbles: true, cancelable: true }));
    return d.body.offsetHeight > 0 && !Tavrik.editor.refusal() ? d.body.textContent.length : -1;
})())";

// The medians of `Runs` timings of `first` and `second` taken alternately, after one warm-up
// run of each. Each run's paste gives its note `firstChars` and `secondChars` characters: nothing
// when the first paste fell short of the second, which `what` names.
std::optional<std::pair<double, double>> alternately(const std::function<double()> &first,
                                                     const int &firstChars,
                                                     const std::function<double()> &second,
                                                     const int &secondChars, const char *what)
{
    std::vector<double> firsts, seconds;
    for (int run = 0; run < Runs + 1; ++run) {
        double a = 0;
        double b = 0;
        if (run % 2 == 0) {
            a = first();
            b = second();
        } else {
            b = second();
            a = first();
        }
        if (firstChars <= 0 || firstChars < secondChars * 0.99) {
            std::fprintf(stderr, "%s: %d characters against %d\n", what, firstChars, secondChars);
            return std::nullopt;
        }
        if (run == 0)
            continue; // warm-up
        firsts.push_back(a);
        seconds.push_back(b);
    }
    return std::pair{median(firsts), median(seconds)};
}

// The goal `key`: the first median over the second at most `goal`; the medians themselves
// named `first` and `second`.
void report(const char *key, double goal, const std::pair<double, double> &medians,
            const char *first, const char *second)
{
    TavrikBench::report(key, medians.first / medians.second, TavrikBench::Goal::AtMost, goal);
    std::fprintf(stderr, "%s %.1f ms, %s %.1f ms (medians of %d)\n", first, medians.first * 1000,
                 second, medians.second * 1000, Runs);
}

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

    int pastedChars = 0;
    int bareChars = 0;
    const auto timeEditor = [&](const char *variable, int &chars) {
        runScript(browser.page(), editorReset(variable));
        TavrikBench::settle(200);
        return TavrikBench::secondsOf(
            [&] { chars = runScript(browser.page(), QString::fromLatin1(EditorPaste)).toInt(); });
    };
    const auto timeBare = [&] {
        runScript(bare.page(), u"reset()"_s);
        TavrikBench::settle(200);
        return TavrikBench::secondsOf(
            [&] { bareChars = runScript(bare.page(), u"paste(window.benchHtml)"_s).toInt(); });
    };
    const auto pasting
        = alternately([&] { return timeEditor("window.benchHtml", pastedChars); }, pastedChars,
                      timeBare, bareChars, "the paste did not reach the note");
    if (!pasting)
        return 1;
    report("paste_2mb_vs_bare", 2, *pasting, "paste", "bare insertion");

    const QString word = u"window.wordHtml = "_s + TavrikBench::jsString(wordHtml(WordBytes))
        + u"; window.cleanHtml = Tavrik.officePaste.clean(window.wordHtml).html; true"_s;
    if (!runScript(browser.page(), word).toBool())
        return 1;
    int wordChars = 0;
    int cleanChars = 0;
    const auto office
        = alternately([&] { return timeEditor("window.wordHtml", wordChars); }, wordChars,
                      [&] { return timeEditor("window.cleanHtml", cleanChars); }, cleanChars,
                      "the paste from Word lost text");
    if (!office)
        return 1;
    report("paste_word_2mb_vs_paste", 1.5, *office, "Word paste", "clean paste");
    return TavrikBench::exitCode();
}
