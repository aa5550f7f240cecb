// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "import/enexreader_p.h"

#include "common/durablefile_p.h"

#include <QCryptographicHash>
#include <QFile>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

// The Base64 text of one resource, decoded piece by piece into its file.
class Base64Sink
{
public:
    Base64Sink(EnexResource &resource, quint64 maxBytes)
        : m_resource(resource), m_maxBytes(maxBytes), m_md5(QCryptographicHash::Md5)
    { }

    bool open(const QString &path)
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly))
            return false;
        m_resource.path = path;
        return true;
    }

    void add(const char *text, int length)
    {
        for (int i = 0; i < length; ++i) {
            const char c = text[i];
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                m_pending.append(c);
        }
        if (m_pending.size() >= ChunkBytes)
            decode(m_pending.size() / 4 * 4);
    }

    // Markup inside the Base64 text: the resource is not kept.
    void spoil() { m_resource.badData = true; }

    void finish()
    {
        decode(m_pending.size());
        m_file.close();
        m_resource.md5 = QString::fromLatin1(m_md5.result().toHex());
        if (m_resource.tooLarge || m_resource.badData || m_file.error() != QFile::NoError) {
            QFile::remove(m_resource.path);
            m_resource.path.clear();
        }
    }

private:
    void decode(qsizetype length)
    {
        if (length == 0 || m_resource.badData)
            return;
        const auto decoded = QByteArray::fromBase64Encoding(
            m_pending.left(length), QByteArray::AbortOnBase64DecodingErrors);
        m_pending.remove(0, length);
        if (!decoded) {
            m_resource.badData = true;
            return;
        }
        m_resource.size += quint64(decoded.decoded.size());
        if (m_resource.size > m_maxBytes)
            m_resource.tooLarge = true;
        if (m_resource.tooLarge)
            return;
        m_md5.addData(decoded.decoded);
        m_file.write(decoded.decoded);
    }

    EnexResource &m_resource;
    const quint64 m_maxBytes;
    QCryptographicHash m_md5;
    QFile m_file;
    QByteArray m_pending;
};

// The parser's callbacks: which element the text belongs to, the note being read. Only the
// export's own shape counts (en-export > note > resource > data, ...): an element anywhere else,
// however it is named, is passed over, and markup inside Base64 data spoils that resource.
struct Reading
{
    QString folder;
    quint64 maxBytes = 0;
    const std::function<void(EnexNote &)> *deliver = nullptr;
    std::vector<QByteArray> path; // names of the open elements
    EnexNote note;
    QByteArray text; // of the element whose text is kept
    std::unique_ptr<Base64Sink> data;
    QString error;

    bool at(std::initializer_list<const char *> names) const
    {
        return path.size() == names.size()
            && std::equal(path.begin(), path.end(), names.begin(),
                          [](const QByteArray &open, const char *name) { return open == name; });
    }
    bool atNote() const { return at({"en-export", "note"}); }
    bool atNoteField(const char *name) const { return at({"en-export", "note", name}); }
    bool atResource() const { return atNoteField("resource"); }
    bool atResourceField(const char *name) const
    {
        return at({"en-export", "note", "resource", name});
    }
    bool atFileName() const
    {
        return at({"en-export", "note", "resource", "resource-attributes", "file-name"});
    }

    void start(const QByteArray &name)
    {
        if (data)
            data->spoil();
        path.push_back(name);
        text.clear();
        if (atNote()) {
            removeResourceFiles();
            note = EnexNote();
        } else if (atResource()) {
            note.resources.emplace_back();
        } else if (atResourceField("data")) {
            data = std::make_unique<Base64Sink>(note.resources.back(), maxBytes);
            if (!data->open(temporaryPath(folder)))
                data.reset();
        }
    }

    void characters(const char *chars, int length)
    {
        if (data && atResourceField("data"))
            data->add(chars, length);
        else if (isKeptText())
            text.append(chars, length);
    }

    bool isKeptText() const
    {
        return atNoteField("title") || atNoteField("content") || atNoteField("created")
            || atNoteField("updated") || atResourceField("mime") || atFileName();
    }

