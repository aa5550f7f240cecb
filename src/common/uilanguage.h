// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// The language of what the editor shows: message boxes, dialog titles, menus. The editor ships
// English ("en") and Simplified Chinese ("zh_CN"). Its messages are written in the source as
// the product's own Chinese texts and reach the log like that whatever the language; until a
// host calls Set, they are shown like that too.
class TAVRIK_EXPORT UiLanguage
{
public:
    // Chooses the language and installs its translations in the application: the editor's and
    // those of every host catalogue added with AddCatalogue, replacing the ones installed
    // before. `language` is a locale name ("en", "zh_CN", "de_DE", ...): Chinese ones choose
    // "zh_CN", all others "en". An empty text means the environment variable TAVRIK_LANGUAGE
    // when it is set, else the desktop's language (QLocale::system()). Returns the language
    // chosen. Call it on the application's thread once the application object exists.
    static QString Set(const QString &language = QString());

    // Removes the installed translations: every text shows as written in the source again.
    static void Reset();

    // The language the last Set chose; empty before the first and after Reset.
    static QString Current();

    // Adds a host's catalogue: the files ":/i18n/<name>_<language>.qm" compiled into the host.
    // Installed at once when a language is chosen already, and again at every Set.
    static void AddCatalogue(const QString &name);

    // One of the editor's texts in the chosen language: `source`, marked for translation in
    // `context`, with "%1" replaced by `arg` when the text holds it.
    static QString Translate(const char *context, const QString &source,
                             const QString &arg = QString());
};

} // namespace TAVRIKCORE::RICHEDITOR
