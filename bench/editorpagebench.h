// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "benchutil.h"
#include "bridge/zvwebnotehandler.h"
#include "skin/iewebbrowser.h"

#include <QTemporaryDir>

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

} // namespace TavrikBench
