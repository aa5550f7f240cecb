// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/newattachfile.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The open note's bookkeeping: its id, whether the page is read-only, the sizes and
// modification times of the files it stores. Every record of a stored or replaced file is
// written here, and the checks of an addition and the file list of a save are answered from
// it.
class TAVRIK_AUTOTEST_EXPORT NoteSession
{
public:
    const QString &noteId() const { return m_noteId; }
    void setNoteId(const QString &noteId) { m_noteId = noteId; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Sizes by store name.
    const std::map<QString, quint64> &sizes() const { return m_sizes; }
    // Modification times keyed by store name followed directly by kept name.
    const std::map<QString, QString> &times() const { return m_times; }
    // Adds the entries of `sizes` whose names are absent; present entries keep their size.
    void addSizes(const std::map<QString, quint64> &sizes);
    // Sets one time (inserting or replacing its entry).
    void recordTime(const QString &storeName, const QString &keptName, const QString &time);
    // A file stored for the note under `name` (kept as `keptName`): its size, and the current
    // time, unless the name is recorded already (the same content stored before).
    void recordStored(const QString &name, const QString &keptName, quint64 size);
    // An attachment's new content, stored as `storeName` and shown as `showName`, both at `now`.
    void recordReplaced(const QString &storeName, const QString &keptName, quint64 size,
                        const QString &showName, quint64 showSize, const QString &now);
    // New content in the page: no size and no time is known.
    void clearFiles();

    // The attachments the note's markup `html` shows, read once for both checks of an
    // addition.
    struct Attachments
    {
        // Their recorded bytes together, each counted one byte less than recorded.
        quint64 total = 0;
        // Their kept names, for the numbering of new files with the same name.
        std::vector<QString> keptNames;
    };
    // Nothing when the markup cannot be read or a size is not recorded, with the log line
    // "[ERROR] 查询<origName>附件大小失败！" (a size that, as a signed 32-bit number, is below 1
    // counts as not recorded).
    std::optional<Attachments> attachmentsIn(const QString &html) const;

    // What the host's OnSaveNote receives for `html` stored as `noteFile`: the note file,
    // then the attachments of `html`, each with its recorded time (now when it has none).
    std::vector<NewAttachFile> savedFiles(const QString &noteId, const QString &html,
                                          const NewAttachFile &noteFile) const;
    // The same for a note that is not open, with the times in `times`.
    static std::vector<NewAttachFile> savedFiles(const QString &noteId, const QString &html,
                                                 const NewAttachFile &noteFile,
                                                 const std::map<QString, QString> &times);
    // Gives each record its time from `times` (key storeName + origName), or now.
    static void stampTimes(std::vector<NewAttachFile> &files,
                           const std::map<QString, QString> &times);

private:
    QString m_noteId;
    bool m_readOnly = false;
    std::map<QString, quint64> m_sizes;
    std::map<QString, QString> m_times;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
