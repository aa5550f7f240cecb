// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "capture/screencapturedlgbase_p.h"
#include "capture/selectionencoder_p.h"

#include <QTimer>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

class IScreenCaptureNotify;

// The editor's screen capture: toolbar buttons and a menu to copy the selection to the
// clipboard, save it as a picture file, leave, or complete it (the picture goes to the notify
// target), and the capture's own cursors from the resource folder.
class TAVRIK_AUTOTEST_EXPORT ZorvaNoteScreenCapture : public ScreenCaptureDlgBase
{
    Q_OBJECT
public:
    enum Command { SaveAs = 1001, Exit = 1002, Complete = 1003, Copy = 1004, NoAction = 1005 };

    // Captures the screen under the cursor for `notify`.
    explicit ZorvaNoteScreenCapture(IScreenCaptureNotify *notify, QWidget *parent = nullptr);
    // Shows `snapshot` instead.
    ZorvaNoteScreenCapture(IScreenCaptureNotify *notify, const ScreenSnapshot &snapshot,
                           QWidget *parent = nullptr);

    // Runs a capture for `notify` and returns when it ends. With `hideHost` set, `host` (the
    // application's window) leaves the screen before the snapshot and comes back afterwards,
    // however the capture ended. When the screen gives no picture, the reason is logged and
    // shown in a message, and no capture window opens. 1 when the capture ran.
    //
    // The capture window of a `host` stays with it, hidden and without its snapshot, for
    // `KeptIdleMs` after a capture: the next capture within that time opens in a window whose
    // buffers already exist.
    static int Run(IScreenCaptureNotify *notify, QWidget *host, bool hideHost);
    static constexpr int KeptIdleMs = 120000;

    // The save dialog's title, suggested name and filters.
    static QString SaveAsTitle();
    static QString DefaultFileName();
    static QString SaveAsFilter();

    void InitToolbarButtons() override;
    void LoadTrackerCursors() override;
    void ShowCaptureMenu(const QPoint &point) override;
    void OnSelectionDblClick(const QPoint &point) override;
    // 1001 save as, 1002 exit, 1003 complete, 1004 copy; the selection is normalised first.
    // Complete hands on the picture with the JPEG encoded while the selection rested.
    void OnCommand(int id) override;
    // Follows the selection, to encode it once it rests.
    void OnSelectionChanged() override;
    // Ends the capture; the selection's encode is thrown away.
    void done(int result) override;
    const SelectionEncoder &encoder() const { return m_encoder; }

private:
    static ZorvaNoteScreenCapture *windowFor(IScreenCaptureNotify *notify, QWidget *host,
                                             const ScreenSnapshot &snapshot,
                                             std::unique_ptr<ZorvaNoteScreenCapture> &own);
    void initIdleTimer();
    void saveAs();

    IScreenCaptureNotify *m_notify;
    SelectionEncoder m_encoder;
    QTimer m_idle; // deletes a kept window that went unused
};

} // namespace TAVRIKCORE::RICHEDITOR
