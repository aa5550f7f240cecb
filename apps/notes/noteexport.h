// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QMenu;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {
class CZorvaEditorImpl;
}

// The documents the demo exports a note to: an MHT document, which browsers and Word open, an
// OpenDocument text for LibreOffice and every other word processor, a Word document, and a PDF
// for reading and printing anywhere.
class NoteExport
{
    Q_DECLARE_TR_FUNCTIONS(NoteExport)

public:
    enum class Format { Mht, Odt, Pdf, Docx };

    // The format a target asks for by its name: ODT for a name ending in ".odt", DOCX for
    // ".docx", PDF for ".pdf" (any case), otherwise MHT.
    static Format formatOf(const QString &path);
    // The title of the export dialog, its file filter and the suffix of a proposed file name
    // (".mht", ".odt", ".docx", ".pdf").
    static QString dialogTitle(Format format);
    static QString fileFilter(Format format);
    static QString suffix(Format format);

    // The export menu: one entry per format, calling `chosen` with it.
    static QMenu *createMenu(QWidget *parent, const std::function<void(Format)> &chosen);

    // Writes the note the editor last loaded or saved to `path`, in the format its name asks
    // for. False with the editor's reason in `error`.
    static bool write(TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl &editor, const QString &path,
                      QString &error);
};
