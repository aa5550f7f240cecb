// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The pictures of pasted HTML that are stored with the paste: which ones, and their files.
#include "clipboard/pastedpictures_p.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QByteArray Png = pngBytes(filledImage(3, 2, Qt::green));
const QString DataPng = u"data:image/png;base64,"_s + QString::fromLatin1(Png.toBase64());

TEST(PastedPictures, OnlyDataAndFilePicturesThatAreNoAttachmentsAreLocal)
{
    const QString jpeg = u"DATA:image/JPEG;base64,/9j/4A=="_s;
    const QString html
        = u"<!--[if gte vml 1]><v:shape><v:imagedata src=\"file:///tmp/a.png\"/></v:shape>"
          "<![endif]--><p><![if !vml]><img src=\""_s
        + DataPng
        + u"\"><![endif]><img src=\"https://example.org/a.png\"><img src=\"file:///home/ann/"
          "my%20map.png\"><img src=\"data:image/svg+xml;base64,PHN2Zz4=\"><img src=\""_s
        + DataPng + u"\"><img src=\"../userdata\\attachment\\x.png\" zv_exdata=\"{}\"><img src=\""_s
        + jpeg + u"\"><img src=\"/local.png\"></p>"_s;
    EXPECT_EQ(PastedPictures::localSources(html),
              (std::vector<QString>{DataPng, u"file:///home/ann/my%20map.png"_s, jpeg}));
    EXPECT_TRUE(PastedPictures::localSources(u"<p>data: file: <b>x</b></p>"_s).empty());
}

TEST(PastedPictures, DataIsDecodedAndFilesAreNamedByTheirUrl)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const std::optional<QString> decoded = PastedPictures::fileOf(
        u"data:image/png;base64,"_s + QString::fromLatin1(Png.toBase64()).insert(8, u"\r\n "_s),
        work.filePath(u"0"_s));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, work.filePath(u"0/picture.png"_s));
    EXPECT_EQ(readBytes(*decoded), Png);
    EXPECT_EQ(PastedPictures::fileOf(u"data:image/jpeg;base64,/9j/4A=="_s, work.filePath(u"1"_s)),
              work.filePath(u"1/picture.jpg"_s));

    const QString spaced = work.filePath(u"my map.png"_s);
    ASSERT_TRUE(writeBytes(spaced, Png));
    EXPECT_EQ(PastedPictures::fileOf(QUrl::fromLocalFile(spaced).toString(), work.path()), spaced);
}

TEST(PastedPictures, UnreadablePicturesAreLoggedAndGiveNoFile)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString badData = u"data:image/png;base64,not*base64"_s;
    const QString longData = u"data:image/gif;base64,"_s + QString(100, u'!');
    const QString missing = u"file:///nowhere/gone.png"_s;
    LogCapture log;
    EXPECT_FALSE(PastedPictures::fileOf(badData, work.path()));
    EXPECT_FALSE(PastedPictures::fileOf(longData, work.path()));
    EXPECT_FALSE(PastedPictures::fileOf(missing, work.path()));
    EXPECT_FALSE(PastedPictures::fileOf(QUrl::fromLocalFile(work.path()).toString(), work.path()))
        << "a folder is no picture";
    EXPECT_EQ(
        log.lines(),
        (std::vector<QString>{u"[ERROR] A pasted picture cannot be read: "_s + badData,
                              u"[ERROR] A pasted picture cannot be read: "_s + longData.left(80),
                              u"[ERROR] A pasted picture cannot be read: "_s + missing,
                              u"[ERROR] A pasted picture cannot be read: "_s
                                  + QUrl::fromLocalFile(work.path()).toString()}));
    EXPECT_TRUE(QDir(work.path()).isEmpty());
}

} // namespace
