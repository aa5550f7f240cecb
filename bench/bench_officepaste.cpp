// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Pasting 2 MB of Word's clipboard HTML into an empty note through the page's own paste handler
// (Office clean-up, sanitising, the character limit, insertion, counting) over pasting the same
// content already clean the same way, measured alternately; both laid out before the time is
// taken.
#include "benchutil.h"
#include "editorpagebench.h"

#include "bridge/zvwebnotehandler.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QWebEnginePage>

#include <cstdio>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

using TavrikBench::median;
using TavrikBench::runScript;

namespace {

constexpr int Runs = 5;
constexpr int WordBytes = 2 * 1024 * 1024;
constexpr int HostMaxChars = 5000000; // what the demo host allows its notes

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

// A new empty note with a clipboard holding `html`, outside the time taken.
QString editorReset(const char *html)
{
    return u"(function () { Tavrik.editor.setContent(''); window.benchData = new DataTransfer();"
           "window.benchData.setData('text/html', %1); return true; })()"_s.arg(
               QLatin1StringView(html));
}

const char EditorPaste[] = R"((function () {
    Tavrik.editor.focus();
    const d = Tavrik.editor.document();
    d.body.dispatchEvent(new ClipboardEvent('paste',
        { clipboardData: window.benchData, bubbles: true, cancelable: true }));
    return d.body.offsetHeight > 0 && !Tavrik.editor.refusal() ? d.body.textContent.length : -1;
})())";

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

    const QString keep = u"window.wordHtml = "_s + TavrikBench::jsString(wordHtml(WordBytes))
        + u"; window.cleanHtml = Tavrik.officePaste.clean(window.wordHtml).html; true"_s;
    if (!runScript(browser.page(), keep).toBool())
        return 1;

    std::vector<double> word, clean;
    for (int run = 0; run < Runs + 1; ++run) {
        int wordChars = 0;
        int cleanChars = 0;
        const auto timePaste = [&](const char *html, int &chars) {
            runScript(browser.page(), editorReset(html));
            TavrikBench::settle(200);
            return TavrikBench::secondsOf([&] {
                chars = runScript(browser.page(), QString::fromLatin1(EditorPaste)).toInt();
            });
        };
        const bool wordFirst = run % 2 == 0;
        const double first = wordFirst ? timePaste("window.wordHtml", wordChars)
                                       : timePaste("window.cleanHtml", cleanChars);
        const double second = wordFirst ? timePaste("window.cleanHtml", cleanChars)
                                        : timePaste("window.wordHtml", wordChars);
        if (wordChars <= 0 || wordChars != cleanChars) {
            std::fprintf(stderr, "the pastes differ: %d characters from Word, %d clean\n",
                         wordChars, cleanChars);
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        word.push_back(wordFirst ? first : second);
        clean.push_back(wordFirst ? second : first);
    }
    TavrikBench::report("paste_word_2mb_vs_paste", median(word) / median(clean),
                        TavrikBench::Goal::AtMost, 1.5);
    std::fprintf(stderr, "Word paste %.1f ms, clean paste %.1f ms (medians of %d)\n",
                 median(word) * 1000, median(clean) * 1000, Runs);
    return TavrikBench::exitCode();
}
