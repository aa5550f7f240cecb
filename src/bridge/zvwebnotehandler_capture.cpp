// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for the screen capture. The capture itself lives in
// ZorvaNoteScreenCapture, the adding of its picture in AddCapturedPicture.
#include "bridge/zvwebnotehandler.h"

#include "bridge/zvwebnotehandler_p.h"
#include "capture/capturedpicture_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "skin/iewebbrowser.h"

namespace TAVRIKCORE::RICHEDITOR {

void ZvWebNoteHandler::OnScreenCapture(int hideMainWnd)
{
    ZorvaNoteScreenCapture::Run(this, d->browser() ? d->browser()->window() : nullptr,
                                hideMainWnd != 0);
}

void ZvWebNoteHandler::OnScreenCaptureComplet(const QImage &bitmap)
{
    Internal::AddCapturedPicture(d->session, d->page, bitmap);
}

} // namespace TAVRIKCORE::RICHEDITOR
