// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "benchutil.h"
#include "bridge/zvwebnotehandler.h"
#include "editor/czorvaeditorimpl.h"
#include "skin/iewebbrowser.h"

#include <QTemporaryDir>
#include <QWidget>

namespace TavrikBench {

// What the page's benchmarks start from: the editor page shown in a staged application folder,
// `Handler` answering its calls in `Browser`, prompts answered without a window. `ready` is
// false, with a message, when the page did not start.
template<typename Handler = TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler,
         typename Browser = TAVRIKCORE::RICHEDITOR::IEWebBrowser>
struct EditorPageBench
{
    QTemporaryDir work;
    QuietPrompts prompts;
    Handler handler;
    Browser browser;
    bool ready = stageAppFolder(work.path()) && showEditorPage(browser, handler, work.path());
};

// An editor filling an 800 x 600 `parent`, shown; nullptr when its page did not load.
inline TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *openEditorWindow(QWidget &parent)
{
    using namespace TAVRIKCORE::RICHEDITOR;
    parent.resize(800, 600);
    auto *editor = new CZorvaEditorImpl;
    editor->Create(&parent, QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible);
    parent.show();
    return waitUntil([&] { return editor->pageLoaded(); }) ? editor : nullptr;
}

} // namespace TavrikBench