    void end()
    {
        const QString value = QString::fromUtf8(text);
        if (data && atResourceField("data")) {
            data->finish();
            data.reset();
        } else if (atNote()) {
            (*deliver)(note);
            removeResourceFiles();
        } else if (atNoteField("title")) {
            note.title = value.trimmed();
        } else if (atNoteField("content")) {
            note.content = value;
        } else if (atNoteField("created")) {
            note.created = EnexReader::parseTime(value.trimmed());
        } else if (atNoteField("updated")) {
            note.updated = EnexReader::parseTime(value.trimmed());
        } else if (atResourceField("mime")) {
            note.resources.back().mime = value.trimmed();
        } else if (atFileName()) {
            note.resources.back().fileName = value.trimmed();
        }
        text.clear();
        path.pop_back();
    }

    void removeResourceFiles()
    {
        for (const EnexResource &resource : note.resources) {
            if (!resource.path.isEmpty())
                QFile::remove(resource.path);
        }
        note.resources.clear();
    }
};

Reading &reading(void *context)
{
    return *static_cast<Reading *>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void onStart(void *context, const xmlChar *localName, const xmlChar *, const xmlChar *, int,
             const xmlChar **, int, int, const xmlChar **)
{
    reading(context).start(QByteArray(reinterpret_cast<const char *>(localName)));
}

void onEnd(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    reading(context).end();
}

void onCharacters(void *context, const xmlChar *chars, int length)
{
    reading(context).characters(reinterpret_cast<const char *>(chars), length);
}

// An Evernote export declares no entities. One that does is stopped at the declaration, before
// any of them expands: entities that nest grow without end.
void onEntityDecl(void *context, const xmlChar *, int, const xmlChar *, const xmlChar *, xmlChar *)
{
    auto *parser = static_cast<xmlParserCtxtPtr>(context);
    Reading &state = reading(parser);
    if (state.error.isEmpty()) {
        state.error
            = QStringLiteral("line %1: the file declares entities, which an export never does")
                  .arg(xmlSAX2GetLineNumber(parser));
    }
    xmlStopParser(parser);
}

void onError(void *context, xmlErrorPtr error)
{
    auto *parser = static_cast<xmlParserCtxtPtr>(context);
    if (!error || error->level < XML_ERR_FATAL || !parser || !parser->_private)
        return;
    Reading &state = reading(parser);
    if (state.error.isEmpty()) {
        state.error = QStringLiteral("line %1: %2")
                          .arg(error->line)
                          .arg(QString::fromUtf8(error->message).trimmed());
    }
}

} // namespace

EnexReader::EnexReader(const QString &folder, quint64 maxResourceBytes)
    : m_folder(folder), m_maxResourceBytes(maxResourceBytes)
{ }

QDateTime EnexReader::parseTime(const QString &text)
{
    QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    if (time.isValid())
        time.setTimeSpec(Qt::UTC);
    return time;
}

bool EnexReader::read(const QString &path, const std::function<void(EnexNote &)> &deliver,
                      const std::function<void(qint64 done, qint64 total)> &progress)
{
    m_error.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = onStart;
    handler.endElementNs = onEnd;
    handler.characters = onCharacters;
    handler.cdataBlock = onCharacters;
    handler.serror = onError;
    handler.entityDecl = onEntityDecl;

    Reading state;
    state.folder = m_folder;
    state.maxBytes = m_maxResourceBytes;
    state.deliver = &deliver;
    const QByteArray name = path.toUtf8();
    xmlParserCtxtPtr parser
        = xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, name.constData());
    if (!parser) {
        m_error = QStringLiteral("the XML parser could not start");
        return false;
    }
    parser->_private = &state;
    // No DTD or entity is fetched from anywhere; a note's text may be long.
    xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_HUGE);
    QByteArray chunk;
    bool failed = false;
    while (!failed) {
        chunk = file.read(ChunkBytes);
        const bool last = chunk.isEmpty();
        failed = xmlParseChunk(parser, chunk.constData(), int(chunk.size()), last ? 1 : 0) != 0
            || !parser->wellFormed;
        if (progress)
            progress(file.pos(), file.size());
        if (last)
            break;
    }
    if (failed && state.error.isEmpty())
        state.error = QStringLiteral("line %1: the XML is not well formed")
                          .arg(xmlSAX2GetLineNumber(parser));
    // The parser keeps a document of its own for a DOCTYPE's declarations.
    if (parser->myDoc)
        xmlFreeDoc(parser->myDoc);
    xmlFreeParserCtxt(parser);
    if (state.data) {
        state.data->finish();
        state.data.reset();
    }
    state.removeResourceFiles();
    m_error = state.error;
    return !failed;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
