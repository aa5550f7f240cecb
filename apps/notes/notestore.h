// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <optional>
#include <vector>

// One note of the notebook as the list shows it.
struct NoteInfo
{
    QString id; // the note's GUID text, also the name of its folder in the attachment store
    QString title;
    QDateTime created;
    QDateTime modified;
    bool readOnly = false;
    QString preview; // the start of the note's plain text as last saved
    bool conflict = false; // another device changed the note from the same version too
};

// One file a note refers to, as the editor listed it when the note was last saved.
struct NoteFile
{
    QString origName;
    int fileKind = 0; // 0 the note's HTML file, 1 an image shown by the note, 2 an attached file
    QString modifyTime;
    QString fileExt;
    QString storeName;
    QString filePath;
    int isImageSrc = 0;
};

// A note added whole, as an import makes it: the files and text of its save, and its times.
struct NewNote
{
    QString id;
    QString title;
    QDateTime created; // the time of adding when invalid
    QDateTime modified; // the time of adding when invalid
    std::vector<NoteFile> files; // the note file first
    std::map<QString, quint64> sizes; // attachment sizes by store name
    QString plainText;
};

namespace TAVRIKCORE::RICHEDITOR {
class NoteHeads;
struct MergedNote;
struct NoteHead;
} // namespace TAVRIKCORE::RICHEDITOR

// The demo's notebook: notes and the files of their last save, kept in one SQLite database.
// Every operation reports failure by its result and keeps the reason in lastError().
//
// With heads, each change is also written to this device's head of the note (NoteHeads), the
// notebook's state that a file-sync engine carries; the database is then a local index of
// what every device's heads give together, rebuilt from them when it is missing or damaged.
class NoteStore
{
    Q_DECLARE_TR_FUNCTIONS(NoteStore)

public:
    explicit NoteStore(const QString &databasePath);
    // A notebook kept in the heads folder `headsFolder`, written as the device `deviceId`.
    NoteStore(const QString &databasePath, const QString &headsFolder, const QString &deviceId);
    ~NoteStore();
    NoteStore(const NoteStore &) = delete;
    NoteStore &operator=(const NoteStore &) = delete;

    // Opens (creating when missing) the database and its tables. False when it cannot.
    bool open();
    // Opens an existing notebook only to read it: nothing is created, upgraded or indexed, and
    // a program writing to it at the same time is waited for rather than disturbed.
    bool openForReading();
    bool isOpen() const;
    QString lastError() const;
    QString databasePath() const { return m_path; }

    // Every note, the most recently modified first.
    std::vector<NoteInfo> notes() const;
    std::optional<NoteInfo> note(const QString &id) const;
    int noteCount() const;

    // Adds a note with an empty file list. False when the id is empty or already taken.
    bool addNote(const QString &id, const QString &title);
    // Adds the notes as addNote() and saveNote() with their text indexed would, but with the
    // times given and in one commit; their heads are flushed to disk together. False, with no
    // note added, when an id is empty or taken, a file list does not start with the note file,
    // or the notebook cannot be written.
    bool addNotes(const std::vector<NewNote> &notes);
    // False when the note does not exist or the title is blank (it is trimmed).
    bool renameNote(const QString &id, const QString &title);
    bool setReadOnly(const QString &id, bool readOnly);
    // Sets the modification time shown in the list (for imported and sample notes).
    bool setModified(const QString &id, const QDateTime &modified);

    // Removes the note and its file list. `unusedFiles` receives the paths of the files that
    // no other note refers to any more, so the caller may remove them from disk; with heads it
    // stays empty, as another device may still need them (the store's clean-up knows).
    bool deleteNote(const QString &id, std::vector<QString> *unusedFiles = nullptr);

    // Replaces the note's file list (the note file first) and attachment sizes, stores the
    // preview from `plainText`, indexes its words for search() and stamps the modification time.
    // Without `indexText` the index keeps the note's previous words and notesToIndex() lists
    // the note until indexNoteText() gives the new ones. False for an unknown note or a list
    // that does not start with the note's HTML file.
    bool saveNote(const QString &id, const std::vector<NoteFile> &files,
                  const std::map<QString, quint64> &sizes, const QString &plainText,
                  bool indexText = true);

    // The notes holding every word of what the user typed, the last word also as the start of
    // a longer word, in any letter case and with or without accents; text that holds no word
    // finds nothing. Ranked best first by the index's bm25 score, a word in the title counting
    // TitleWeight times one in the text, then the most recently modified. At most `limit`
    // notes; empty with lastError() set when the index cannot be read (cleared otherwise).
    std::vector<NoteInfo> search(const QString &userText, int limit = 200) const;
    // The first word of the note's text or title that the search for `userText` matched, as
    // the note writes it (to mark it in the open note); empty when none did.
    QString matchedWord(const QString &id, const QString &userText) const;

