// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/paperpdf_p.h"

#include "common/writelog_p.h"
#include "editor/paperpictures_p.h"
#include "editor/papertables_p.h"
#include "editor/pdfjoin_p.h"
#include "notehtml/checklistmark_p.h"
#include "notehtml/documentmarkup_p.h"
#include "notehtml/htmlcuts_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/mhtexport_p.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QThread>

#include <libxml/tree.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;
using namespace Qt::StringLiterals;

namespace {

// Lengths are in CSS pixels: the document is laid out at 96 dots an inch.
constexpr int Resolution = 96;

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
table { margin-top: 6px; margin-bottom: 12px; }
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

// A table's lines are its own colour showing between cells a pixel apart, each with a
// background: Qt draws that at a small part of the cost of four borders a cell. A table with a
// colour of its own, which shows in its cells, keeps drawn borders.
void setTableLines(HtmlDocument::Element table)
{
    const bool coloured = DocumentMarkup::hasBackground(table);
    HtmlDocument::setAttribute(table, "border", coloured ? u"1"_s : u"0"_s);
    HtmlDocument::setAttribute(table, "cellpadding", u"4"_s);
    HtmlDocument::setAttribute(table, "cellspacing", coloured ? u"0"_s : u"1"_s);
    if (coloured)
        return;
    // Collapsed borders would leave no room between the cells.
    if (QString style = HtmlDocument::attribute(table, "style").value_or(QString());
        style.contains(u"border-collapse")) {
        style.remove(QRegularExpression(u"border-collapse\\s*:[^;]*;?"_s));
        HtmlDocument::setAttribute(table, "style", style);
    }
    HtmlDocument::setAttribute(table, "bgcolor", PaperTables::LineColor.name());
    for (const HtmlDocument::Element row : DocumentMarkup::tableParts(table).rows) {
        for (HtmlDocument::Element cell = row->children; cell; cell = cell->next) {
            if (DocumentMarkup::isCell(cell) && !DocumentMarkup::hasBackground(cell))
                HtmlDocument::setAttribute(cell, "bgcolor",
                                           HtmlDocument::isElement(cell, "th")
                                               ? PaperTables::HeaderColor.name()
                                               : u"#ffffff"_s);
        }
    }
}

// Prepares a note read from `html` for Qt's document: pictures by their path in the store,
// checklist boxes as characters, plain tables as rows of `tables`, the sizes of the rest as
// attributes.
void prepare(HtmlDocument &note, QStringView html, PaperTables &tables)
{
    MhtExport::convertPictureSources(note);
    markChecklists(note);
    tables.take(note, html);
    // Qt's document takes the sizes of pictures and tables from their attributes only, in
    // pixels or as shares of the width.
    for (const char *tag : {"img", "table", "col", "td", "th"}) {
        for (const HtmlDocument::Element element : note.elementsByTagName(tag)) {
            const QString style = HtmlDocument::attribute(element, "style").value_or(QString());
            for (const char *length : {"width", "height"}) {
                if (!style.contains(QLatin1StringView(length)))
                    continue;
                if (const QString share = DocumentMarkup::styleLength(element, length);
                    share.endsWith(u'%')) {
                    HtmlDocument::setAttribute(element, length, share);
                } else if (const int pixels = DocumentMarkup::pixelLength(element, length)) {
                    HtmlDocument::setAttribute(element, length, QString::number(pixels));
                }
            }
        }
    }
    for (const HtmlDocument::Element table : note.elementsByTagName("table"))
        setTableLines(table);
}

// A part of the note in a document of its own, laid out on pages and drawn by the thread that
// read it: Qt's fonts are those of one thread.
class PaperPart
{
public:
    explicit PaperPart(QStringView noteHtml)
    {
        m_measure.setResolution(Resolution);
        m_measure.setPageLayout(paperLayout());
        m_page = m_measure.pageLayout().paintRectPixels(Resolution).size();
        HtmlDocument note;
        if (!note.parse(noteHtml.toString()))
            return;
        m_tables.emplace(m_page, paperFont(), &m_measure);
        prepare(note, noteHtml, *m_tables);
        m_document.setUndoRedoEnabled(false);
        m_document.setUseDesignMetrics(true);
        m_document.setDocumentMargin(0);
        m_document.setDefaultFont(paperFont());
        m_document.setDefaultStyleSheet(QString::fromUtf16(StyleSheet));
        QAbstractTextDocumentLayout *layout = m_document.documentLayout();
        layout->registerHandler(QTextFormat::ImageObject,
                                new PaperPictures(m_page.width(), &m_document));
        layout->registerHandler(PaperTables::RowObject, &*m_tables);
        layout->setPaintDevice(&m_measure);
        m_document.setPageSize(QSizeF(0, 0)); // nothing is laid out yet
        m_document.setHtml(HtmlDocument::innerHtml(note.body()));
        m_tables->place(m_document);
        // Each line's glyphs are kept from the layout to the drawing, rather than shaped twice.
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            block.layout()->setCacheEnabled(true);
    }

