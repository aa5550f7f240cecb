// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/paperpdf_p.h"

#include "editor/paperpictures_p.h"
#include "notehtml/checklistmark_p.h"
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

namespace TAVRIKCORE::RICHEDITOR {

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
table { border-collapse: collapse; margin-top: 6px; margin-bottom: 12px; }
td, th { border: 1px solid #c9ced5; padding: 4px; vertical-align: top; }
th { background-color: #f3f5f7; }
)";

QFont paperFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(15);
    return font;
}

// The note's HTML as Qt's document reads it: pictures by their path in the store, checklist
// boxes as characters.
std::optional<QString> paperHtml(const QString &noteHtml)
{
    HtmlDocument note;
    if (!note.parse(noteHtml))
        return std::nullopt;
    MhtExport::convertPictureSources(note);
    markChecklists(note);
    return HtmlDocument::innerHtml(note.body());
}

} // namespace

QByteArray PaperPdf::write(const QString &noteHtml)
{
    const std::optional<QString> html = paperHtml(noteHtml);
    if (!html)
        return {};
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("TavrikEditor"));
    writer.setResolution(Resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    const QSizeF page = writer.pageLayout().paintRectPixels(Resolution).size();

    QTextDocument document;
    document.setUseDesignMetrics(true);
    document.setDocumentMargin(0);
    document.setDefaultFont(paperFont());
    document.setDefaultStyleSheet(QString::fromUtf16(StyleSheet));
    PaperPictures pictures(page.width());
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    layout->registerHandler(QTextFormat::ImageObject, &pictures);
    layout->setPaintDevice(&writer);
    document.setHtml(*html);
    // Each line's glyphs are kept from the layout to the drawing, rather than shaped twice.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
    document.setPageSize(page); // lays the document out

    QPainter painter;
    if (!painter.begin(&writer))
        return {};
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    const int pages = document.pageCount();
    for (int n = 0; n < pages; ++n) {
        if (n > 0 && !writer.newPage())
            return {};
        context.clip = QRectF(QPointF(0, n * page.height()), page);
        painter.save();
        painter.translate(0, -context.clip.top());
        painter.setClipRect(context.clip);
        layout->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        return {};
    return pdf;
}

} // namespace TAVRIKCORE::RICHEDITOR
