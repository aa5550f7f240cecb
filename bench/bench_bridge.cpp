// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Cost of a synchronous call into the page over a bare script round trip on the same page,
// with a short reply and with a 1 MiB content reply.
#include "benchutil.h"

#include "bridge/zvwebnotehandler.h"
#include "common/commonutils.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

using TavrikBench::median;

namespace {

// jsProcessor answers from replies prepared at load time, so both sides pay the same script
// time. The content reply is 1 MiB of JSON text.
const char PageHtml[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><script>
var shortReply = JSON.stringify({result: true, errmsg: ""});
var html = "";
while (html.length < 1048576 - 200) html += "<p>note text \u4e2d\u6587 & \"quoted\" words</p>";
var contentReply = JSON.stringify({result: true, errmsg: "", ehtml: html, etext: "note text"});
while (contentReply.length < 1048576) {
    html += "x";
    contentReply = JSON.stringify({result: true, errmsg: "", ehtml: html, etext: "note text"});
}
function jsProcessor(method, arg) {
    return method === "GetEditorContent" ? contentReply : shortReply;
}
</script></head><body></body></html>)";

constexpr int Runs = 200;

double nanosecondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
        .count();
}

// Median time of `work` over median time of `bare`, the two run alternately so that both
// see the same load on the machine.
double ratioOf(const std::function<void()> &work, const std::function<void()> &bare)
{
    std::vector<double> workTimes, bareTimes;
    for (int i = 0; i < Runs; ++i) {
        bareTimes.push_back(nanosecondsOf(bare));
        workTimes.push_back(nanosecondsOf(work));
    }
    return median(workTimes) / median(bareTimes);
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetAppDirectory(dir.path());
    const QString pagePath = dir.filePath(QStringLiteral("bench.html"));
    QFile file(pagePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(PageHtml) < 0)
        return 2;
    file.close();

    IEWebBrowser browser;
    browser.Create(nullptr, QRect(0, 0, 400, 300), 1, IEWebBrowser::StyleVisible);
    QEventLoop loaded;
    QObject::connect(&browser, &IEWebBrowser::firstLoadFinished, &loaded, &QEventLoop::quit);
    QTimer::singleShot(60000, &loaded, &QEventLoop::quit);
    browser.Navigate2(pagePath);
    loaded.exec();
    if (!browser.isPageLoaded())
        return 2;
    ZvWebNoteHandler handler;
    handler.SetIEWebBrowser(&browser);
    QWebEnginePage *page = browser.page();

    const QString shortArg = QStringLiteral("{\"size\":10000 }");
    const QString shortScript
        = QStringLiteral("jsProcessor(\"SetEditorMaxChars\",\"{\\\"size\\\":10000 }\")");
    const QString contentScript = QStringLiteral("jsProcessor(\"GetEditorContent\",\"{}\")");
    QVariant result;
    for (int i = 0; i < 20; ++i) {
        browser.ExecJSFun(QStringLiteral("jsProcessor"),
                          {QStringLiteral("SetEditorMaxChars"), shortArg}, result);
        TavrikBench::runScript(page, shortScript);
    }
    if (TavrikBench::runScript(page, contentScript).toString().size() < 1048576)
        return 2;

    const double shortRatio = ratioOf(
        [&] {
            browser.ExecJSFun(QStringLiteral("jsProcessor"),
                              {QStringLiteral("SetEditorMaxChars"), shortArg}, result);
        },
        [&] { TavrikBench::runScript(page, shortScript); });
    TavrikBench::report("execjs_vs_bare", shortRatio, TavrikBench::Goal::AtMost, 1.2);

    QString html, text;
    const double contentRatio = ratioOf([&] { handler.GetEditorContent(html, text); },
                                        [&] { TavrikBench::runScript(page, contentScript); });
    if (html.size() < 1000000)
        return 2;
    TavrikBench::report("execjs_1mib_vs_bare", contentRatio, TavrikBench::Goal::AtMost, 1.5);
    return TavrikBench::exitCode();
}
