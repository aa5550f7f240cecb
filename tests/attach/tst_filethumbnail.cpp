// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier.h"
#include "attach/filethumbnail.h"
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
constexpr int TextDarkest = 0x44 >> 3;

int advance(const QString &text)
{
    return QFontMetrics(FileThumbnail::thumbnailFont()).horizontalAdvance(text);
}

// A text whose measured width is exactly `px`: a run of 'm' then runs of two other characters.
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
    // Rows are stored bottom-up.
    quint16 pixel(int x, int y) const
    {
        return qFromLittleEndian<quint16>(bytes.constData() + 54 + (47 - y) * stride() + 2 * x);
    }
};

class FileThumbnailTest : public ::testing::Test
{
protected:
    Card draw(const QString &name, const QString &info, int type = FT_WORD)
    {
        const QString path = m_dir.filePath(u"card.bmp"_s);
        int size = -1;
        EXPECT_EQ(FileThumbnail::GenerateFileThumb(type, name, info, path, &size), 1);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        Card card{file.readAll()};
        EXPECT_EQ(size, card.bytes.size());
        return card;
    }

    QTemporaryDir m_dir;
};

QByteArray expectedHeaders(int width, int stride)
{
    QByteArray h(54, '\0');
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(54 + 48 * stride, h.data() + 2);
    qToLittleEndian<quint32>(54, h.data() + 10);
    qToLittleEndian<quint32>(40, h.data() + 14);
    qToLittleEndian<qint32>(width, h.data() + 18);
    qToLittleEndian<qint32>(48, h.data() + 22);
    qToLittleEndian<quint16>(1, h.data() + 26);
    qToLittleEndian<quint16>(16, h.data() + 28);
    return h;
}

} // namespace

TEST_F(FileThumbnailTest, WidthStrideAndHeadersFollowTheLongerLine)
{
    struct Case
    {
        int nameWidth, infoWidth, width, stride, fileSize;
    };
    const std::vector<Case> cases{
        {10, 10, 68, 136, 6582},    {11, 10, 69, 140, 6774},    {4, 30, 88, 176, 8502},
        {741, 3, 799, 1600, 76854}, {742, 3, 800, 1600, 76854}, {743, 3, 800, 1600, 76854},
    };
    for (const Case &c : cases) {
        const Card card = draw(textOfWidth(c.nameWidth), textOfWidth(c.infoWidth));
        SCOPED_TRACE(c.nameWidth);
        ASSERT_EQ(card.bytes.size(), c.fileSize);
        EXPECT_EQ(card.bytes.left(54), expectedHeaders(c.width, c.stride));
        for (int row = 0; row < 48; ++row) {
            const int padStart = 54 + row * c.stride + 2 * c.width;
            EXPECT_EQ(card.bytes.mid(padStart, c.stride - 2 * c.width),
                      QByteArray(c.stride - 2 * c.width, '\0'));
        }
    }
    EXPECT_EQ(draw(QString(), QString()).width(), 58);
}

