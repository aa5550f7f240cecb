// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/paperpdf_p.h"

#include "common/writelog_p.h"
#include "editor/paperpictures_p.h"
#include "editor/pdfjoin_p.h"
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

#include <algorithm>
#include <cstring>
#include <span>
#include <memory>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

// Lengths are in CSS pixels: the document is laid out at 96 dots an inch.
constexpr int Resolution = 96;

// A long note is laid out in pieces, each starting a page, which cores can draw side by side. A
// piece ends before a heading once it holds PieceText bytes of text (some 30 pages), else
// before any part of the note at four times that.
constexpr qsizetype PieceText = 60 * 1000;

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
table { border-color: #c9ced5; margin-top: 6px; margin-bottom: 12px; }
td, th { vertical-align: top; }
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
    for (const HtmlDocument::Element table : note.elementsByTagName("table")) {
        HtmlDocument::setAttribute(table, "border", QStringLiteral("1"));
        HtmlDocument::setAttribute(table, "cellpadding", QStringLiteral("4"));
        HtmlDocument::setAttribute(table, "cellspacing", QStringLiteral("0"));
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

// A piece of the note in a document of its own, laid out on pages and drawn by the thread that
// read it: Qt's fonts are those of one thread.
class PaperPiece
{
public:
    explicit PaperPiece(const QString &html)
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
        m_document.setPageSize(QSizeF(0, 0)); // nothing is laid out yet
        m_document.setHtml(html);
        // Each line's glyphs are kept from the layout to the drawing, rather than shaped twice.
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            block.layout()->setCacheEnabled(true);
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

// The PDF of consecutive pieces, each starting a page; empty when the writer fails.
QByteArray writePieces(std::span<const QString> pieces)
{
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
    bool drawn = true;
    for (std::size_t index = 0; drawn && index < pieces.size(); ++index)
        drawn = PaperPiece(pieces[index]).draw(writer, painter, index == 0);
    if (!painter.end() || !drawn)
        return {};
    return pdf;
}

} // namespace

QByteArray PaperPdf::write(const QString &noteHtml)
{
    const std::vector<QString> pieces = paperPieces(noteHtml);
    if (pieces.empty())
        return {};
    // A long note is drawn in parts, one a core, each into a PDF of its own on a thread of its
    // own; the parts are joined after.
    const std::size_t partCount
        = std::clamp<std::size_t>(QThread::idealThreadCount(), 1, pieces.size());
    const auto part = [&](std::size_t index) {
        return std::span(pieces).subspan(index * pieces.size() / partCount,
                                         (index + 1) * pieces.size() / partCount
                                             - index * pieces.size() / partCount);
    };
    std::vector<QByteArray> parts(partCount);
    std::vector<std::unique_ptr<QThread>> workers;
    for (std::size_t index = 1; index < partCount; ++index)
        workers.emplace_back(QThread::create([&, index] { parts[index] = writePieces(part(index)); }));
    for (const std::unique_ptr<QThread> &worker : workers)
        worker->start();
    parts[0] = writePieces(part(0));
    for (const std::unique_ptr<QThread> &worker : workers)
        worker->wait();
    if (std::any_of(parts.begin(), parts.end(), [](const QByteArray &pdf) { return pdf.isEmpty(); }))
        return {};
    if (partCount == 1)
        return parts[0];
    QString error;
    QByteArray pdf = PdfJoin::join(parts, error);
    if (pdf.isEmpty())
        writeLog(QStringLiteral("[ERROR] PaperPdf::write: the parts cannot be joined: %1").arg(error));
    return pdf;
}

} // namespace TAVRIKCORE::RICHEDITOR
