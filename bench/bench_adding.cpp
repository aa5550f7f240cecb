// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Adding one 10 MiB document to a loaded editor (store, thumbnail, bookkeeping and page
// insertion) over hashing it with md5sum and copying it with cp, measured alternately; and the
// times native code waits for the page while 20 files are added, from the host's list and
// as one drop.
#include "benchutil.h"
#include "editorpagebench.h"

#include "attach/dropfiles_p.h"
#include "bridge/zvwebnotehandler.h"
#include "common/commonutils.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

using TavrikBench::median;

namespace {

constexpr int Runs = 15;
constexpr int BatchFiles = 20;
constexpr int BatchRuns = 4;

// The editor's browser, counting the calls that wait for the page.
class CountingBrowser : public IEWebBrowser
{
public:
    int waits = 0;

    int ExecJSFun(const QString &funName, const QVariantList &args, QVariant &result) override
    {
        ++waits;
        return IEWebBrowser::ExecJSFun(funName, args, result);
    }
    std::vector<ScriptResult> ExecJSFunEach(const QString &funName,
                                            const std::vector<QVariantList> &calls) override
    {
        ++waits;
        return IEWebBrowser::ExecJSFunEach(funName, calls);
    }
};

// The page waits for adding `paths` to an empty note, through the host's list or as one drop;
// -1 when not every file reached the page.
int waitsForAdding(TavrikBench::EditorPageBench<ZvWebNoteHandler, CountingBrowser> &editor,
                   const std::vector<QString> &paths, bool asDrop)
{
    auto &[work, prompts, handler, browser, ready] = editor;
    handler.SetEditorHtml(QStringLiteral("<p>Photos of the trip.</p>"));
    handler.SetCurNoteGuid(CreateGuidString());
    std::vector<DropFileInfo> drop(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        DropFiles::BuildDropFileInfo(paths[i], drop[i]);
    browser.waits = 0;
    if (asDrop)
        handler.AddDropFileToEditor(drop);
    else
        handler.InsertLocalFile(paths);
    const int waits = browser.waits;
    QString html;
    QString text;
    handler.GetEditorContent(html, text);
    return html.count(QStringLiteral("zv_exdata")) == int(paths.size()) ? waits : -1;
}

// The most page waits either way of adding 20 files took, the ways taken in turn.
int addBatchWaits()
{
    TavrikBench::EditorPageBench<ZvWebNoteHandler, CountingBrowser> editor;
    if (!editor.ready)
        return -1;
    std::vector<QString> paths;
    for (int i = 0; i < BatchFiles; ++i) {
        paths.push_back(editor.work.path() + QStringLiteral("/note%1.txt").arg(i));
        TavrikBench::writeRandomFile(paths.back(), 4096 + i);
    }
    int most = 0;
    for (int run = 0; run < BatchRuns + 1; ++run) {
        const int list = waitsForAdding(editor, paths, false);
        const int drop = waitsForAdding(editor, paths, true);
        if (list < 0 || drop < 0 || editor.prompts.messages) {
            std::fprintf(stderr, "the %d files were not all added (%d messages)\n", BatchFiles,
                         editor.prompts.messages);
            return -1;
        }
        if (run == 0)
            continue; // warm-up
        std::fprintf(stderr, "20 files: %d page waits from the list, %d as a drop\n", list, drop);
        most = std::max({most, list, drop});
    }
    return most;
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

    const QString source = work.path() + QStringLiteral("/report.docx");
    const QString copy = work.path() + QStringLiteral("/copy.docx");
    TavrikBench::writeRandomFile(source, 10 * 1024 * 1024);
    const QString command
        = QStringLiteral("md5sum '%1' > /dev/null && cp '%1' '%2'").arg(source, copy);

    std::vector<double> adding;
    std::vector<double> baseline;
    for (int run = 0; run < Runs + 1; ++run) {
        // A loaded note without attachments, in a fresh note folder each time.
        handler.SetEditorHtml(QStringLiteral("<p>Quarterly report, see attachment.</p>"));
        handler.SetCurNoteGuid(CreateGuidString());
        DropFileInfo info;
        DropFiles::BuildDropFileInfo(source, info);
        const double add = TavrikBench::secondsOf([&] { handler.AddDropFileToEditor({info}); });
        QFile::remove(copy);
        const double base = TavrikBench::secondsOfCommand(command);
        if (run == 0)
            continue; // warm-up
        adding.push_back(add);
        baseline.push_back(base);
    }
    QString html;
    QString text;
    if (prompts.messages || !handler.GetEditorContent(html, text)
        || !html.contains(QStringLiteral("zv_exdata"))) {
        std::fprintf(stderr, "the document was not added (%d messages): %s\n", prompts.messages,
                     qPrintable(html.left(300)));
        return 1;
    }
    TavrikBench::report("add_10mib_vs_md5sum_cp", median(adding) / median(baseline),
                        TavrikBench::Goal::AtMost, 1.3);
    std::fprintf(stderr, "adding %.1f ms, md5sum + cp %.1f ms (medians of %d)\n",
                 median(adding) * 1000, median(baseline) * 1000, Runs);
    const int waits = addBatchWaits();
    if (waits < 0)
        return 1;
    TavrikBench::report("add_20_files_page_calls", waits, TavrikBench::Goal::AtMost, 3);
    return TavrikBench::exitCode();
}
