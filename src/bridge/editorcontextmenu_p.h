// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QCoreApplication>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;

// The editor's own context menu. Its entries come in sections, each made by one function from
// what lies under the pointer, so a feature adds its section (spelling suggestions, copying
// attachments out) without touching the others. Shown as a native menu.
class TAVRIK_AUTOTEST_EXPORT EditorContextMenu
{
    Q_DECLARE_TR_FUNCTIONS(EditorContextMenu)

public:
    // What the menu is asked for.
    struct Target
    {
        bool editable = false; // the note may be changed
        bool hasSelection = false;
        QString attachFile; // store name of the attachment under the pointer; empty for none
        QString attachName; // its original name
        QString misspelledWord; // the word under the pointer the spell checker marked
        QStringList spellingSuggestions; // the checker's corrections of it, best first
    };
    // One choice; `run` is called when it is chosen.
    struct Entry
    {
        QString text;
        std::function<void()> run;
        bool enabled = true;
    };
    using Section = std::function<std::vector<Entry>(const Target &)>;

    // The editing section: Cut, Copy, Paste, Paste as plain text, Select all, each enabled
    // when it can do something. `trigger` runs the browser's own command.
    static Section editSection(std::function<void(int webAction)> trigger);

    // The spelling section, for a misspelt word in an editable note only: one entry per
    // correction, or a disabled "No spelling suggestions", then "Add to dictionary" and
    // "Ignore". `replace` puts the chosen correction in place of the word; `accept` takes the
    // word as spelt right, for good or until the program ends.
    static Section spellingSection(std::function<void(const QString &correction)> replace,
                                   std::function<void(const QString &word, bool forGood)> accept);

    // The table section, while the caret of an editable note is in a table: inserting and
    // deleting rows and columns, deleting the table, merging and splitting cells and the
    // header row, each enabled when the page can run it there; the page runs the chosen one.
    // It asks the page and waits for the answer: never used inside the browser's own dispatch
    // (a context menu request as the browser hands it over), where no answer comes.
    static Section tableSection(IEWebBrowser *browser);

    // The Markdown section: "Copy as Markdown" with a selection, "Paste as Markdown" in an
    // editable note while the clipboard holds text; `copy` and `paste` do them. Reached by
    // their underlined letters M and K too.
    static Section markdownSection(std::function<void()> copy, std::function<void()> paste);

    void addSection(Section section) { m_sections.push_back(std::move(section)); }

    // Pops the entries up at `screenPoint` over `parent`, sections in order and a separator
    // between two; nothing when there are none. Returns at once: the chosen entry runs later
    // from the event loop (never once `parent` is gone), and the menu deletes itself once
    // closed.
    QMenu *popup(QWidget *parent, const QPoint &screenPoint, const Target &target) const;

private:
    std::vector<Section> m_sections;
};

} // namespace TAVRIKCORE::RICHEDITOR
