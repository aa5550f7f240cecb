// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "noteexport.h"

#include "editor/czorvaeditorimpl.h"
#include "editor/noteprinting.h"

#include <QMenu>

using namespace Qt::StringLiterals;

NoteExport::Format NoteExport::formatOf(const QString &path)
{
    if (path.endsWith(u".odt"_s, Qt::CaseInsensitive))
        return Format::Odt;
    if (path.endsWith(u".docx"_s, Qt::CaseInsensitive))
        return Format::Docx;
    return path.endsWith(u".pdf"_s, Qt::CaseInsensitive) ? Format::Pdf : Format::Mht;
}

namespace {

// The export dialog's title, its file filter and the suffix of a proposed file name.
struct FormatTexts
{
    QString title;
    QString filter;
    QString suffix;
};

FormatTexts textsOf(NoteExport::Format format)
{
    switch (format) {
    case NoteExport::Format::Odt:
        return {NoteExport::tr("Export to ODT"), NoteExport::tr("OpenDocument texts (*.odt)"),
                u".odt"_s};
    case NoteExport::Format::Docx:
        return {NoteExport::tr("Export to DOCX"), NoteExport::tr("Word documents (*.docx)"),
                u".docx"_s};
    case NoteExport::Format::Pdf:
        return {NoteExport::tr("Export to PDF"), NoteExport::tr("PDF documents (*.pdf)"),
                u".pdf"_s};
    case NoteExport::Format::Mht:
        break;
    }
    return {NoteExport::tr("Export to MHT"), NoteExport::tr("MHT documents (*.mht *.mhtml)"),
            u".mht"_s};
}

} // namespace

QString NoteExport::dialogTitle(Format format)
{
    return textsOf(format).title;
}

QString NoteExport::fileFilter(Format format)
{
    return textsOf(format).filter;
}

QString NoteExport::suffix(Format format)
{
    return textsOf(format).suffix;
}

QMenu *NoteExport::createMenu(QWidget *parent, const std::function<void(Format)> &chosen)
{
    auto *menu = new QMenu(parent);
    QAction *mht = menu->addAction(tr("As &MHT document…"), [chosen] { chosen(Format::Mht); });
    mht->setToolTip(tr("A single file with the pictures inside, for browsers and Word"));
    QAction *odt = menu->addAction(tr("As &ODT document…"), [chosen] { chosen(Format::Odt); });
    odt->setToolTip(tr("An OpenDocument text for LibreOffice and other word processors"));
    QAction *docx = menu->addAction(tr("As &DOCX document…"), [chosen] { chosen(Format::Docx); });
    docx->setToolTip(tr("A Word document for Microsoft Word and other word processors"));
    QAction *pdf = menu->addAction(tr("As &PDF…"), [chosen] { chosen(Format::Pdf); });
    pdf->setToolTip(tr("A PDF for reading and printing anywhere, always on white paper"));
    menu->setToolTipsVisible(true);
    return menu;
}

bool NoteExport::write(TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl &editor, const QString &path,
                       QString &error)
{
    switch (formatOf(path)) {
    case Format::Odt:
        return editor.ExportOdt(path, error);
    case Format::Docx:
        return editor.ExportDocx(path, error);
    case Format::Pdf:
        return TAVRIKCORE::RICHEDITOR::NotePrinting::ExportPdf(editor, path, error);
    case Format::Mht:
        break;
    }
    return editor.ExportWord(path, error);
}
