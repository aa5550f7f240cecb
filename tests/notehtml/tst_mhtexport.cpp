// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <gmime/gmime.h>

#include "common/commonutils.h"
#include "logcapture.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QFile>

#include <fcntl.h>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;

namespace {

// Reads an exported file back: the message's content type, then each part as its type, charset,
// transfer encoding and text.
QStringList parseMessage(const QString &path)
{
    g_mime_init();
    GMimeStream *stream
        = g_mime_stream_fs_open(QFile::encodeName(path).constData(), O_RDONLY, 0, nullptr);
    if (!stream)
        return {u"<unreadable>"_qs};
    GMimeParser *parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage *message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    if (!message)
        return {u"<not a message>"_qs};
    const auto typeOf = [](GMimeObject *part) -> QString {
        char *type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(part));
        const QString text = QString::fromUtf8(type);
        g_free(type);
        return text;
    };
    GMimeObject *body = g_mime_message_get_mime_part(message);
    QStringList parsed{typeOf(body)};
    const int parts
        = GMIME_IS_MULTIPART(body) ? g_mime_multipart_get_count(GMIME_MULTIPART(body)) : 0;
    for (int i = 0; i < parts; ++i) {
        GMimeObject *part = g_mime_multipart_get_part(GMIME_MULTIPART(body), i);
        if (!GMIME_IS_TEXT_PART(part)) {
            parsed << typeOf(part);
            continue;
        }
        char *text = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
        parsed << u"%1 %2 %3: %4"_qs.arg(
            typeOf(part), QString::fromUtf8(g_mime_text_part_get_charset(GMIME_TEXT_PART(part))),
            QString::number(g_mime_part_get_content_encoding(GMIME_PART(part))),
            QString::fromUtf8(text));
        g_free(text);
    }
    g_object_unref(message);
    return parsed;
}

QString prefix()
{
    return GetAppDirectory() + u"userdata/attachment/"_qs;
}

// How parseMessage shows a UTF-8 text part in quoted-printable of the type %1.
const QString QuotedUtf8
    = u"%1 utf-8 "_qs + QString::number(GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE) + u": "_qs;

TEST(MhtExport, HtmlConvertMakesImagePathsAbsolute)
{
    LogCapture log;
    QString out;
    const QString page
        = u"<html><head><title>t</title></head><body><p>图</p>"
          "<img src=\"../userdata\\attachment\\ab.png\" class=\"c\" zv_exdata=\"{}\">"
          "<img src=\"http://example.com/pics/x.png\">"
          "<img src=\"a.png\"><img alt=\"no src\"><img src=\"../..\">"
          "</body></html>"_qs;
    ASSERT_EQ(MhtExport::HtmlConvert(page, out), 1);
    EXPECT_EQ(out,
              u"<p>图</p><img src=\""_qs + prefix()
                  + u"ab.png\" class=\"c\" zv_exdata=\"{}\">"
                    "<img src=\""_qs
                  + prefix() + u"x.png\"><img src=\""_qs + prefix()
                  + u"a.png\"><img alt=\"no src\"><img src=\"../..\">"_qs);
    EXPECT_THAT(
        log.lines(),
        ElementsAre(u"[ERROR] Attachment name leaves the attachment folder, skipped: .."_qs));

    // Without images the text is returned as it is, head included.
    const QString noImages = u"<html><head><title>t</title></head><body><P>x</P></body></html>"_qs;
    ASSERT_EQ(MhtExport::HtmlConvert(noImages, out), 1);
    EXPECT_EQ(out, noImages);
}

TEST(MhtExport, ExportWritesAMultipartMessageWithTheConvertedHtml)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"note.mht"_qs);
    ASSERT_TRUE(writeBytes(target, QByteArray(200000, 'z'))); // replaced, not appended to
    const QString html
        = u"<p>第一段 = café</p><div>line two<img src=\"../userdata\\attachment\\ab.png\"></div>"_qs;
    ASSERT_EQ(MhtExport::NoteHtmlContentToMhtFile(html, target), 1);
    EXPECT_LT(QFile(target).size(), 200000);

    EXPECT_EQ(parseMessage(target),
              (QStringList{u"multipart/alternative"_qs,
                           QuotedUtf8.arg(u"text/plain"_qs) + u"第一段 = café\nline two"_qs,
                           QuotedUtf8.arg(u"text/html"_qs)
                               + u"<p>第一段 = café</p><div>line two<img src=\""_qs + prefix()
                               + u"ab.png\"></div>"_qs}));
}

TEST(MhtExport, FailuresWriteNothingAndSayWhy)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.mht"_qs);
    EXPECT_EQ(MhtExport::NoteHtmlFileToMhtFile(dir.filePath(u"missing.html"_qs), target), 0);
    EXPECT_FALSE(QFile::exists(target));

    const QString note = dir.filePath(u"note.html"_qs);
    ASSERT_EQ(NoteHtmlRW::WriteHtmlTextFile(note, u"<p>from file</p>"_qs, 2), 1);
    ASSERT_EQ(MhtExport::NoteHtmlFileToMhtFile(note, target), 1);
    EXPECT_EQ(parseMessage(target).value(2),
              QuotedUtf8.arg(u"text/html"_qs) + u"<p>from file</p>"_qs);

    LogCapture log;
    const QString unreachable = dir.filePath(u"no/such/folder/out.mht"_qs);
    EXPECT_EQ(MhtExport::HtmlToMht(u"<p>x</p>"_qs, unreachable), 0);
    EXPECT_THAT(log.lines(),
                ElementsAre(u"[ERROR:] HtmlToMht发生错误，错误信息: Failed to open `"_qs
                            + unreachable + u"': No such file or directory"_qs));

    QString message = u"unchanged"_qs;
    EXPECT_FALSE(MhtExport::ExportWord(QString(), target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_qs);
    EXPECT_FALSE(MhtExport::ExportWord(u"<p>x</p>"_qs, unreachable, message));
    EXPECT_EQ(message, u"转化为word失败！"_qs);
    message = u"unchanged"_qs;
    EXPECT_TRUE(MhtExport::ExportWord(u"<p>x</p>"_qs, target, message));
    EXPECT_EQ(message, u"unchanged"_qs);
}

} // namespace
