// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// A note as a PDF document drawn by Qt itself (QTextDocument on QPdfWriter), a few
// milliseconds a page: A4 pages with 15 mm margins, dark text on white paper whatever the
// editor's theme, the text selectable and links clickable. Headings, paragraphs, formatting and
// colours, lists, tables (spans, widths, header rows), code blocks in a monospaced font and
// checklists with their boxes as characters (☐, ☑); pictures and file cards are the pictures
// in the attachment store their img shows, at their size, made smaller to the page's width.
// Uses no widget, so it may run on any thread.
class TAVRIK_AUTOTEST_EXPORT PaperPdf
{
public:
    // The PDF of note HTML; empty when the HTML cannot be read or the document not drawn. A
    // long note is drawn in parts side by side on up to `threads` threads (0: one a core),
    // twice as many parts as threads at most, each part starting a page.
    static QByteArray write(const QString &noteHtml, int threads = 0);

    // The fewest characters of HTML a part holds (some 25 pages).
    static constexpr qsizetype ShortestPart = 50 * 1000;
};

} // namespace TAVRIKCORE::RICHEDITOR
