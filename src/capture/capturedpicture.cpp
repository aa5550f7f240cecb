// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/capturedpicture_p.h"

#include "attach/attachadding_p.h"
#include "attach/attachstore_p.h"
#include "common/durablefile_p.h"
#include "common/log4c.h"

#include <QImage>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

PreparedJpeg *&innermostPrepared()
{
    static PreparedJpeg *prepared = nullptr;
    return prepared;
}

} // namespace

PreparedJpeg::PreparedJpeg(const QImage &picture, const QByteArray &jpeg)
    : m_pictureKey(picture.cacheKey()), m_jpeg(jpeg), m_outer(innermostPrepared())
{
    innermostPrepared() = this;
}

PreparedJpeg::~PreparedJpeg()
{
    innermostPrepared() = m_outer;
}

QByteArray PreparedJpeg::bytesFor(const QImage &picture)
{
    const PreparedJpeg *prepared = innermostPrepared();
    if (!prepared || picture.isNull() || prepared->m_pictureKey != picture.cacheKey())
        return {};
    return prepared->m_jpeg;
}

bool AddCapturedPicture(NoteSession &session, EditorPage &page, const QImage &picture)
{
    std::vector<DropFileInfo> files;
    const QByteArray prepared = PreparedJpeg::bytesFor(picture);
    if (!(prepared.isEmpty() ? AttachStore::SaveImage(&picture, files)
                             : AttachStore::SaveJpeg(prepared, files))) {
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
