// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for copying and pasting Markdown; the page converts both ways.
#include "bridge/zvwebnotehandler.h"

#include "bridge/zvwebnotehandler_p.h"
#include "common/appdirectory.h"
#include "common/log4c.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace TAVRIKCORE::RICHEDITOR {

bool ZvWebNoteHandler::CopyAsMarkdown()
{
    const QString store
        = QUrl::fromLocalFile(GetAttachRootDir() + u'/').toString(QUrl::FullyEncoded);
    const std::optional<QString> markdown = d->page.selectionMarkdown(store);
    if (!markdown || markdown->isEmpty())
        return false;
    QGuiApplication::clipboard()->setText(*markdown);
    return true;
}

bool ZvWebNoteHandler::PasteAsMarkdown()
{
    if (d->session.readOnly())
        return false;
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    const QString text = clipboard ? clipboard->text() : QString();
    if (text.isEmpty()) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] Paste as Markdown: the clipboard holds no text"));
        return false;
    }
    return d->page.pasteMarkdown(text);
}

} // namespace TAVRIKCORE::RICHEDITOR
