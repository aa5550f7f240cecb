// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <gmime/gmime.h> // before Qt, whose keyword macros clash with GLib's member names

#include "notehtml/mhtexport_p.h"

#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/checklistmark_p.h"
#include "notehtml/exportfiles_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/notehtmlrw.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <libxml/tree.h>

#include <memory>
#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

void initMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// The address of an absolute path inside the archive. Readers match parts by absolute address,
// resolving each src against the root part's address; they resolve no relative
// Content-Location, and a document read from an archive may not load file: addresses at all.
// So every part lives under one host that reaches no network: the root at its file name, each
// picture at exactly the path its src holds.
QByteArray archiveAddress(const QString &absolutePath)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("note.invalid"));
    url.setPath(absolutePath);
    return url.toEncoded();
}

// Sets the part's Content-Location exactly as given: a long address is neither folded nor
// encoded, which readers would not undo.
void setLocation(GMimeObject *part, const QByteArray &address)
{
    GMimeHeaderList *headers = g_mime_object_get_header_list(part);
    g_mime_header_list_set(headers, "Content-Location", address.constData(), nullptr);
    GMimeHeader *header = g_mime_header_list_get_header(headers, "Content-Location");
    g_mime_header_set_raw_value(header, QByteArray(' ' + address + '\n').constData());
}

GMimeObject *htmlPart(const QString &html, const QString &target)
{
    GMimeTextPart *part = g_mime_text_part_new_with_subtype("html");
    g_mime_text_part_set_text(part, html.toUtf8().constData());
    g_mime_text_part_set_charset(part, "utf-8");
    g_mime_part_set_content_encoding(GMIME_PART(part), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    setLocation(GMIME_OBJECT(part), archiveAddress(u'/' + QFileInfo(target).fileName()));
    return GMIME_OBJECT(part);
}

GMimeObject *picturePart(const ExportFiles::Picture &picture)
{
    const qsizetype slash = picture.mimeType.indexOf('/');
    GMimePart *part = g_mime_part_new_with_type(picture.mimeType.left(slash).constData(),
                                                picture.mimeType.mid(slash + 1).constData());
    // Encoded by GMime in one pass over the picture, straight into the buffer the part's stream
    // owns, rather than in the chunks of a filtered stream over a copy of it.
    const auto size = size_t(picture.bytes.size());
    GByteArray *encoded = g_byte_array_sized_new(guint(GMIME_BASE64_ENCODE_LEN(size)));
    int state = 0;
    guint32 save = 0;
    const size_t length = g_mime_encoding_base64_encode_close(
        reinterpret_cast<const unsigned char *>(picture.bytes.constData()), size, encoded->data,
        &state, &save);
    g_byte_array_set_size(encoded, guint(length));
    GMimeStream *stream = g_mime_stream_mem_new_with_byte_array(encoded);
    GMimeDataWrapper *content
        = g_mime_data_wrapper_new_with_stream(stream, GMIME_CONTENT_ENCODING_BASE64);
    g_object_unref(stream);
    g_mime_part_set_content(part, content);
    g_object_unref(content);
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    setLocation(GMIME_OBJECT(part), archiveAddress(u'/' + GetFileNameFromPath(picture.src)));
    return GMIME_OBJECT(part);
}

// Whether the picture at `src` is the first one of its file name: the archive holds it once,
// at that name (store names are the content's hash, so one name is one picture).
bool shownAt(QSet<QString> &added, const QString &src)
{
    const QString name = GetFileNameFromPath(src);
    if (added.contains(name))
        return false;
    added.insert(name);
    return true;
}

// What a reader of the archive gets of the note: each picture addressed by its file name only
// (no folder of this computer), without the editor's own attributes, and the note's first
// line as the title.
struct ReaderNote
{
    QString html;
    QString title;
};

// Attributes only the editor reads; the attachment class names a folder of this computer.
constexpr const char *EditorAttributes[] = {"zv_exdata", "zvimgsrc", "data-ke-src"};

// Longest title, in characters.
constexpr qsizetype MaxTitleLength = 200;

ReaderNote readerNote(const QString &html)
{
    HtmlDocument doc;
    if (!doc.parse(html))
        return {html, QString()};
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        if (HtmlDocument::attribute(image, "zv_exdata"))
            HtmlDocument::removeAttribute(image, "class");
        for (const char *name : EditorAttributes)
            HtmlDocument::removeAttribute(image, name);
        const QString src = HtmlDocument::attribute(image, "src").value_or(QString());
        if (!src.isEmpty() && QFileInfo(src).isAbsolute())
            HtmlDocument::setAttribute(image, "src", GetFileNameFromPath(src));
    }
    markChecklists(doc); // the archive carries no style sheet to draw the boxes
    const HtmlDocument::Element body = doc.body();
    QString title;
    for (const QString &line : HtmlDocument::innerText(body).split(u'\n')) {
        title = line.simplified();
        if (!title.isEmpty())
            break;
    }
    return {HtmlDocument::innerHtml(body), title.left(MaxTitleLength)};
}

