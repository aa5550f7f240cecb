// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <gmime/gmime.h>

#include "common/commonutils.h"
#include "logcapture.h"
#include "notehtml/mhtexport.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QFile>

#include <fcntl.h>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;

namespace {

struct MimeText
{
    QString contentType; // type/subtype
    QString charset;
    int encoding = -1;
    QString text;
};

// Reads an exported file back: the content type of the message and each leaf part.
struct ParsedMessage
{
    QString contentType;
    std::vector<MimeText> parts;
};

ParsedMessage parseMessage(const QString &path)
{
    g_mime_init();
    ParsedMessage parsed;
    GMimeStream *stream
        = g_mime_stream_fs_open(QFile::encodeName(path).constData(), O_RDONLY, 0, nullptr);
    if (!stream)
        return parsed;
    GMimeParser *parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage *message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    if (!message)
        return parsed;
    GMimeObject *body = g_mime_message_get_mime_part(message);
    GMimeContentType *type = g_mime_object_get_content_type(body);
    parsed.contentType = QString::fromUtf8(g_mime_content_type_get_mime_type(type));
    if (GMIME_IS_MULTIPART(body)) {
        GMimeMultipart *multipart = GMIME_MULTIPART(body);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            GMimeObject *part = g_mime_multipart_get_part(multipart, i);
            MimeText text;
            char *mimeType
                = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(part));
            text.contentType = QString::fromUtf8(mimeType);
            g_free(mimeType);
            if (GMIME_IS_TEXT_PART(part)) {
                text.charset
                    = QString::fromUtf8(g_mime_text_part_get_charset(GMIME_TEXT_PART(part)));
                text.encoding = g_mime_part_get_content_encoding(GMIME_PART(part));
                char *content = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
                text.text = QString::fromUtf8(content);
                g_free(content);
            }
            parsed.parts.push_back(text);
        }
    }
    g_object_unref(message);
    return parsed;
}

QString prefix()
{
    return GetAppDirectory() + u"userdata/attachment/"_qs;
}

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

    const ParsedMessage message = parseMessage(target);
    EXPECT_EQ(message.contentType, u"multipart/alternative"_qs);
    ASSERT_EQ(message.parts.size(), 2u);
    EXPECT_EQ(message.parts[0].contentType, u"text/plain"_qs);
    EXPECT_EQ(message.parts[0].text, u"第一段 = café\nline two"_qs);
    EXPECT_EQ(message.parts[1].contentType, u"text/html"_qs);
    EXPECT_EQ(message.parts[1].text,
              u"<p>第一段 = café</p><div>line two<img src=\""_qs + prefix()
                  + u"ab.png\"></div>"_qs);
    for (const MimeText &part : message.parts) {
        EXPECT_EQ(part.charset, u"utf-8"_qs);
        EXPECT_EQ(part.encoding, int(GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE));
    }
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
    EXPECT_EQ(parseMessage(target).parts.at(1).text, u"<p>from file</p>"_qs);

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