TEST_F(FileThumbnailTest, BackgroundFrameIconAndText)
{
    const Card card = draw(u"Quarterly report.docx"_s, u"2026/03/04 05:06 1.50KB"_s);
    const int w = card.width();
    ASSERT_EQ(w,
              std::max(advance(u"Quarterly report.docx"_s), advance(u"2026/03/04 05:06 1.50KB"_s))
                  + 58);

    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, 47}, {w - 1, 47}})
        EXPECT_EQ(card.pixel(x, y), White) << "corner " << x << "," << y;
    for (int x = 1; x < w - 1; ++x) {
        ASSERT_EQ(card.pixel(x, 0), Frame) << x;
        ASSERT_EQ(card.pixel(x, 47), Frame) << x;
    }
    for (int y = 1; y < 47; ++y) {
        ASSERT_EQ(card.pixel(0, y), Frame) << y;
        ASSERT_EQ(card.pixel(w - 1, y), Frame) << y;
    }
    for (auto [x, y] : {std::pair{1, 1}, {5, 20}, {38, 20}, {45, 3}, {w - 2, 46}, {w - 5, 24}})
        EXPECT_EQ(card.pixel(x, y), White) << x << "," << y;

    const QImage icon
        = QImage(GetAppDirectory() + u"res/word.bmp"_s).convertToFormat(QImage::Format_RGB555);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(card.pixel(6 + x, 8 + y),
                      reinterpret_cast<const quint16 *>(icon.constScanLine(y))[x])
                << x << "," << y;
    }

    // Both lines are drawn, in the text colour or lighter, inside their boxes only.
    int inked[2] = {0, 0};
    for (int y = 1; y < 47; ++y) {
        for (int x = 39; x < w - 1; ++x) {
            const quint16 p = card.pixel(x, y);
            if (p == White)
                continue;
            const bool inName = y >= 8 && y < 22 && x >= 50 && x < w - 8;
            const bool inInfo = y >= 26 && y < 40 && x >= 50 && x < w - 8;
            ASSERT_TRUE(inName || inInfo) << "ink outside the text boxes at " << x << "," << y;
            EXPECT_GE((p >> 10) & 31, TextDarkest);
            EXPECT_GE(p & 31, TextDarkest);
            ++inked[inName ? 0 : 1];
        }
    }
    EXPECT_GT(inked[0], 20);
    EXPECT_GT(inked[1], 20);
}

TEST_F(FileThumbnailTest, OverlongNameIsCutWithAnEllipsis)
{
    const QString longName = textOfWidth(60).repeated(15); // about 900 pixels
    ASSERT_GT(advance(longName), 742);
    const QString elided
        = QFontMetrics(FileThumbnail::thumbnailFont()).elidedText(longName, Qt::ElideRight, 742);
    ASSERT_TRUE(elided.endsWith(QChar(0x2026)));

    const Card cut = draw(longName, longName);
    EXPECT_EQ(cut.width(), 800);
    EXPECT_EQ(cut.bytes, draw(elided, longName).bytes);
    for (int y = 8; y < 22; ++y) {
        for (int x = 792; x < 799; ++x)
            ASSERT_EQ(cut.pixel(x, y), White) << x << "," << y;
    }
}

TEST_F(FileThumbnailTest, SameInputGivesSameBytesAndCjkNamesAreDrawn)
{
    const QString name = u"季度报告.docx"_s;
    const Card first = draw(name, u"2026/03/04 05:06 2.00KB"_s);
    EXPECT_EQ(first.bytes, draw(name, u"2026/03/04 05:06 2.00KB"_s).bytes);
    EXPECT_EQ(first.width(), std::max(advance(name), advance(u"2026/03/04 05:06 2.00KB"_s)) + 58);
    int inked = 0;
    for (int y = 8; y < 22; ++y) {
        for (int x = 50; x < 60; ++x)
            inked += first.pixel(x, y) != White;
    }
    EXPECT_GT(inked, 10) << "the first CJK character was not drawn";
}

TEST_F(FileThumbnailTest, UnwritablePathWritesNothing)
{
    int size = -1;
    const QString path = m_dir.filePath(u"missing/card.bmp"_s);
    EXPECT_EQ(FileThumbnail::GenerateFileThumb(FT_PDF, u"a.pdf"_s, u"x"_s, path, &size), 0);
    EXPECT_EQ(size, -1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(FormatFileInfo, TimeAndSize)
{
    EXPECT_EQ(FileThumbnail::FormatFileInfo(2048, u"2026/01/02 03:04"_s),
              u"2026/01/02 03:04 2.00KB"_s);
    EXPECT_EQ(FileThumbnail::FormatFileInfo(0, u"t"_s), u"t 0B"_s);
    // A negative count is widened with its sign.
    EXPECT_EQ(FileThumbnail::FormatFileInfo(-1, u"t"_s), u"t 17179869184.00G"_s);

    const QString before = QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
    const QString now = FileThumbnail::FormatFileInfo(1024, QString());
    const QString after = QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
    EXPECT_TRUE(now == before + u" 1024B"_s || now == after + u" 1024B"_s) << now.toStdString();
}
