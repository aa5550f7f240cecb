// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QtGlobal>

class QImage;

namespace TAVRIKCORE::RICHEDITOR::Internal {

class EditorPage;
class NoteSession;

// Adds a completed capture to the open note as a JPEG picture: written to the temporary
// folder as "<guid>.jpg", added as a dropped file would be, and removed once the store holds
// its own copy. The JPEG prepared for the picture is written when there is one, else the
// picture is encoded. A picture that cannot be written adds nothing and is only logged. False
// then.
bool AddCapturedPicture(NoteSession &session, EditorPage &page, const QImage &picture);

// The JPEG of a completed capture's picture, encoded ahead of time: while this object lives,
// AddCapturedPicture writes these bytes for that very picture (the same image, unchanged)
// instead of encoding it. GUI thread only.
class TAVRIK_AUTOTEST_EXPORT PreparedJpeg
{
public:
    PreparedJpeg(const QImage &picture, const QByteArray &jpeg);
    ~PreparedJpeg();
    Q_DISABLE_COPY_MOVE(PreparedJpeg)

    // The bytes prepared for `picture`; empty for any other picture.
    static QByteArray bytesFor(const QImage &picture);

private:
    qint64 m_pictureKey;
    QByteArray m_jpeg;
    PreparedJpeg *m_outer;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
