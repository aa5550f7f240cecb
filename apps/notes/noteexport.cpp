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
    return path.endsWith(u".pdf"_s, Qt::CaseInsensitive) ? Format::Pdf : Format::Mht;
}

QString NoteExport::dialogTitle(Format format)
{
    switch (format) {
    case Format::Odt:
        return tr("Export to ODT");
    case Format::Pdf:
        return tr("Export to PDF");
    case Format::Mht:
        break;
    }
    return tr("Export to MHT");
}

QString NoteExport::fileFilter(Format format)
{
    switch (format) {
    case Format::Odt:
        return tr("OpenDocument texts (*.odt)");
    case Format::Pdf:
        return tr("PDF documents (*.pdf)");
    case Format::Mht:
        break;
    }
    return tr("MHT documents (*.mht *.mhtml)");
}

QString NoteExport::suffix(Format format)
{
    switch (format) {
    case Format::Odt:
        return u".odt"_s;
    case Format::Pdf:
        return u".pdf"_s;
    case Format::Mht:
        break;
    }
    return u".mht"_s;
}

QMenu *NoteExport::createMenu(QWidget *parent, const std::function<void(Format)> &chosen)
{
    auto *menu = new QMenu(parent);
    QAction *mht = menu->addAction(tr("As &MHT document…"), [chosen] { chosen(Format::Mht); });
    mht->setToolTip(tr("A single file with the pictures inside, for browsers and Word"));
    QAction *odt = menu->addAction(tr("As &ODT document…"), [chosen] { chosen(Format::Odt); });
    odt->setToolTip(tr("An OpenDocument text for LibreOffice and other word processors"));
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
    case Format::Pdf:
        return TAVRIKCORE::RICHEDITOR::NotePrinting::ExportPdf(editor, path, error);
    case Format::Mht:
        break;
    }
    return editor.ExportWord(path, error);
}
