// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for the screen capture. The capture itself lives in
// ZorvaNoteScreenCapture.
#include "bridge/zvwebnotehandler.h"

#include "capture/zorvanotescreencapture_p.h"
#include "common/durablefile_p.h"
#include "common/log4c.h"
#include "skin/iewebbrowser.h"

namespace TAVRIKCORE::RICHEDITOR {

void ZvWebNoteHandler::OnScreenCapture(int hideMainWnd)
{
    ZorvaNoteScreenCapture::Run(this, m_browser ? m_browser->window() : nullptr, hideMainWnd != 0);
}

void ZvWebNoteHandler::OnScreenCaptureComplet(const QImage &bitmap)
{
    std::vector<DropFileInfo> files;
    if (!SaveImage(&bitmap, files)) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral(
            "[ERROR] Screen capture: the picture cannot be written to the temporary folder"));
        return;
    }
    // On disk before the store copies it: the store's own flushes then do not wait for the
    // JPEG's pages as well.
    Internal::syncFile(files.front().srcPath);
    AddDropFileToEditor(files);
    DelTempFileFromList(files);
}

} // namespace TAVRIKCORE::RICHEDITOR
