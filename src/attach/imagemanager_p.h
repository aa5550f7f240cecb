// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/singleton.h"
#include "tavrik_autotest_export_p.h"

#include <QImage>
#include <QString>

#include <map>

namespace TAVRIKCORE::RICHEDITOR {

// The process-wide cache of file-type icons drawn on thumbnail cards. Each icon file
// <app folder>res/<icon> is read at most once per process; a loaded icon stays cached for the
// life of the instance. Used from the user-interface thread only.
class TAVRIK_AUTOTEST_EXPORT ImageManager : public SingletonTemplate<ImageManager>
{
public:
    ~ImageManager() override;

    // The icon of a FILE_TYPE, or null when its file is missing or unreadable (nothing is
    // cached then, so the next call tries the file again). FT_UNKNOW falls back to the
    // picture built into the library. The instance keeps ownership of the result.
    const QImage *GetFileTypeBitmap(int type);

    // Resource path of the built-in picture used when "unknow.bmp" is missing.
    static QString fallbackBitmapPath();

private:
    friend class SingletonTemplate<ImageManager>;
    ImageManager();

    std::map<QString, QImage> m_bitmaps;
};

} // namespace TAVRIKCORE::RICHEDITOR
