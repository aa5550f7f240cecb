// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QCoreApplication>
#include <QString>

class QPrinter;

namespace TAVRIKCORE::RICHEDITOR {

class CZorvaEditorImpl;

// Printing a note and exporting it as PDF. Both take the note as the editor last loaded or saved
// it (as ExportWord does; a host saves first), with its pictures and attachment cards, and lay it
// out on its own: no toolbar or status bar, and always dark text on white paper, whatever the
// editor's theme. The text stays text (selectable and searchable in the PDF).
//
// The export draws the note with Qt's own PDF writer (PaperPdf), a few milliseconds a page, on a
// thread of its own. Printing shows the note as the browser engine lays it out (its MHT export
// in a browser of its own), exactly as the page shows it, a picture of each page for the printer
// or the preview; it waits for the engine in a local event loop, a step failing after
// StepTimeoutMs. Both keep the window drawing meanwhile.
class TAVRIK_EXPORT NotePrinting
{
    Q_DECLARE_TR_FUNCTIONS(NotePrinting)

public:
    static constexpr int StepTimeoutMs = 120 * 1000;

    // Writes the note as a PDF document to `path`, replacing it: A4 pages with 15 mm margins.
    // The file is written beside the target and renamed over it, so a failed export leaves
    // neither a partial file nor a changed target. False with the reason in `error` (also for a
    // note the editor shows only in part, or without content), and a log line
    // "[ERROR] NotePrinting::ExportPdf <path>: <reason>".
    static bool ExportPdf(CZorvaEditorImpl &editor, const QString &path, QString &error);

    // Prints the note on `printer` (a printer, a PDF printer or a print preview's). False with
    // the reason in `error`, and a log line "[ERROR] NotePrinting::Print: <reason>".
    static bool Print(CZorvaEditorImpl &editor, QPrinter *printer, QString &error);
};

} // namespace TAVRIKCORE::RICHEDITOR