    // Whether the part's HTML could be read.
    bool isValid() const { return m_tables.has_value(); }

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
            const QRectF page(QPointF(0, n * m_page.height()), m_page);
            // Qt draws every line the clip touches: a line starting right at the page's end
            // would be drawn, hidden, on this page too, and read twice from the PDF.
            context.clip = page.adjusted(0, 0.5, 0, -0.5);
            painter.save();
            painter.translate(0, -page.top());
            painter.setClipRect(page);
            m_document.documentLayout()->draw(&painter, context);
            painter.restore();
        }
        return true;
    }

private:
    QBuffer m_nowhere; // the measuring device is never drawn on
    QPdfWriter m_measure{&m_nowhere};
    QSizeF m_page;
    std::optional<PaperTables> m_tables; // its rows measure on the device above
    QTextDocument m_document; // destroyed first: its layout draws the objects above
};

// The PDF of a part of the note; empty when it cannot be read or the writer fails.
QByteArray writePart(QStringView noteHtml)
{
    PaperPart part(noteHtml);
    if (!part.isValid())
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
    const bool drawn = part.draw(writer, painter);
    if (!painter.end() || !drawn)
        return {};
    return pdf;
}

} // namespace

QByteArray PaperPdf::write(const QString &noteHtml, int threads)
{
    // The note is cut into twice as many parts as there are threads, and each thread draws the
    // next part not yet taken into a PDF of its own, until none is left; the PDFs are joined in
    // order. A thread slowed by other work on its core then draws fewer parts, rather than
    // leaving the others waiting for it at the end.
    threads = threads > 0 ? threads : QThread::idealThreadCount();
    const std::vector<QStringView> html = HtmlCuts::cut(noteHtml, 2 * threads, ShortestPart);
    std::vector<QByteArray> parts(html.size());
    std::atomic<std::size_t> next = 0;
    const auto drawParts = [&] {
        for (std::size_t index = next++; index < html.size(); index = next++)
            parts[index] = writePart(html[index]);
    };
    std::vector<std::unique_ptr<QThread>> workers;
    for (int worker = 1; worker < threads && std::size_t(worker) < html.size(); ++worker) {
        workers.emplace_back(QThread::create(drawParts));
        workers.back()->start();
    }
    drawParts();
    for (const std::unique_ptr<QThread> &worker : workers)
        worker->wait();
    if (std::any_of(parts.begin(), parts.end(),
                    [](const QByteArray &pdf) { return pdf.isEmpty(); }))
        return {};
    if (parts.size() == 1)
        return parts[0];
    QString error;
    QByteArray pdf = PdfJoin::join(parts, error);
    if (pdf.isEmpty())
        writeLog(
            QStringLiteral("[ERROR] PaperPdf::write: the parts cannot be joined: %1").arg(error));
    return pdf;
}

} // namespace TAVRIKCORE::RICHEDITOR
