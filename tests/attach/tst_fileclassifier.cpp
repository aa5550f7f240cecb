// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier.h"

#include <gtest/gtest.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

struct Kind
{
    FILE_TYPE type;
    std::vector<QString> exts;
    QString icon;
};

const std::vector<Kind> &kinds()
{
    static const std::vector<Kind> table{
        {FT_WORD, {u"doc"_s, u"docx"_s, u"dotx"_s, u"dotm"_s}, u"word.bmp"_s},
        {FT_EXCEL,
         {u"xls"_s, u"xlsx"_s, u"xlsm"_s, u"xltx"_s, u"xlsb"_s, u"xlam"_s},
         u"excel.bmp"_s},
        {FT_PPT, {u"ppt"_s, u"pptx"_s, u"pptm"_s, u"ppsx"_s, u"potx"_s}, u"ppt.bmp"_s},
        {FT_TEXT, {u"txt"_s, u"xml"_s, u"sql"_s}, u"text.bmp"_s},
        {FT_PDF, {u"pdf"_s}, u"pdf.bmp"_s},
        {FT_ZIP,
         {u"zip"_s, u"rar"_s, u"7z"_s, u"iso"_s, u"tar"_s, u"cab"_s, u"bz2"_s, u"jar"_s},
         u"zip.bmp"_s},
        {FT_IMAGE,
         {u"jpg"_s, u"png"_s, u"bmp"_s, u"gif"_s, u"jpeg"_s, u"psd"_s, u"tiff"_s, u"tga"_s},
         u"image.bmp"_s},
        {FT_VIDEO,
         {u"avi"_s, u"wmv"_s, u"flv"_s, u"3gp"_s, u"mkv"_s, u"mov"_s, u"rmvb"_s, u"mp4"_s},
         u"video.bmp"_s},
        {FT_AUDIO, {u"mp3"_s, u"wav"_s, u"wma"_s, u"ogg"_s}, u"audio.bmp"_s},
        {FT_HTML, {u"html"_s}, u"html.bmp"_s},
    };
    return table;
}

QString mixedCase(const QString &text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); i += 2)
        out[i] = out[i].toUpper();
    return out;
}

} // namespace

TEST(FileClassifier, EveryListedExtensionInAnyCase)
{
    int checked = 0;
    for (const Kind &kind : kinds()) {
        for (const QString &ext : kind.exts) {
            for (const QString &spelling : {ext, ext.toUpper(), mixedCase(ext)}) {
                EXPECT_EQ(FileClassifier::GetFileTypeByExt(spelling), kind.type)
                    << "for extension " << spelling.toStdString();
                ++checked;
            }
        }
        EXPECT_EQ(FileClassifier::iconFileName(kind.type), kind.icon);
    }
    EXPECT_EQ(checked, 3 * 48);
}

TEST(FileClassifier, ExtensionsOutsideTheTableAreUnknown)
{
    for (const QString &ext : {u"htm"_s, u"tif"_s, u"docm"_s, u""_s, u"unknow"_s, u".doc"_s,
                               u"doc "_s, u"do"_s, u"pdfx"_s, u"dir"_s}) {
        EXPECT_EQ(FileClassifier::GetFileTypeByExt(ext), FT_UNKNOW) << ext.toStdString();
    }
    EXPECT_EQ(FileClassifier::iconFileName(FT_UNKNOW), u"unknow.bmp"_s);
    EXPECT_EQ(FileClassifier::iconFileName(11), u"unknow.bmp"_s);
    EXPECT_EQ(FileClassifier::iconFileName(-1), u"unknow.bmp"_s);
}

TEST(FileClassifier, PictureTestIsASubstringSearch)
{
    const std::vector<std::pair<QString, int>> cases{
        {u"photo.JPEG"_s, 1},
        {u"a.jpg"_s, 1},
        {u"a.Png"_s, 1},
        {u"/home/u/x.GIF"_s, 1},
        {u"a.bmp"_s, 1},
        // fragments of the list count, an empty extension occurs everywhere
        {u"a.pe"_s, 1},
        {u"a.jp"_s, 1},
        {u"name."_s, 1},
        {u"a.g g"_s, 1},
        // psd and tiff get the image icon but are not shown as pictures
        {u"layers.psd"_s, 0},
        {u"scan.tiff"_s, 0},
        {u"README"_s, 0},
        {u"a.jpgx"_s, 0},
        {u"dir.jpg/file"_s, 0},
        {u"a.unknow"_s, 0},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(FileClassifier::IsPicFileType(name), expected) << name.toStdString();
}

TEST(FileClassifier, RecordedExtension)
{
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"report.Final.PDF"_s), u"pdf"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"README"_s), u"unknow"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"name."_s), u""_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"archive.TAR.GZ"_s), u"gz"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"报告.DOCX"_s), u"docx"_s);
}
