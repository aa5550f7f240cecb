// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "common/commonutils.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

constexpr quint16 White = 0x7FFF;
constexpr quint16 Frame = (25 << 10) | (25 << 5) | 25; // 0xC8C8C8 in 5-5-5

int advance(const QString &text)
{
    return QFontMetrics(FileThumbnail::thumbnailFont()).horizontalAdvance(text);
}

// A text measuring exactly `px`: a run of 'm', then runs of two narrower characters.
QString textOfWidth(int px)
{
    QString prefix;
    while (advance(prefix + u'm') <= px - 40)
        prefix += u'm';
    const QString pool = u"il.,:|!1tfjrIae"_s;
    for (QChar a : pool) {
        for (QChar b : pool) {
            for (int i = 0; i <= 40; ++i) {
                for (int j = 0; j <= 4; ++j) {
                    const QString text = prefix + QString(i, a) + QString(j, b);
                    if (!text.isEmpty() && advance(text) == px)
                        return text;
                }
            }
        }
    }
    ADD_FAILURE() << "no text of width " << px;
    return {};
}

struct Card
{
    QByteArray bytes;
    int width() const { return qFromLittleEndian<qint32>(bytes.constData() + 18); }
    int stride() const { return (width() * 2 + 3) & ~3; }
    quint16 pixel(int x, int y) const // rows are stored bottom-up
    {
        return qFromLittleEndian<quint16>(bytes.constData() + 54 + (47 - y) * stride() + 2 * x);
    }
};

