// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/editorcontextmenu_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QWebEnginePage>

namespace TAVRIKCORE::RICHEDITOR {

EditorContextMenu::Section EditorContextMenu::editSection(std::function<void(int)> trigger)
{
    return [trigger = std::move(trigger)](const Target &target) {
        const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
        const bool canPaste = target.editable && clipboard && !clipboard->formats().isEmpty();
        const bool hasText = target.editable && clipboard && clipboard->hasText();
        const auto run = [trigger](QWebEnginePage::WebAction action) {
            return [trigger, action] {
                trigger(action);
            };
        };
        return std::vector<Entry>{
            {tr("Cut"), run(QWebEnginePage::Cut), target.editable && target.hasSelection},
            {tr("Copy"), run(QWebEnginePage::Copy), target.hasSelection},
            {tr("Paste"), run(QWebEnginePage::Paste), canPaste},
            {tr("Paste as plain text"), run(QWebEnginePage::PasteAndMatchStyle), hasText},
            {tr("Select all"), run(QWebEnginePage::SelectAll)},
        };
    };
}

EditorContextMenu::Section
EditorContextMenu::spellingSection(std::function<void(const QString &)> replace,
                                   std::function<void(const QString &, bool)> accept)
{
    return [replace = std::move(replace), accept = std::move(accept)](const Target &target) {
        std::vector<Entry> entries;
        if (!target.editable || target.misspelledWord.isEmpty())
            return entries;
        for (const QString &correction : target.spellingSuggestions)
            entries.push_back({correction, [replace, correction] {
                                   replace(correction);
                               }});
        if (entries.empty())
            entries.push_back({tr("No spelling suggestions"), {}, false});
        const QString word = target.misspelledWord;
        entries.push_back({tr("Add to dictionary"), [accept, word] {
                               accept(word, true);
                           }});
        entries.push_back({tr("Ignore"), [accept, word] {
                               accept(word, false);
                           }});
        return entries;
    };
}

QMenu *EditorContextMenu::popup(QWidget *parent, const QPoint &screenPoint,
                                const Target &target) const
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const Section &section : m_sections) {
        const std::vector<Entry> entries = section(target);
        if (entries.empty())
            continue;
        if (!menu->isEmpty())
            menu->addSeparator();
        for (const Entry &entry : entries) {
            QAction *action = menu->addAction(entry.text);
            action->setEnabled(entry.enabled);
            // Queued, so the choice runs once the menu has closed and given the focus back;
            // not at all once the window that asked is gone.
            QObject::connect(action, &QAction::triggered, menu, [parent, run = entry.run] {
                QMetaObject::invokeMethod(parent, run, Qt::QueuedConnection);
            });
        }
    }
    if (menu->isEmpty()) {
        delete menu;
        return nullptr;
    }
    menu->popup(screenPoint);
    return menu;
}

} // namespace TAVRIKCORE::RICHEDITOR
