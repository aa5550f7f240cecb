// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <gmime/gmime.h> // before Qt, whose keyword macros clash with GLib's member names

#include "notehtml/mhtexport_p.h"

#include "common/commonutils.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/notehtmlrw.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

void initMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

GMimeObject *textPart(const char *subtype, const QByteArray &utf8)
{
    GMimeTextPart *part = g_mime_text_part_new_with_subtype(subtype);
    g_mime_text_part_set_text(part, utf8.constData());
    g_mime_text_part_set_charset(part, "utf-8");
    g_mime_part_set_content_encoding(GMIME_PART(part), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    return GMIME_OBJECT(part);
}

// The whole message: multipart/alternative, plain text first as the standard asks.
GMimeMessage *buildMessage(const QString &html)
{
    HtmlDocument doc;
    const QString plainText = doc.parse(html) ? HtmlDocument::innerText(doc.body()) : QString();

    GMimeMessage *message = g_mime_message_new(TRUE);
    if (!message)
        return nullptr;
    g_mime_message_set_subject(message, "", "utf-8");
    GDateTime *now = g_date_time_new_now_local();
    g_mime_message_set_date(message, now);
    g_date_time_unref(now);

    GMimeMultipart *alternative = g_mime_multipart_new_with_subtype("alternative");
    GMimeObject *plain = textPart("plain", plainText.toUtf8());
    GMimeObject *rich = textPart("html", html.toUtf8());
    g_mime_multipart_add(alternative, plain);
    g_mime_multipart_add(alternative, rich);
    g_object_unref(plain);
    g_object_unref(rich);
    g_mime_message_set_mime_part(message, GMIME_OBJECT(alternative));
    g_object_unref(alternative);
    return message;
}

} // namespace

int MhtExport::HtmlConvert(const QString &html, QString &converted)
{
    HtmlDocument doc;
    if (!doc.parse(html)) {
        writeLog(
            QStringLiteral("[ERROR] NoteHtmlFileToMhtFile，将图片相对路径转换为绝对路径失败！"));
        return 0;
    }
    const std::vector<HtmlDocument::Element> images = doc.elementsByTagName("img");
    if (images.empty()) {
        converted = html;
        return 1;
    }
    const QString prefix = GetAppDirectory() + QStringLiteral("userdata/attachment/");
    for (HtmlDocument::Element image : images) {
        const std::optional<QString> src = HtmlDocument::attribute(image, "src");
        if (!src)
            continue;
        const QString name = GetFileNameFromPath(*src);
        if (!IsSafeFileName(name)) {
            if (!name.isEmpty())
                AttachMarkup::logUnsafeName(name);
            continue;
        }
        HtmlDocument::setAttribute(image, "src", prefix + name);
    }
    converted = HtmlDocument::innerHtml(doc.body());
    return 1;
}

int MhtExport::HtmlToMht(const QString &html, const QString &target)
{
    initMime();
    GMimeMessage *message = buildMessage(html);
    if (!message) {
        writeLog(QStringLiteral("[ERROR:] HtmlToMht 发送未知错误！"));
        return 0;
    }
    GError *error = nullptr;
    GMimeStream *stream
        = g_mime_stream_fs_open(QFile::encodeName(target).constData(),
                                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644, &error);
    if (!stream) {
        writeLog(QStringLiteral("[ERROR:] HtmlToMht发生错误，错误信息: ")
                 + QString::fromUtf8(error ? error->message : "?"));
        if (error)
            g_error_free(error);
        g_object_unref(message);
        return 0;
    }
    const ssize_t written = g_mime_object_write_to_stream(GMIME_OBJECT(message), nullptr, stream);
    const int flushed = written < 0 ? -1 : g_mime_stream_flush(stream);
    const int savedErrno = errno;
    const int closed = g_mime_stream_close(stream);
    g_object_unref(stream);
    g_object_unref(message);
    if (written < 0 || flushed != 0 || closed != 0) {
        writeLog(QStringLiteral("[ERROR:] HtmlToMht发生错误，错误信息: ")
                 + QString::fromLocal8Bit(std::strerror(savedErrno)));
        return 0;
    }
    return 1;
}

int MhtExport::NoteHtmlContentToMhtFile(const QString &html, const QString &target)
{
    QString converted;
    if (!HtmlConvert(html, converted))
        return 0;
    return HtmlToMht(converted, target);
}

int MhtExport::NoteHtmlFileToMhtFile(const QString &noteFile, const QString &target)
{
    QString content;
    int version = 0;
    if (!NoteHtmlRW::ReadHtmlTextFromFile(noteFile, content, version))
        return 0;
    return NoteHtmlContentToMhtFile(content, target);
}

QString MhtExport::EmptyNoteMessage()
{
    return QCoreApplication::translate("MhtExport", "笔记内容为空！");
}

QString MhtExport::ExportFailedMessage()
{
    return QCoreApplication::translate("MhtExport", "转化为word失败！");
}

bool MhtExport::ExportWord(const QString &noteContent, const QString &target, QString &message)
{
    if (noteContent.isEmpty()) {
        message = EmptyNoteMessage();
        return false;
    }
    if (!NoteHtmlContentToMhtFile(noteContent, target)) {
        message = ExportFailedMessage();
        return false;
    }
    return true;
}

} // namespace TAVRIKCORE::RICHEDITOR
