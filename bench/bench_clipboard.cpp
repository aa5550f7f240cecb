// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Copy and paste of 20 attachments (8 MiB in all) in a loaded editor, each against its
// nearest plain counterpart in the same run:
//   paste_20_att_vs_add: Control+V of note HTML naming the 20 attachments until the page shows
//     the pasted copies, over adding the same 20 files with AddDropFileToEditor;
//   copy_out_20_att_vs_browser_copy: Control+C on the 20 attachments until the clipboard holds
//     their file list, over the browser's own copy on the same key until its HTML is there.
#include "benchutil.h"

#include "attach/dropfiles_p.h"
#include "clipboard/clipboardformats_p.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include <cstdio>
#include <functional>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikBench::median;

namespace {

constexpr int Runs = 21; // the copies take a few milliseconds: enough runs for a steady median
constexpr int Files = 20;
constexpr qint64 FileBytes = 8 * 1024 * 1024 / Files;

// Seconds until `done` holds, polling the event loop; negative after a minute.
double secondsUntil(const std::function<void()> &start, const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    start();
    while (!done()) {
        if (clock.elapsed() > 60000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return clock.nsecsElapsed() / 1e9;
}

int attachmentsShown(QWebEnginePage *page)
{
    return TavrikBench::runScript(
               page,
               QStringLiteral("Tavrik.editor.document().querySelectorAll('img[zv_exdata]')"
                              ".length"))
        .toInt();
}

void selectAttachments(QWebEnginePage *page)
{
    TavrikBench::runScript(
        page,
        QStringLiteral("(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
                       "const a=d.querySelectorAll('img[zv_exdata]');const r=d.createRange();"
                       "r.setStartBefore(a[0]);r.setEndAfter(a[a.length-1]);"
                       "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"));
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    QTemporaryDir work;
    if (!TavrikBench::stageAppFolder(work.path()))
        return 1;
    TavrikBench::QuietPrompts prompts;

    CZorvaEditorImpl editor;
    editor.Create(nullptr, QRect(0, 0, 900, 700), 1, IEWebBrowser::StyleVisible);
    QApplication::setActiveWindow(&editor);
    ZvWebNoteHandler &handler = editor.handler();
    QWebEnginePage *page = editor.page();
    if (secondsUntil([] {},
                     [&] {
                         return editor.pageLoaded()
                             && TavrikBench::runScript(
                                    page, QStringLiteral("!!(window.Tavrik && Tavrik.ready)"))
                                    .toBool();
                     })
        < 0) {
        std::fprintf(stderr, "editor page did not start\n");
        return 1;
    }
    std::vector<DropFileInfo> sources;
    for (int i = 0; i < Files; ++i) {
        const QString path = work.path() + QStringLiteral("/in/part%1.bin").arg(i + 10);
        QDir().mkpath(work.path() + QStringLiteral("/in"));
        TavrikBench::writeRandomFile(path, FileBytes - i); // sizes differ, so contents do
        DropFileInfo info;
        DropFiles::BuildDropFileInfo(path, info);
        sources.push_back(info);
    }
    const QString text = QStringLiteral("<p>Photos and scans of the trip.</p>");
    QClipboard *clipboard = QGuiApplication::clipboard();
    QWidget *inner = editor.GetWebBrowseHwnd();

    std::vector<double> adding, pasting, copying, browserCopying;
    for (int run = 0; run < Runs + 1; ++run) {
        // Adding the files to a fresh note.
        QString noteId;
        editor.NewEditor(noteId, false);
        handler.SetEditorHtml(text);
        const double add = TavrikBench::secondsOf([&] { handler.AddDropFileToEditor(sources); });

        // Copying them out with the same key, through the editor and by the browser alone
        // (the editor's key hook unregistered), each going first in every other run. The
        // browser takes the focus a moment after the window, and its selection must be made
        // after that.
        inner->setFocus();
        QTest::qWait(200);
        const auto copyOut = [&](bool throughEditor) {
            selectAttachments(page);
            clipboard->clear();
            editor.SetIEUINotify(throughEditor ? &handler : nullptr);
            const double seconds = secondsUntil(
                [&] { QTest::keyClick(inner, Qt::Key_C, Qt::ControlModifier); },
                [&] {
                    const QMimeData *data = clipboard->mimeData();
                    return data && (throughEditor ? data->hasUrls() : data->hasHtml());
                });
            editor.SetIEUINotify(&handler);
            return seconds;
        };
        const bool editorFirst = run % 2 == 0;
        const double first = copyOut(editorFirst);
        const double second = copyOut(!editorFirst);
        const double copy = editorFirst ? first : second;
        const double browserCopy = editorFirst ? second : first;

        // Pasting the note's HTML into it again: the pasted attachments are stored anew as
        // part10(1).bin ... beside the originals. The originals are recorded as one byte each
        // so that the copies fit in the note's 10 MiB.
        QString html, plain;
        handler.GetEditorContent(html, plain);
        std::map<QString, quint64> tiny;
        for (const auto &[name, size] : handler.attachFileSizes())
            tiny[name] = 1;
        handler.SetEditorHtml(html);
        handler.InitAttachFileSize(tiny);
        WriteClipboardHtml(html.toUtf8());
        TavrikBench::runScript(
            page,
            QStringLiteral("(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
                           "const r=d.createRange();r.selectNodeContents(d.body);r.collapse(false);"
                           "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"));
        const double paste
            = secondsUntil([&] { QTest::keyClick(inner, Qt::Key_V, Qt::ControlModifier); },
                           [&] { return attachmentsShown(page) == 2 * Files; });
        if (add < 0 || copy < 0 || browserCopy < 0 || paste < 0 || prompts.messages) {
            std::fprintf(stderr, "run %d did not finish (%d messages): %g %g %g %g, %d shown\n",
                         run, prompts.messages, add, copy, browserCopy, paste,
                         attachmentsShown(page));
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        adding.push_back(add);
        pasting.push_back(paste);
        copying.push_back(copy);
        browserCopying.push_back(browserCopy);
    }
    TavrikBench::report("paste_20_att_vs_add", median(pasting) / median(adding),
                        TavrikBench::Goal::AtMost, 1.2);
    TavrikBench::report("copy_out_20_att_vs_browser_copy", median(copying) / median(browserCopying),
                        TavrikBench::Goal::AtMost, 1.5);
    std::fprintf(stderr,
                 "paste %.1f ms, add %.1f ms; copy out %.1f ms, browser copy %.1f ms "
                 "(medians of %d)\n",
                 median(pasting) * 1000, median(adding) * 1000, median(copying) * 1000,
                 median(browserCopying) * 1000, Runs);
    return TavrikBench::exitCode();
}
