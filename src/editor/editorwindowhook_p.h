// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "editor/czorvaeditorimpl.h"

#include <QObject>

namespace TAVRIKCORE::RICHEDITOR {

// Event filter on the browser's inner window: hands every event to the editor's hook and
// lets the window handle it as usual.
class EditorWindowHook : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        CZorvaEditorImpl::IEHookWndProc(watched, event);
        return false;
    }
};

} // namespace TAVRIKCORE::RICHEDITOR
