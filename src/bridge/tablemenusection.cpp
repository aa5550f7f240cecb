// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/editorcontextmenu_p.h"
#include "session/editorpage_p.h"

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct TableEntry
{
    const char *command; // the page's name of it
    const char *text;
};

constexpr TableEntry TableEntries[] = {
    {"rowAbove", QT_TRANSLATE_NOOP("EditorContextMenu", "Insert row above")},
    {"rowBelow", QT_TRANSLATE_NOOP("EditorContextMenu", "Insert row below")},
    {"columnLeft", QT_TRANSLATE_NOOP("EditorContextMenu", "Insert column left")},
    {"columnRight", QT_TRANSLATE_NOOP("EditorContextMenu", "Insert column right")},
    {"deleteRow", QT_TRANSLATE_NOOP("EditorContextMenu", "Delete row")},
    {"deleteColumn", QT_TRANSLATE_NOOP("EditorContextMenu", "Delete column")},
    {"deleteTable", QT_TRANSLATE_NOOP("EditorContextMenu", "Delete table")},
    {"mergeCells", QT_TRANSLATE_NOOP("EditorContextMenu", "Merge cells")},
    {"splitCell", QT_TRANSLATE_NOOP("EditorContextMenu", "Split cell")},
    {"headerRow", QT_TRANSLATE_NOOP("EditorContextMenu", "Header row")},
};

} // namespace

EditorContextMenu::Section EditorContextMenu::tableSection(IEWebBrowser *browser)
{
    return [browser](const Target &target) {
        std::vector<Entry> entries;
        if (!target.editable)
            return entries;
        const std::optional<std::vector<QString>> available
            = Internal::EditorPage(browser).tableCommands();
        if (!available || available->empty())
            return entries;
        for (const TableEntry &entry : TableEntries) {
            const QString command = QString::fromLatin1(entry.command);
            const auto run = [browser, command] {
                Internal::EditorPage(browser).runTableCommand(command);
            };
            const bool enabled
                = std::find(available->begin(), available->end(), command) != available->end();
            entries.push_back({tr(entry.text), run, enabled});
        }
        return entries;
    };
}

} // namespace TAVRIKCORE::RICHEDITOR
