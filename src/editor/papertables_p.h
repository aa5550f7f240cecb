// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/htmldocument_p.h"
#include "tavrik_autotest_export_p.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTextObjectInterface>

#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QTextDocument;
class QTextLayout;

namespace TAVRIKCORE::RICHEDITOR {

// The plain tables of a note on paper (PaperPdf), laid out and drawn a row at a time here
// rather than by Qt's document, whose tables take several times as long as the same text in
// paragraphs. A plain table stands at the top level of the note, has no colour, header rows,
// caption or merged cells of its own, and its cells hold text alone: formatting, colours,
// links, line breaks and paragraphs. Each of its rows becomes a paragraph of one object of
// this class's type, which the document lays out on the pages as it does a picture, so a row
// is never cut by a page's end. Other tables are left to the document.
//
// Columns are as wide as their widest text needs, within the width the table, a col or a cell
// asks for, and at least as wide as their longest word; the lines between cells are a pixel of
// the table colour, as in the document's own tables on paper.
class TAVRIK_AUTOTEST_EXPORT PaperTables : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    // Lengths in pixels of `device`, the document's measuring device; rows at most as wide as
    // the text of a `page` and as tall, their text in `font` where it has no formatting of its
    // own.
    PaperTables(QSizeF page, const QFont &font, QPaintDevice *device);
    ~PaperTables() override;

    // Puts a paragraph holding RowMark alone in the place of each row of each plain table of
    // `note`, read from `html`. A note that holds the mark itself keeps its tables.
    void take(HtmlDocument &note, QStringView html);
    // Makes the marks of the rows in `document`, read from the note's markup, the rows' objects.
    void place(QTextDocument &document) const;

    // How many rows were taken.
    std::size_t rowCount() const { return m_rows.size(); }
    QSizeF size(std::size_t row) const;

    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                    const QTextFormat &format) override;

    // The object type of a row in the document, and the property of its format with its number.
    static constexpr int RowObject = QTextFormat::UserObject + 1;
    static constexpr int RowProperty = QTextFormat::UserProperty + 1;
    // A character of Unicode's private use area.
    static constexpr QChar RowMark = QChar(0xe000);
    static constexpr QColor LineColor = QColor(0xc9, 0xce, 0xd5);
    static constexpr QColor HeaderColor = QColor(0xf3, 0xf5, 0xf7);
    static constexpr qreal Padding = 4;
    static constexpr qreal Spacing = 1;

private:
    struct Cell;
    struct Row;
    struct Table;

    std::unique_ptr<Table> plainTable(HtmlDocument::Element table) const;
    void layOut(Table &table) const;
    static QSizeF size(const Row &row);
    void draw(QPainter *painter, const QPointF &topLeft, std::size_t row) const;

    QSizeF m_page;
    QFont m_font;
    QPaintDevice *m_device;
    std::vector<std::unique_ptr<Table>> m_tables;
    std::vector<Row *> m_rows;
};

} // namespace TAVRIKCORE::RICHEDITOR
