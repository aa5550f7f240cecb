// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The browser engine's spell checking. The engine checks with the languages of its one
// profile, so they are shared by every editor of the process; each page decides whether its
// note is checked at all.
class SpellChecking
{
public:
    // The folder the engine reads its dictionaries (<language tag>.bdic) from:
    // QTWEBENGINE_DICTIONARIES_PATH when set, else qtwebengine_dictionaries beside the
    // executable, else the one of the Qt installation. Empty when none exists.
    static QString dictionaryFolder();
    // The language tags with a dictionary in that folder ("en-US"), sorted.
    static std::vector<QString> availableLanguages();
    // Checks spelling in `languages` from now on; none turns checking off. A language without
    // a dictionary is left out, and one log line names all such. Gives the languages in use.
    static std::vector<QString> use(const std::vector<QString> &languages);
    // The languages in use; empty while checking is off.
    static std::vector<QString> languagesInUse();
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