class FileThumbnailTest : public ::testing::Test
{
protected:
    Card draw(const QString &name, const QString &info)
    {
        const QString path = m_dir.filePath(u"card.bmp"_s);
        int size = -1;
        EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_WORD, name, info, path, &size), 1);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        Card card{file.readAll()};
        EXPECT_EQ(size, card.bytes.size());
        return card;
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FileThumbnailTest, WidthStrideAndHeadersFollowTheLongerLineCutWithAnEllipsis)
{
    const QByteArray rest = QByteArray::fromHex("30000000 0100 1000") + QByteArray(24, '\0');
    const std::vector<std::tuple<int, int, int, QByteArray>> cases{
        // name width, info width, file size, file header + info header up to the height
        {10, 10, 6582, QByteArray::fromHex("424d b6190000 00000000 36000000 28000000 44000000")},
        {11, 10, 6774, QByteArray::fromHex("424d 761a0000 00000000 36000000 28000000 45000000")},
        {4, 30, 8502, QByteArray::fromHex("424d 36210000 00000000 36000000 28000000 58000000")},
        {741, 3, 76854, QByteArray::fromHex("424d 362c0100 00000000 36000000 28000000 1f030000")},
        {742, 3, 76854, QByteArray::fromHex("424d 362c0100 00000000 36000000 28000000 20030000")},
        {743, 3, 76854, QByteArray::fromHex("424d 362c0100 00000000 36000000 28000000 20030000")}};
    for (const auto &[nameWidth, infoWidth, fileSize, header] : cases) {
        SCOPED_TRACE(nameWidth);
        const Card card = draw(textOfWidth(nameWidth), textOfWidth(infoWidth));
        ASSERT_EQ(card.bytes.size(), fileSize);
        EXPECT_EQ(card.bytes.left(54).toHex(), QByteArray(header + rest).toHex());
        const int pad = card.stride() - 2 * card.width();
        for (int row = 0; row < 48; ++row)
            EXPECT_EQ(card.bytes.mid(54 + row * card.stride() + 2 * card.width(), pad),
                      QByteArray(pad, '\0'));
    }
    EXPECT_EQ(draw(QString(), QString()).width(), 58);

    const QString longName = textOfWidth(60).repeated(15); // 900 pixels
    const QString elided
        = QFontMetrics(FileThumbnail::thumbnailFont()).elidedText(longName, Qt::ElideRight, 742);
    ASSERT_TRUE(elided.endsWith(QChar(0x2026)));
    const Card cut = draw(longName, longName);
    EXPECT_EQ(cut.width(), 800);
    EXPECT_EQ(cut.bytes, draw(elided, longName).bytes);

    int size = -1;
    const QString path = m_dir.filePath(u"missing/card.bmp"_s);
    EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, path, &size), 0);
    EXPECT_EQ(size, -1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FileThumbnailTest, BackgroundFrameIconAndTheTextOfTimeAndSize)
{
    const QString name = u"季度报告 Quarterly.docx"_s;
    const QString info = u"2026/03/04 05:06 1.50KB"_s;
    const Card card = draw(name, info);
    const int w = card.width();
    ASSERT_EQ(w, std::max(advance(name), advance(info)) + 58);
    EXPECT_EQ(card.bytes, draw(name, info).bytes) << "the same card must give the same bytes";

    for (int x = 0; x < w; ++x) {
        const quint16 edge = (x == 0 || x == w - 1) ? White : Frame; // corners are cut
        ASSERT_EQ(card.pixel(x, 0), edge) << x;
        ASSERT_EQ(card.pixel(x, 47), edge) << x;
    }
    for (int y = 1; y < 47; ++y) {
        ASSERT_EQ(card.pixel(0, y), Frame) << y;
        ASSERT_EQ(card.pixel(w - 1, y), Frame) << y;
    }
    const QImage icon
        = QImage(GetAppDirectory() + u"res/word.bmp"_s).convertToFormat(QImage::Format_RGB555);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    // Everything else is the icon at (6, 8), white, or text inside its two boxes.
    int inked[3] = {0, 0, 0}; // name, info, first (CJK) character of the name
    for (int y = 1; y < 47; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            const quint16 p = card.pixel(x, y);
            if (x >= 6 && x < 38 && y >= 8 && y < 40) {
                ASSERT_EQ(p, reinterpret_cast<const quint16 *>(icon.constScanLine(y - 8))[x - 6]);
                continue;
            }
            if (p == White)
                continue;
            const bool inName = y >= 8 && y < 22 && x >= 50 && x < w - 8;
            const bool inInfo = y >= 26 && y < 40 && x >= 50 && x < w - 8;
            ASSERT_TRUE(inName || inInfo) << "ink outside the text boxes at " << x << "," << y;
            EXPECT_GE(p & 31, 0x44 >> 3) << "darker than the text colour";
            ++inked[inName ? 0 : 1];
            inked[2] += inName && x < 60;
        }
    }
    EXPECT_GT(inked[0], 20);
    EXPECT_GT(inked[1], 20);
    EXPECT_GT(inked[2], 10);

    // The info line: the time and the size.
    EXPECT_EQ(FileThumbnail::FormatFileInfo(2048, u"2026/01/02 03:04"_s),
              u"2026/01/02 03:04 2.00KB"_s);
    EXPECT_EQ(FileThumbnail::FormatFileInfo(0, u"t"_s), u"t 0B"_s);
    EXPECT_EQ(FileThumbnail::FormatFileInfo(-1, u"t"_s), u"t 17179869184.00G"_s)
        << "widened with its sign";
    const QString before = QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
    const QString now = FileThumbnail::FormatFileInfo(1024, QString());
    const QString after = QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
    EXPECT_TRUE(now == before + u" 1024B"_s || now == after + u" 1024B"_s) << now.toStdString();
}

TEST(FileClassifier, EveryListedExtensionInAnyCasePicturesBySubstringAndTheRecordedOne)
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

    // Fragments of "jpg jpeg gif bmp png" count; an empty extension occurs everywhere.
    for (const QString &name : {u"photo.JPEG"_s, u"a.Png"_s, u"/home/u/x.GIF"_s, u"a.bmp"_s,
                                u"a.pe"_s, u"a.jp"_s, u"name."_s, u"a.g g"_s})
        EXPECT_EQ(FileClassifier::IsPicFileType(name), 1) << name.toStdString();
    // psd and tiff get the image icon but are not shown as pictures.
    for (const QString &name : {u"layers.psd"_s, u"scan.tiff"_s, u"README"_s, u"a.jpgx"_s,
                                u"dir.jpg/file"_s, u"a.unknow"_s})
        EXPECT_EQ(FileClassifier::IsPicFileType(name), 0) << name.toStdString();

    EXPECT_EQ(FileClassifier::GetFileStuffx(u"report.Final.PDF"_s), u"pdf"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"README"_s), u"unknow"_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"name."_s), u""_s);
    EXPECT_EQ(FileClassifier::GetFileStuffx(u"报告.DOCX"_s), u"docx"_s);
}
