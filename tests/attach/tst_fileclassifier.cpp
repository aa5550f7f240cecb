// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier_p.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

TEST(FileClassifier, EveryListedExtensionInAnyCase)
{
    const std::vector<std::tuple<FILE_TYPE, QString, QString>> kinds{
        {FT_WORD, u"doc docx dotx dotm"_s, u"word.bmp"_s},
        {FT_EXCEL, u"xls xlsx xlsm xltx xlsb xlam"_s, u"excel.bmp"_s},
        {FT_PPT, u"ppt pptx pptm ppsx potx"_s, u"ppt.bmp"_s},
        {FT_TEXT, u"txt xml sql"_s, u"text.bmp"_s},
        {FT_PDF, u"pdf"_s, u"pdf.bmp"_s},
        {FT_ZIP, u"zip rar 7z iso tar cab bz2 jar"_s, u"zip.bmp"_s},
        {FT_IMAGE, u"jpg png bmp gif jpeg psd tiff tga"_s, u"image.bmp"_s},
        {FT_VIDEO, u"avi wmv flv 3gp mkv mov rmvb mp4"_s, u"video.bmp"_s},
        {FT_AUDIO, u"mp3 wav wma ogg"_s, u"audio.bmp"_s},
        {FT_HTML, u"html"_s, u"html.bmp"_s},
        {FT_UNKNOW, u"htm tif docm unknow .doc do pdfx dir"_s, u"unknow.bmp"_s},
    };
    for (const auto &[type, exts, icon] : kinds) {
        for (const QString &ext : exts.split(u' ')) {
            QString mixed = ext;
            for (qsizetype i = 0; i < mixed.size(); i += 2)
                mixed[i] = mixed[i].toUpper();
            for (const QString &spelling : {ext, ext.toUpper(), mixed})
                EXPECT_EQ(FileClassifier::GetFileTypeByExt(spelling), type)
                    << spelling.toStdString();
        }
        EXPECT_EQ(FileClassifier::iconFileName(type), icon);
    }
    EXPECT_EQ(FileClassifier::GetFileTypeByExt(QString()), FT_UNKNOW);
    EXPECT_EQ(FileClassifier::iconFileName(11), u"unknow.bmp"_s);
    EXPECT_EQ(FileClassifier::iconFileName(-1), u"unknow.bmp"_s);
}

TEST(FileClassifier, PictureTestIsASubstringSearch)
{
    // Fragments of "jpg jpeg gif bmp png" count; an empty extension occurs everywhere.
    for (const QString &name : {u"photo.JPEG"_s, u"a.Png"_s, u"/home/u/x.GIF"_s, u"a.bmp"_s,
                                u"a.pe"_s, u"a.jp"_s, u"name."_s, u"a.g g"_s})
        EXPECT_EQ(FileClassifier::IsPicFileType(name), 1) << name.toStdString();
    // psd and tiff get the image icon but are not shown as pictures.
    for (const QString &name : {u"layers.psd"_s, u"scan.tiff"_s, u"README"_s, u"a.jpgx"_s,
                                u"dir.jpg/file"_s, u"a.unknow"_s})
        EXPECT_EQ(FileClassifier::IsPicFileType(name), 0) << name.toStdString();
}

TEST(FileClassifier, RecordedExtension)
{
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"report.Final.PDF"_s), u"pdf"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"README"_s), u"unknow"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"name."_s), u""_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"报告.DOCX"_s), u"docx"_s);
}
