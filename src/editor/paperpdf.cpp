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
#include <memory>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

// Lengths are in CSS pixels: the document is laid out at 96 dots an inch.
constexpr int Resolution = 96;

// A long note is drawn in parts side by side, one a core, each starting a page: a part holds
// PartText bytes of text (some 15 pages) at least.
constexpr qsizetype PartText = 30 * 1000;

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

// The note's HTML as Qt's document reads it, cut into at most `count` parts with about as
// much text each, before a heading where one is near: pictures by their path in the store,
// checklist boxes as characters. Empty when the note cannot be parsed.
std::vector<QString> paperParts(const QString &noteHtml, int count)
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
    // The look of tables in attributes: Qt would otherwise hold it in each cell's format.
    for (const HtmlDocument::Element table : note.elementsByTagName("table")) {
        HtmlDocument::setAttribute(table, "border", QStringLiteral("1"));
        HtmlDocument::setAttribute(table, "cellpadding", QStringLiteral("4"));
        HtmlDocument::setAttribute(table, "cellspacing", QStringLiteral("0"));
    }

    std::vector<HtmlDocument::Element> blocks;
    std::vector<qsizetype> textBefore{0};
    const HtmlDocument::Element body = note.body();
    for (HtmlDocument::Element node = body ? body->children : nullptr; node; node = node->next) {
        blocks.push_back(node);
        textBefore.push_back(textBefore.back() + textBytes(node));
    }
    count = int(std::clamp<qsizetype>(textBefore.back() / PartText, 1, count));
    std::vector<std::size_t> starts{0};
    for (int part = 1; part < count; ++part) {
        const qsizetype target = textBefore.back() * part / count;
        const qsizetype near = textBefore.back() / count / 10;
        std::size_t start = std::lower_bound(textBefore.begin(), textBefore.end(), target)
            - textBefore.begin();
        for (std::size_t before = start; before > starts.back() && textBefore[before] >= target - near;
             --before) {
            if (isHeading(blocks[before])) {
                start = before;
                break;
            }
        }
        if (start > starts.back() && start < blocks.size())
            starts.push_back(start);
    }
    std::vector<QString> parts;
    for (std::size_t part = 0; part < starts.size() && !blocks.empty(); ++part) {
        const std::size_t end = part + 1 < starts.size() ? starts[part + 1] : blocks.size();
        const HtmlDocument::Element wrapper = note.wrapElement(blocks[starts[part]], "div");
        for (std::size_t block = starts[part] + 1; block < end; ++block)
            HtmlDocument::appendChild(wrapper, blocks[block]);
        parts.push_back(HtmlDocument::innerHtml(wrapper));
    }
    if (parts.empty())
        parts.emplace_back();
    return parts;
}

// A part of the note in a document of its own, laid out on pages and drawn by the thread that
// read it: Qt's fonts are those of one thread.
class PaperPart
{
public:
    explicit PaperPart(const QString &html)
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

    // Lays the part out and draws its pages on `writer`; false when the writer fails.
    bool draw(QPdfWriter &writer, QPainter &painter)
    {
        m_document.setPageSize(m_page);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        const int pages = m_document.pageCount();
        for (int n = 0; n < pages; ++n) {
            if (n > 0 && !writer.newPage())
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

// The PDF of a part of the note; empty when the writer fails.
QByteArray writePart(const QString &html)
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
    const bool drawn = PaperPart(html).draw(writer, painter);
    if (!painter.end() || !drawn)
        return {};
    return pdf;
}

} // namespace

QByteArray PaperPdf::write(const QString &noteHtml)
{
    // Each part is drawn into a PDF of its own on a thread of its own, and the PDFs are joined.
    const std::vector<QString> html = paperParts(noteHtml, QThread::idealThreadCount());
    if (html.empty())
        return {};
    std::vector<QByteArray> parts(html.size());
    std::vector<std::unique_ptr<QThread>> workers;
    for (std::size_t index = 1; index < html.size(); ++index) {
        workers.emplace_back(QThread::create([&, index] { parts[index] = writePart(html[index]); }));
        workers.back()->start();
    }
    parts[0] = writePart(html[0]);
    for (const std::unique_ptr<QThread> &worker : workers)
        worker->wait();
    if (std::any_of(parts.begin(), parts.end(), [](const QByteArray &pdf) { return pdf.isEmpty(); }))
        return {};
    if (parts.size() == 1)
        return parts[0];
    QString error;
    QByteArray pdf = PdfJoin::join(parts, error);
    if (pdf.isEmpty())
        writeLog(QStringLiteral("[ERROR] PaperPdf::write: the parts cannot be joined: %1").arg(error));
    return pdf;
}

} // namespace TAVRIKCORE::RICHEDITOR