// The whole message: multipart/related with the HTML as its root, then the pictures it shows.
// `size` gets about how many bytes its MIME text takes.
GMimeMessage *buildMessage(const QString &noteHtml, const QString &target, qsizetype &size)
{
    GMimeMessage *message = g_mime_message_new(TRUE);
    if (!message)
        return nullptr;
    const ReaderNote reader = readerNote(noteHtml);
    const QString &html = reader.html;
    g_mime_message_set_subject(message, reader.title.toUtf8().constData(), "utf-8");
    GDateTime *now = g_date_time_new_now_local();
    g_mime_message_set_date(message, now);
    g_date_time_unref(now);

    GMimeMultipart *related = g_mime_multipart_new_with_subtype("related");
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(related), "type", "text/html");
    GMimeObject *root = htmlPart(html, target);
    // Quoted-printable HTML at most triples; base64 takes 4 characters for 3 bytes plus CR LF
    // every 76; and some headers for every part.
    size = 3 * html.size() + 4096;
    g_mime_multipart_add(related, root);
    g_object_unref(root);
    QSet<QString> added;
    for (const ExportFiles::Picture &picture :
         ExportFiles::localPictures(noteHtml, QStringLiteral("HtmlToMht"))) {
        if (picture.mimeType.isEmpty() || !shownAt(added, picture.src))
            continue;
        size += picture.bytes.size() / 3 * 4 * 78 / 76 + 1024;
        GMimeObject *part = picturePart(picture);
        g_mime_multipart_add(related, part);
        g_object_unref(part);
    }
    g_mime_message_set_mime_part(message, GMIME_OBJECT(related));
    g_object_unref(related);
    return message;
}

struct ByteArrayFree
{
    void operator()(GByteArray *bytes) const { g_byte_array_free(bytes, TRUE); }
};
using MimeBytes = std::unique_ptr<GByteArray, ByteArrayFree>;

// The message's MIME text with CR LF line ends, written into a buffer of `size` bytes that
// grows when needed; null when it cannot be written.
MimeBytes messageBytes(GMimeMessage *message, qsizetype size)
{
    GMimeFormatOptions *options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GMimeStream *stream
        = g_mime_stream_mem_new_with_byte_array(g_byte_array_sized_new(guint(size)));
    MimeBytes bytes;
    if (g_mime_object_write_to_stream(GMIME_OBJECT(message), options, stream) >= 0) {
        // Taken from the stream rather than copied: with its pictures it is megabytes long.
        g_mime_stream_mem_set_owner(GMIME_STREAM_MEM(stream), FALSE);
        bytes.reset(g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream)));
    }
    g_object_unref(stream);
    g_mime_format_options_free(options);
    return bytes;
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
    if (!convertPictureSources(doc)) {
        converted = html;
        return 1;
    }
    converted = HtmlDocument::innerHtml(doc.body());
    return 1;
}

bool MhtExport::convertPictureSources(HtmlDocument &doc)
{
    const std::vector<HtmlDocument::Element> images = doc.elementsByTagName("img");
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
    return !images.empty();
}

int MhtExport::HtmlToMht(const QString &html, const QString &target)
{
    initMime();
    qsizetype size = 0;
    GMimeMessage *message = buildMessage(html, target, size);
    const MimeBytes bytes = message ? messageBytes(message, size) : MimeBytes();
    if (message)
        g_object_unref(message);
    if (!bytes || bytes->len == 0) {
        writeLog(QStringLiteral("[ERROR:] HtmlToMht 发送未知错误！"));
        return 0;
    }
    const QByteArrayView text(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
    if (const int error = Internal::replaceDurably(target, {text})) {
        ExportFiles::logWriteFailure(QStringLiteral("HtmlToMht"), target, error);
        return 0;
    }
    return 1;
}

int MhtExport::convertAndWrite(const QString &html, const QString &target, Writer write)
{
    QString converted;
    if (!HtmlConvert(html, converted))
        return 0;
    return write(converted, target);
}

int MhtExport::convertFileAndWrite(const QString &noteFile, const QString &target, Writer write)
{
    QString content;
    int version = 0;
    if (!NoteHtmlRW::ReadHtmlTextFromFile(noteFile, content, version))
        return 0;
    return convertAndWrite(content, target, write);
}

bool MhtExport::exportForUser(const QString &noteContent, const QString &target, QString &message,
                              Writer write, const QString &failedMessage)
{
    if (noteContent.isEmpty()) {
        message = EmptyNoteMessage();
        return false;
    }
    if (!convertAndWrite(noteContent, target, write)) {
        message = failedMessage;
        return false;
    }
    return true;
}

int MhtExport::NoteHtmlContentToMhtFile(const QString &html, const QString &target)
{
    return convertAndWrite(html, target, &HtmlToMht);
}

int MhtExport::NoteHtmlFileToMhtFile(const QString &noteFile, const QString &target)
{
    return convertFileAndWrite(noteFile, target, &HtmlToMht);
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
    return exportForUser(noteContent, target, message, &HtmlToMht, ExportFailedMessage());
}

} // namespace TAVRIKCORE::RICHEDITOR
