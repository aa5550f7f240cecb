// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/editorcontextmenu_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace TAVRIKCORE::RICHEDITOR {

EditorContextMenu::Section EditorContextMenu::markdownSection(std::function<void()> copy,
                                                              std::function<void()> paste)
{
    return [copy = std::move(copy), paste = std::move(paste)](const Target &target) {
        const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
        const bool hasText = target.editable && clipboard && clipboard->hasText();
        return std::vector<Entry>{
            {tr("Copy as &Markdown"), copy, target.hasSelection},
            {tr("Paste as Mar&kdown"), paste, hasText},
        };
    };
}

} // namespace TAVRIKCORE::RICHEDITOR
