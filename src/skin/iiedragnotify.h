// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QPoint>
#include <Qt>

class QMimeData;

namespace TAVRIKCORE::RICHEDITOR {

// Receives the drag-and-drop events over the page (see IEWebBrowser::SetIEDragNotify).
// Each answers S_OK when it handled the event (the browser does not see it) or another
// code to let the browser act on it. `keyState` is the keyboard state, `point` the position
// on the screen; `effect` holds the actions the source allows on entry and the actions the
// receiver accepts on return (an empty set refuses the drop).
class IIEDragNotify
{
public:
    virtual ~IIEDragNotify() = default;

    virtual long OnDragEnter(const QMimeData *data, Qt::KeyboardModifiers keyState,
                             const QPoint &point, Qt::DropActions &effect)
        = 0;
    virtual long OnDragOver(Qt::KeyboardModifiers keyState, const QPoint &point,
                            Qt::DropActions &effect)
        = 0;
    virtual long OnDragLeave() = 0;
    virtual long OnDrop(const QMimeData *data, Qt::KeyboardModifiers keyState, const QPoint &point,
                        Qt::DropActions &effect)
        = 0;

    // The page's own drop target, filled by the browser when the receiver is registered.
    // Its answers (E_NOTIMPL) let the event through to the page, so forwarding an event to
    // it and returning its answer hands the event to the browser. Null until registered.
    IIEDragNotify *PageDropTarget() const { return m_pageDropTarget; }
    void SetPageDropTarget(IIEDragNotify *target) { m_pageDropTarget = target; }

private:
    IIEDragNotify *m_pageDropTarget = nullptr;
};

} // namespace TAVRIKCORE::RICHEDITOR
