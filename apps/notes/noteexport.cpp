// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "noteexport.h"

#include "editor/czorvaeditorimpl.h"

#include <QMenu>

using namespace Qt::StringLiterals;

NoteExport::Format NoteExport::formatOf(const QString &path)
{
    return path.endsWith(u".odt"_s, Qt::CaseInsensitive) ? Format::Odt : Format::Mht;
}

QString NoteExport::dialogTitle(Format format)
{
    return format == Format::Odt ? tr("Export to ODT") : tr("Export to MHT");
}

QString NoteExport::fileFilter(Format format)
{
    return format == Format::Odt ? tr("OpenDocument texts (*.odt)")
                                 : tr("MHT documents (*.mht *.mhtml)");
}

QString NoteExport::suffix(Format format)
{
    return format == Format::Odt ? u".odt"_s : u".mht"_s;
}

QMenu *NoteExport::createMenu(QWidget *parent, const std::function<void(Format)> &chosen)
{
    auto *menu = new QMenu(parent);
    QAction *mht = menu->addAction(tr("As &MHT document…"), [chosen] { chosen(Format::Mht); });
    mht->setToolTip(tr("A single file with the pictures inside, for browsers and Word"));
    QAction *odt = menu->addAction(tr("As &ODT document…"), [chosen] { chosen(Format::Odt); });
    odt->setToolTip(tr("An OpenDocument text for LibreOffice and other word processors"));
    menu->setToolTipsVisible(true);
    return menu;
}

bool NoteExport::write(TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl &editor, const QString &path,
                       QString &error)
{
    return formatOf(path) == Format::Odt ? editor.ExportOdt(path, error)
                                         : editor.ExportWord(path, error);
}
