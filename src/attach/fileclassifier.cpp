// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier_p.h"

#include <QStringView>

#include <array>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct TypeEntry
{
    FILE_TYPE type;
    std::initializer_list<const char16_t *> exts;
    const char16_t *icon;
};

// In the order the extensions are tested.
const std::array<TypeEntry, 10> &typeTable()
{
    static const std::array<TypeEntry, 10> table{{
        {FT_WORD, {u"doc", u"docx", u"dotx", u"dotm"}, u"word.bmp"},
        {FT_EXCEL, {u"xls", u"xlsx", u"xlsm", u"xltx", u"xlsb", u"xlam"}, u"excel.bmp"},
        {FT_PPT, {u"ppt", u"pptx", u"pptm", u"ppsx", u"potx"}, u"ppt.bmp"},
        {FT_TEXT, {u"txt", u"xml", u"sql"}, u"text.bmp"},
        {FT_PDF, {u"pdf"}, u"pdf.bmp"},
        {FT_ZIP, {u"zip", u"rar", u"7z", u"iso", u"tar", u"cab", u"bz2", u"jar"}, u"zip.bmp"},
        {FT_IMAGE,
         {u"jpg", u"png", u"bmp", u"gif", u"jpeg", u"psd", u"tiff", u"tga"},
         u"image.bmp"},
        {FT_VIDEO, {u"avi", u"wmv", u"flv", u"3gp", u"mkv", u"mov", u"rmvb", u"mp4"}, u"video.bmp"},
        {FT_AUDIO, {u"mp3", u"wav", u"wma", u"ogg"}, u"audio.bmp"},
        {FT_HTML, {u"html"}, u"html.bmp"},
    }};
    return table;
}

QString lowerExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return QStringLiteral("unknow");
    return name.mid(dot + 1).toLower();
}

} // namespace

FILE_TYPE FileClassifier::GetFileTypeByExt(const QString &ext)
{
    const QString lower = ext.toLower();
    for (const TypeEntry &entry : typeTable()) {
        for (const char16_t *candidate : entry.exts) {
            if (lower == QStringView(candidate))
                return entry.type;
        }
    }
    return FT_UNKNOW;
}

int FileClassifier::IsPicFileType(const QString &name)
{
    return QStringView(u"jpg jpeg gif bmp png").contains(lowerExtension(name)) ? 1 : 0;
}

QString FileClassifier::GetFileStuffx(const QString &name)
{
    return lowerExtension(name);
}

QString FileClassifier::iconFileName(int type)
{
    for (const TypeEntry &entry : typeTable()) {
        if (entry.type == type)
            return QString::fromUtf16(entry.icon);
    }
    return QStringLiteral("unknow.bmp");
}

} // namespace TAVRIKCORE::RICHEDITOR
