// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Adding one 10 MiB document to a loaded editor (store, thumbnail, bookkeeping and page
// insertion) over hashing it with md5sum and copying it with cp, measured alternately.
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
    return TavrikBench::exitCode();
}
