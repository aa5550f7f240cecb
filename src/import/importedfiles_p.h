// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "import/importrecords.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The pictures and files of one note being imported, stored as a file the user adds is: the
// kept copy in the note's folder, the content-named copy or card, the page's markup. The
// note's files together stay within the limit of adding files; clashing names get a number.
// What cannot be stored is listed in the import's skips, each with one log line.
class TAVRIK_AUTOTEST_EXPORT ImportedFiles
{
public:
    struct Stored
    {
        DropFileInfo info;
        MAF_RESULT result;
    };

    ImportedFiles(const QString &noteId, const QString &noteTitle,
                  std::vector<ImportSkip> &skipped);

    // Stores the file at `path` under the name `name`; nullopt when it was skipped.
    std::optional<Stored> add(const QString &path, const QString &name);
    // Shows the stored file with the card at `cardPath` (a copy of one this store made),
    // placed in the store under its own MD5; false, the store's own card kept, when it cannot.
    static bool useCard(Stored &stored, const QString &cardPath);
    // The markup of a stored file, as for a file dropped on the note.
    static QString markup(const Stored &stored);

    // Lists one skip of this note and logs it.
    void skip(ImportSkip::Reason reason, const QString &name, const QString &detail = QString());
    // Lists a skip and writes its log line "[ERROR] Import skipped <name> (<reason>)".
    static void record(std::vector<ImportSkip> &skipped, const ImportSkip &skip);

    QString noteId() const { return m_noteId; }

private:
    QString m_noteId;
    QString m_noteTitle;
    std::vector<ImportSkip> &m_skipped;
    std::vector<QString> m_names;
    quint64 m_total = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
