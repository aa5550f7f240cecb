// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/imagemanager_p.h"

#include "attach/fileclassifier_p.h"
#include "common/commonutils.h"
#include "common/singleton_p.h"

namespace TAVRIKCORE::RICHEDITOR {

template class SingletonTemplate<ImageManager>;

ImageManager::ImageManager() = default;

ImageManager::~ImageManager()
{
    m_bitmaps.clear();
}

QString ImageManager::fallbackBitmapPath()
{
    return QStringLiteral(":/tavrik/attach/fallback516.bmp");
}

const QImage *ImageManager::GetFileTypeBitmap(int type)
{
    const QString iconName = FileClassifier::iconFileName(type);
    const auto cached = m_bitmaps.find(iconName);
    if (cached != m_bitmaps.end())
        return &cached->second;

    QImage bitmap;
    const QString iconPath = FindProgramFile(QStringLiteral("res/") + iconName);
    if (!iconPath.isEmpty())
        bitmap.load(iconPath);
    if (bitmap.isNull() && type == FT_UNKNOW)
        bitmap.load(fallbackBitmapPath());
    if (bitmap.isNull())
        return nullptr;

    // Thumbnails copy icon rows straight into their canvas.
    bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    return &m_bitmaps.emplace(iconName, std::move(bitmap)).first->second;
}

} // namespace TAVRIKCORE::RICHEDITOR
