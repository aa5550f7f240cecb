// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Cost of laying out the up/down split view (the editor above, a list pane below) when its
// container is resized.
#include "benchutil.h"

#include "common/appdirectory.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/czorvaupdownview.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!TavrikBench::stageAppFolder(dir.path()))
        return 1;
    SetAppDirectory(dir.path() + u'/');

    QWidget host;
    host.resize(1000, 900);
    auto *view = new CZorvaUpDownView;
    view->Create(&host, QRect(0, 0, 1000, 800), 1);
    auto *editor = new CZorvaEditorImpl;
    editor->Create(view, QRect(0, 0, 1000, 600), 2, IEWebBrowser::StyleVisible);
    auto *pane = new QListWidget(view);
    for (int i = 0; i < 20; ++i)
        pane->addItem(QStringLiteral("attachment %1.pdf").arg(i));
    view->SetSplitterWnd(editor, pane);
    host.show();
    QApplication::processEvents();

    constexpr int resizes = 1000;
    std::vector<double> samples;
    samples.reserve(resizes);
    for (int i = 0; i < resizes; ++i) {
        const int height = 500 + (i % 300);
        const auto start = std::chrono::steady_clock::now();
        view->resize(1000, height);
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    TavrikBench::report("split_resize_us", TavrikBench::median(samples), TavrikBench::Goal::AtMost,
                        200);
    return TavrikBench::exitCode();
}
