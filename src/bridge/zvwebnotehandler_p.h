// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "bridge/zvwebnotehandler.h"

#include "highlight/notehighlight_p.h"
#include "session/editorpage_p.h"
#include "session/notesession_p.h"

#include <QPointer>

namespace TAVRIKCORE::RICHEDITOR {

namespace Internal {
struct TrackedKeys;
}

// What a handler holds: the open note's state, the page it calls, and what the page's
// hooks keep between calls. A copy shares the host, the browser and the copy wait.
class ZvWebNoteHandler::Private
{
public:
    IEWebBrowser *browser() const { return page.browser(); }

    IZvEditorNotify *notify = nullptr;
    Internal::EditorPage page;
    Internal::NoteSession session;
    Internal::NoteHighlight highlight;
    int maxChars = 3000;
    std::map<QString, int> funTable; // script-callable names and their ids
    DRAGE_OP_TYPE dragType{}; // no drag yet
    std::vector<DropFileInfo> dropFiles; // files of the drag in progress
    QString menuAttachFile; // the attachment the menu was last opened for
    QString menuAttachName;
    // Keys pressed and not yet released as the key hook saw them, for where the window system
    // cannot tell which keys are down.
    std::shared_ptr<Internal::TrackedKeys> keysDown;
    // The wait for the browser's copy, between Control+C and the copy notification.
    QPointer<QObject> copyWait;
    ContentChangedHandler contentChanged;
};

} // namespace TAVRIKCORE::RICHEDITOR
