// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QString>
#include <QStringList>

class QWebEngineProfile;

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The browser profile every editor page is shown in, and the user's own spelling words.
//
// The browser reads a custom spelling dictionary only in a profile kept on disk, so the
// profile lives for the program in a folder of its own (never shared by two programs, removed
// at exit) and keeps no cookies or cache there. Its dictionary is written from the personal
// word list below the application folder, plus the words ignored since the program started.
class TAVRIK_AUTOTEST_EXPORT EditorProfile
{
public:
    static QWebEngineProfile *get();

    // userdata/spelling/words.txt below the application folder: one word a line, UTF-8.
    static QString wordListPath();
    static QStringList personalWords();
    // Adds the word to the personal list for good; false, with a log line, for a word the
    // checker cannot take (empty, with blanks, over 99 bytes) or a list that cannot be written.
    static bool addWord(const QString &word);
    // Accepts the word until the program ends.
    static void ignoreWord(const QString &word);
    // Writes the profile's dictionary from both lists and has the checker read it again (when
    // it checks at all).
    static void reloadDictionary();
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
