// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/paperpdf_p.h"

#include "editor/paperpictures_p.h"
#include "notehtml/checklistmark_p.h"
#include "notehtml/documentmarkup_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/mhtexport_p.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QThread>

#include <libxml/tree.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// Lengths are in CSS pixels: the document is laid out at 96 dots an inch.
constexpr int Resolution = 96;

// A long note is read in pieces by a worker while the pieces before are laid out and drawn. A
// piece ends before a heading once it holds PieceText bytes of text (some 30 pages), else
// before any part of the note at four times that; each piece starts a page.
constexpr qsizetype PieceText = 60 * 1000;
constexpr std::size_t PiecesAhead = 3; // read and not yet drawn, at most

// The editor's own look of a note (content.css), in the light theme.
constexpr char16_t StyleSheet[] = uR"(
p { margin-top: 0; margin-bottom: 9px; }
h1, h2, h3 { margin-top: 14px; margin-bottom: 6px; font-weight: 600; }
h1 { font-size: 26px; }
h2 { font-size: 21px; }
h3 { font-size: 17px; }
a { color: #1a66d2; text-decoration: underline; }
pre { font-family: "DejaVu Sans Mono", monospace; font-size: 13px; background-color: #f6f8fa;
      white-space: pre-wrap; }
ul, ol { margin-top: 4px; margin-bottom: 9px; }
table { border-collapse: collapse; margin-top: 6px; margin-bottom: 12px; }
td, th { border: 1px solid #c9ced5; padding: 4px; vertical-align: top; }
th { background-color: #f3f5f7; }
)";

QPageLayout paperLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QFont paperFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(15);
    // Neither ligatures (a PDF reader would copy "ﬁ" for "fi") nor the time shaping takes.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

qsizetype textBytes(const _xmlNode *node)
{
    if (node->type == XML_TEXT_NODE)
        return node->content ? qsizetype(std::strlen(reinterpret_cast<const char *>(node->content)))
                             : 0;
    qsizetype bytes = 0;
    for (const _xmlNode *child = node->children; child; child = child->next)
        bytes += textBytes(child);
    return bytes;
}

bool isHeading(const _xmlNode *node)
{
    return HtmlDocument::isElement(const_cast<_xmlNode *>(node), "h1")
        || HtmlDocument::isElement(const_cast<_xmlNode *>(node), "h2")
        || HtmlDocument::isElement(const_cast<_xmlNode *>(node), "h3");
}

// The note's HTML as Qt's document reads it, in pieces: pictures by their path in the store,
// checklist boxes as characters. Empty when the note cannot be parsed.
std::vector<QString> paperPieces(const QString &noteHtml)
{
    HtmlDocument note;
    if (!note.parse(noteHtml))
        return {};
    MhtExport::convertPictureSources(note);
    markChecklists(note);
    // Qt's document takes the widths of pictures and table cells from their attributes only.
    for (const char *tag : {"img", "table", "col", "td", "th"}) {
        for (const HtmlDocument::Element element : note.elementsByTagName(tag)) {
            const QString style = HtmlDocument::attribute(element, "style").value_or(QString());
            for (const char *length : {"width", "height"}) {
                if (!style.contains(QLatin1StringView(length)))
                    continue;
                if (const int pixels = DocumentMarkup::pixelLength(element, length))
                    HtmlDocument::setAttribute(element, length, QString::number(pixels));
            }
        }
    }
    const HtmlDocument::Element body = note.body();
    std::vector<HtmlDocument::Element> pieces;
    qsizetype bytes = 0;
    for (HtmlDocument::Element node = body ? body->children : nullptr; node;) {
        const HtmlDocument::Element next = node->next;
        if (!pieces.empty()
            && (bytes >= 4 * PieceText || (bytes >= PieceText && isHeading(node)))) {
            pieces.push_back(note.wrapElement(node, "div"));
            bytes = 0;
        } else if (pieces.empty()) {
            pieces.push_back(note.wrapElement(node, "div"));
        } else {
            HtmlDocument::appendChild(pieces.back(), node);
        }
        bytes += textBytes(node);
        node = next;
    }
    std::vector<QString> html;
    for (const HtmlDocument::Element piece : pieces)
        html.push_back(HtmlDocument::innerHtml(piece));
    if (html.empty())
        html.emplace_back();
    return html;
}

// A piece of the note read into a document of its own by a worker, then laid out on pages
// and drawn by the thread that writes the PDF: the document's fonts are those of the thread
// that draws them.
class PaperPiece
{
public:
    PaperPiece(const QString &html, QThread *drawing)
    {
        m_measure.setResolution(Resolution);
        m_measure.setPageLayout(paperLayout());
        m_page = m_measure.pageLayout().paintRectPixels(Resolution).size();
        m_document.setUseDesignMetrics(true);
        m_document.setDocumentMargin(0);
        m_document.setDefaultFont(paperFont());
        m_document.setDefaultStyleSheet(QString::fromUtf16(StyleSheet));
        QAbstractTextDocumentLayout *layout = m_document.documentLayout();
        layout->registerHandler(QTextFormat::ImageObject,
                                new PaperPictures(m_page.width(), &m_document));
        layout->setPaintDevice(&m_measure);
        m_document.setPageSize(QSizeF(0, 0)); // nothing is laid out here
        m_document.setHtml(html);
        // Each line's glyphs are kept from the layout to the drawing, rather than shaped twice.
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            block.layout()->setCacheEnabled(true);
        m_document.moveToThread(drawing);
    }

    // Lays the piece out and draws its pages, each but the first on a new page of `writer`;
    // false when the writer fails.
    bool draw(QPdfWriter &writer, QPainter &painter, bool first)
    {
        m_document.setPageSize(m_page);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        const int pages = m_document.pageCount();
        for (int n = 0; n < pages; ++n) {
            if ((n > 0 || !first) && !writer.newPage())
                return false;
            context.clip = QRectF(QPointF(0, n * m_page.height()), m_page);
            painter.save();
            painter.translate(0, -context.clip.top());
            painter.setClipRect(context.clip);
            m_document.documentLayout()->draw(&painter, context);
            painter.restore();
        }
        return true;
    }

private:
    QBuffer m_nowhere; // the measuring device is never drawn on
    QPdfWriter m_measure{&m_nowhere};
    QSizeF m_page;
    QTextDocument m_document; // destroyed first: its layout measures on the device above
};

// The pieces read by a worker ahead of the drawing, handed to it in order.
class PieceQueue
{
public:
    explicit PieceQueue(std::vector<QString> pieces)
        : m_pieces(std::move(pieces)), m_read(m_pieces.size())
    { }

    // Reads pieces until none is left or the drawing stopped.
    void work(QThread *drawing)
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(
                lock, [&] { return m_next >= m_pieces.size() || m_next < m_drawn + PiecesAhead; });
            if (m_next >= m_pieces.size())
                return;
            const std::size_t index = m_next++;
            lock.unlock();
            auto piece = std::make_unique<PaperPiece>(m_pieces[index], drawing);
            lock.lock();
            m_read[index] = std::move(piece);
            m_changed.notify_all();
        }
    }

    // The next piece once it is read; null after the last.
    std::unique_ptr<PaperPiece> next()
    {
        std::unique_lock lock(m_mutex);
        if (m_drawn >= m_pieces.size())
            return nullptr;
        m_changed.wait(lock, [&] { return m_read[m_drawn] != nullptr; });
        std::unique_ptr<PaperPiece> piece = std::move(m_read[m_drawn++]);
        m_changed.notify_all();
        return piece;
    }

    // No further piece is read.
    void stop()
    {
        const std::lock_guard lock(m_mutex);
        m_next = m_pieces.size();
        m_changed.notify_all();
    }

private:
    const std::vector<QString> m_pieces;
    std::vector<std::unique_ptr<PaperPiece>> m_read;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_next = 0; // the next piece to read
    std::size_t m_drawn = 0; // pieces handed to the drawing
};

} // namespace

QByteArray PaperPdf::write(const QString &noteHtml)
{
    std::vector<QString> pieces = paperPieces(noteHtml);
    if (pieces.empty())
        return {};
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("TavrikEditor"));
    writer.setResolution(Resolution);
    writer.setPageLayout(paperLayout());
    QPainter painter;
    if (!painter.begin(&writer))
        return {};

    PieceQueue queue(std::move(pieces));
    QThread *drawing = QThread::currentThread();
    std::thread worker([&queue, drawing] { queue.work(drawing); });
    bool drawn = true;
    for (bool first = true; drawn;) {
        const std::unique_ptr<PaperPiece> piece = queue.next();
        if (!piece)
            break;
        drawn = piece->draw(writer, painter, first);
        first = false;
    }
    queue.stop();
    worker.join();
    if (!painter.end() || !drawn)
        return {};
    return pdf;
}

} // namespace TAVRIKCORE::RICHEDITOR
