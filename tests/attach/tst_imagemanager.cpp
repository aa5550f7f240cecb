// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "attach/imagemanager_p.h"
#include "common/commonutils.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

// The icon cache lives for the whole process, so these cases run in this order in one program
// whose application folder starts without a "res" folder.
class ImageManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        SetAppDirectory(s_dir->path() + u'/');
        QDir(s_dir->path()).mkpath(u"res"_s);
    }
    static void TearDownTestSuite()
    {
        SetAppDirectory(QString());
        delete s_dir;
    }
    static void writeIcon(const QString &file, Qt::GlobalColor colour)
    {
        ASSERT_TRUE(filledImage(32, 32, colour).save(s_dir->filePath(u"res/"_s + file), "BMP"));
    }
    static QTemporaryDir *s_dir;
};

QTemporaryDir *ImageManagerTest::s_dir = nullptr;

TEST_F(ImageManagerTest, MissingIconIsRetriedThenReadOnce)
{
    ImageManager *manager = ImageManager::GetInstance();
    EXPECT_EQ(manager->GetFileTypeBitmap(FT_PDF), nullptr);
    const QString card = s_dir->filePath(u"card.bmp"_s);
    int size = -1;
    EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, card, &size), 0);
    EXPECT_EQ(size, -1);
    EXPECT_FALSE(QFile::exists(card));

    // Nothing was cached for the missing file: once it appears it is read.
    writeIcon(u"pdf.bmp"_s, Qt::red);
    const QImage *icon = manager->GetFileTypeBitmap(FT_PDF);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixel(3, 3), qRgb(255, 0, 0));
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, card, &size), 1);
    const QImage first(card);

    // ...and never again: a changed file does not change later cards.
    writeIcon(u"pdf.bmp"_s, Qt::blue);
    EXPECT_EQ(manager->GetFileTypeBitmap(FT_PDF), icon);
    EXPECT_EQ(icon->pixel(3, 3), qRgb(255, 0, 0));
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, card, &size), 1);
    EXPECT_EQ(QImage(card), first);
    const QRgb inIcon = QImage(card).pixel(10, 10);
    EXPECT_GT(qRed(inIcon), 240);
    EXPECT_EQ(qGreen(inIcon) + qBlue(inIcon), 0);
}

TEST_F(ImageManagerTest, UnknownKindFallsBackToTheBuiltInPicture)
{
    ImageManager *manager = ImageManager::GetInstance();
    // Values outside the table share unknow.bmp but have no built-in fallback.
    EXPECT_EQ(manager->GetFileTypeBitmap(42), nullptr);

    const QImage builtIn(ImageManager::fallbackBitmapPath());
    ASSERT_EQ(builtIn.size(), QSize(32, 32));
    const QImage *unknown = manager->GetFileTypeBitmap(FT_UNKNOW);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(*unknown, builtIn.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(manager->GetFileTypeBitmap(42), unknown);

    // A later unknow.bmp does not replace what is cached.
    writeIcon(u"unknow.bmp"_s, Qt::green);
    EXPECT_EQ(manager->GetFileTypeBitmap(FT_UNKNOW), unknown);
}
