// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/editorcontextmenu_p.h"
#include "bridge/jsprocessorcall_p.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <json/value.h>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr JsProcessorLogLines TableStateLines{
    u"[ERROR] EditorContextMenu, asking the page about the table failed: the page did not answer",
    u"[ERROR] EditorContextMenu, asking the page about the table failed: bad reply",
    u"[ERROR] EditorContextMenu, asking the page about the table failed: %s"};

constexpr JsProcessorLogLines TableCommandLines{
    u"[ERROR] EditorContextMenu, changing the table failed: the page did not answer",
    u"[ERROR] EditorContextMenu, changing the table failed: bad reply",
    u"[ERROR] EditorContextMenu, changing the table failed: %s"};

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
        const std::optional<Json::Value> state = CallJsProcessor(
            browser, QStringLiteral("TableState"), QStringLiteral("{}"), TableStateLines);
        if (!state || !(*state)["commands"].isArray() || (*state)["commands"].empty())
            return entries;
        std::vector<std::string> available;
        for (const Json::Value &command : (*state)["commands"])
            available.push_back(command.asString());
        for (const TableEntry &entry : TableEntries) {
            const QString command = QString::fromLatin1(entry.command);
            const auto run = [browser, command] {
                const QJsonObject arg{{QStringLiteral("command"), command}};
                CallJsProcessor(
                    browser, QStringLiteral("TableCommand"),
                    QString::fromUtf8(QJsonDocument(arg).toJson(QJsonDocument::Compact)),
                    TableCommandLines);
            };
            const bool enabled
                = std::find(available.begin(), available.end(), entry.command) != available.end();
            entries.push_back({tr(entry.text), run, enabled});
        }
        return entries;
    };
}

} // namespace TAVRIKCORE::RICHEDITOR
