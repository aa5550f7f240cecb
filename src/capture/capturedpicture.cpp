// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/capturedpicture_p.h"

#include "attach/attachadding_p.h"
#include "attach/attachstore_p.h"
#include "common/durablefile_p.h"
#include "common/log4c.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

bool AddCapturedPicture(NoteSession &session, EditorPage &page, const QImage &picture)
{
    std::vector<DropFileInfo> files;
    if (!AttachStore::SaveImage(&picture, files)) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral(
            "[ERROR] Screen capture: the picture cannot be written to the temporary folder"));
        return false;
    }
    // On disk before the store copies it: the store's own flushes then do not wait for the
    // JPEG's pages as well.
    syncFile(files.front().srcPath);
    AttachAdding(session, page).addFiles(files);
    AttachStore::DelTempFileFromList(files);
    return true;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