    // Notes whose index lacks their text: saved without `indexText`, or from a notebook
    // written before the index existed (the index holds their title and preview), until
    // indexNoteText() gives their text.
    std::vector<QString> notesToIndex() const;
    // Indexes the note's text; with `onlyUnindexed` only when notesToIndex() lists the note,
    // so text read from an older save cannot replace a newer one. A removed note is left
    // removed. False when the index cannot be written.
    bool indexNoteText(const QString &id, const QString &plainText, bool onlyUnindexed = false);

    // The file list of the last save, in its order; empty for a note never saved.
    std::vector<NoteFile> files(const QString &id) const;
    // Store names of the note's HTML files, in list order: what the editor loads.
    std::vector<QString> noteFileNames(const QString &id) const;
    // Sizes of the note's attachments by store name.
    std::map<QString, quint64> attachmentSizes(const QString &id) const;

    // With heads: applies what every device's heads give together to the index, and writes
    // a head for each note only the index holds. The notes whose version, title or conflict
    // changed; empty without heads. Run by open() and whenever heads arrive.
    std::vector<QString> refreshFromHeads();
    bool usesHeads() const { return m_heads != nullptr; }
    // A note open with changes not yet saved: refreshFromHeads() leaves its version as it is,
    // so that saving it then makes a conflict with a version that arrived meanwhile rather
    // than replacing it. Empty for none.
    void setHeldNote(const QString &id) { m_held = id; }
    // The versions of the note that another device made from the same version as the one
    // shown, newest first.
    std::vector<TAVRIKCORE::RICHEDITOR::NoteHead> conflicts(const QString &id) const;
    // Makes the conflicting version whose note file is `noteFile` the note `newId` of its own,
    // titled `title`, and marks the conflict settled on every device. False when the note has
    // no such conflicting version or the new note cannot be written.
    bool takeConflict(const QString &id, const QString &noteFile, const QString &newId,
                      const QString &title);

    // Longest preview kept for a note, in characters.
    static constexpr int PreviewLength = 160;
    // How much more a word in a note's title weighs in search() than one in its text.
    static constexpr double TitleWeight = 10.0;

private:
    bool exec(const QString &statement);
    // Runs a statement that must change exactly one note; `what` starts the error.
    bool changeOne(const QString &what, const QString &statement, const QVariantList &values);
    bool fail(const QString &what, const QString &reason) const;
    // Gives every note without an index entry one holding its title and preview.
    bool addMissingIndexEntries();
    // Inside a transaction: the index entry's words from `plainText` (with `onlyUnindexed`,
    // only for a note listed by notesToIndex()), or the entry marked as lacking them.
    bool writeWords(const QString &id, const QString &plainText, bool onlyUnindexed,
                    QString &reason);
    bool markUnindexed(const QString &id, QString &reason);
    bool indexTitle(const QString &id, const QString &title);

    bool openIndex();
    // Writes this device's head of the note from the index. `previousFile` is the note file
    // shown before a save; `deleted` records a deletion of the note `gone`.
    bool recordHead(const QString &id, const QString &previousFile = {},
                    const std::optional<NoteInfo> &gone = {});
    // The head recordHead() writes; nothing, with lastError() set, for a note not in the index.
    std::optional<TAVRIKCORE::RICHEDITOR::NoteHead>
    headOf(const QString &id, const QString &previousFile, const std::optional<NoteInfo> &gone);
    // Inside a transaction: the note's row, title and words, and its files; an invalid time
    // is `now`.
    bool insertNote(const NewNote &note, qint64 now);
    bool applyMerged(const TAVRIKCORE::RICHEDITOR::MergedNote &merged, bool &changed);
    // Inside a transaction: replaces the note's file list and attachment sizes.
    bool storeFiles(const QString &id, const std::vector<NoteFile> &files,
                    const std::map<QString, quint64> &sizes, QString &reason);

    QString m_path;
    QString m_connection;
    mutable QString m_error;
    std::unique_ptr<TAVRIKCORE::RICHEDITOR::NoteHeads> m_heads;
    QString m_device;
    QString m_held;
    std::map<QString, TAVRIKCORE::RICHEDITOR::NoteHead> m_shown; // by note id
    std::map<QString, std::vector<TAVRIKCORE::RICHEDITOR::NoteHead>> m_conflicts;
};
