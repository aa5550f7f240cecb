// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// One file of a note's save, as the editor listed it.
struct NoteHeadFile
{
    QString origName;
    int fileKind = 0; // 0 a note file, 1 a picture the note shows, 2 an attached file
    QString modifyTime;
    QString fileExt;
    QString storeName;
    QString filePath;
    int isImageSrc = 0;
};

// A note version this device's head held before the one it holds now.
struct ReplacedVersion
{
    QString noteFile; // store name of the note file
    qint64 replacedMs = 0; // when it was replaced, since the epoch
};

// What one device says about one note: the mutable part of a notebook, written by that device
// only, so a file-sync engine carries it without two writers ever meeting in one file.
struct NoteHead
{
    QString noteId;
    QString device;
    QString noteFile; // store name of the current note file
    QString base; // the note file this version was made from; empty for a new note
    std::vector<ReplacedVersion> replaced; // oldest first
    QString title;
    qint64 createdMs = 0;
    qint64 modifiedMs = 0; // when the note's text last changed
    qint64 changedMs = 0; // when this head was written: a rename or deletion counts too
    bool readOnly = false;
    bool deleted = false;
    QString preview;
    std::vector<NoteHeadFile> files; // the note file first
    std::map<QString, quint64> sizes; // attachment sizes by store name
};

// A note as every device's heads give it together.
struct MergedNote
{
    NoteHead current; // the version shown; its title and times are the newest change's
    std::vector<NoteHead> conflicts; // versions changed elsewhere from the same base
    bool deleted = false; // deleted, and no device changed it without knowing
};

// The heads of a notebook: the folder "heads" holding one folder per device, each holding
// "<note id>.json" for the notes that device changed. Each device writes its own folder only.
class TAVRIK_EXPORT NoteHeads
{
public:
    // `folder` is the heads folder, normally DefaultFolder().
    explicit NoteHeads(const QString &folder);

    // "heads" in the attachment root: the folder a sync engine carries with the store.
    static QString DefaultFolder();

    // Where this installation keeps its device id: "userdata/device-id" in the application
    // folder, beside the store and never carried by a sync engine.
    static QString DeviceIdPath();

    // The device id kept in `path` (32 lower-case hex digits), made and written there the first
    // time. Empty, with `error` set, when it can neither be read nor written.
    static QString DeviceId(const QString &path, QString &error);

    // Writes the device's head of the note atomically. False, with the reason logged and in
    // `error`, when it cannot.
    bool write(const NoteHead &head, QString &error) const;
    // Writes the heads of notes that have none of this device yet, together: they are flushed
    // to disk at once rather than one by one, and none is in place before all are, so a crash
    // leaves each whole or absent. An existing head is never replaced. False, with the reason
    // logged and in `error`, when one cannot be written; then none of them is.
    bool writeNew(const std::vector<NoteHead> &heads, QString &error) const;

    // Every head of every device; files that do not parse or that a sync engine is still
    // writing are left out, each unreadable one named in `problems`.
    std::vector<NoteHead> readAll(std::vector<QString> *problems = nullptr) const;
    // The head the device wrote for the note, when there is one.
    std::optional<NoteHead> read(const QString &device, const QString &noteId) const;

    QString folder() const { return m_folder; }

    // The note by note id, merged from all heads: a version wins over those it was made from;
    // versions made from the same base on different devices are conflicts, the newest shown.
    static std::map<QString, MergedNote> Merge(const std::vector<NoteHead> &heads);

    static QByteArray ToJson(const NoteHead &head);
    // Nothing, with `error` set, when `json` is no note head.
    static std::optional<NoteHead> FromJson(const QByteArray &json, QString &error);

    // Most replaced versions a head keeps.
    static constexpr int MaxReplaced = 200;

private:
    // Where the head goes, its folder made; empty, with the reason logged and in `error`, for
    // a head naming no device or note, or when the folder cannot be made.
    QString pathOf(const NoteHead &head, QString &error) const;

    QString m_folder;
};

} // namespace TAVRIKCORE::RICHEDITOR
