// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notestore.h"

#include "notewords.h"

#include "common/log4c.h"
#include "store/noteheads.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::MergedNote;
using TAVRIKCORE::RICHEDITOR::NoteHead;
using TAVRIKCORE::RICHEDITOR::NoteHeadFile;
using TAVRIKCORE::RICHEDITOR::NoteHeads;

namespace {

// 2 added the full-text index of the notes.
constexpr int SchemaVersion = 2;

QDateTime fromStamp(const QVariant &value)
{
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong());
}

QString previewOf(const QString &plainText)
{
    // Only the start of a long text is simplified, unless blanks shrink it below the preview.
    QString text = plainText.left(8 * NoteStore::PreviewLength).simplified();
    if (text.size() <= NoteStore::PreviewLength && plainText.size() > 8 * NoteStore::PreviewLength)
        text = plainText.simplified();
    if (text.size() > NoteStore::PreviewLength)
        text = text.left(NoteStore::PreviewLength - 1) + QChar(0x2026);
    return text;
}

NoteInfo noteFromQuery(const QSqlQuery &query)
{
    NoteInfo info;
    info.id = query.value(0).toString();
    info.title = query.value(1).toString();
    info.created = fromStamp(query.value(2));
    info.modified = fromStamp(query.value(3));
    info.readOnly = query.value(4).toBool();
    info.preview = query.value(5).toString();
    return info;
}

// SQLite stores a null QString as NULL; every text column holds text.
QString nonNull(const QString &text)
{
    return text.isNull() ? u""_s : text;
}

const QString noteColumns = u"id, title, created, modified, read_only, preview"_s;

NoteHeadFile headFile(const NoteFile &file)
{
    return {file.origName,  file.fileKind, file.modifyTime, file.fileExt,
            file.storeName, file.filePath, file.isImageSrc};
}

NoteFile noteFile(const NoteHeadFile &file)
{
    return {file.origName,  file.fileKind, file.modifyTime, file.fileExt,
            file.storeName, file.filePath, file.isImageSrc};
}

// Whether `path` names a place inside the attachment store `root`.
bool insideStore(const QString &path, const QString &root)
{
    return QDir::cleanPath(path).startsWith(root + u'/');
}

// A file another device listed, at its place in this device's attachment store `root`; no
// place at all when its path leads out of the store (a damaged or forged head).
NoteFile localFile(const NoteHeadFile &file, const QString &root)
{
    NoteFile local = noteFile(file);
    const qsizetype at = local.filePath.lastIndexOf(u"/attachment/"_s);
    if (at >= 0) {
        const QString mapped = QDir::cleanPath(root + local.filePath.mid(at + 11));
        local.filePath = insideStore(mapped, root) ? mapped : QString();
    }
    return local;
}
// Copies `source` to `target` through a file flushed before it is renamed into place.
bool copyFlushed(const QString &source, const QString &target)
{
    QFile in(source);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            return false;
    }
    return out.commit();
}

std::vector<QString> conflictFiles(const std::vector<NoteHead> &heads)
{
    std::vector<QString> files;
    for (const NoteHead &head : heads)
        files.push_back(head.noteFile);
    return files;
}

} // namespace

NoteStore::NoteStore(const QString &databasePath)
    : m_path(databasePath),
      m_connection(u"notestore-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
{ }

NoteStore::NoteStore(const QString &databasePath, const QString &headsFolder,
                     const QString &deviceId)
    : NoteStore(databasePath)
{
    m_heads = std::make_unique<NoteHeads>(headsFolder);
    m_device = deviceId;
}

NoteStore::~NoteStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

bool NoteStore::fail(const QString &what, const QString &reason) const
{
    m_error = what + u": "_s + reason;
    return false;
}

bool NoteStore::exec(const QString &statement)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(statement))
        return fail(tr("Cannot prepare the notebook"), query.lastError().text());
    return true;
}

bool NoteStore::open()
{
    if (isOpen())
        return true;
    if (!m_heads)
        return openIndex();
    if (!openIndex()) {
        // The index holds nothing the heads do not: a damaged one is made again from them.
        TAVRIKCORE::RICHEDITOR::CLog4C::GetInstance()->WriteLog(
            u"NoteStore: the index %1 cannot be opened (%2); it is rebuilt from the heads"_s.arg(
                m_path, m_error));
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            if (db.isValid())
                db.close();
        }
        for (const QString &suffix : {u""_s, u"-journal"_s, u"-wal"_s, u"-shm"_s})
            QFile::remove(m_path + suffix);
        if (!openIndex())
            return false;
    }
    // The heads hold the notebook and are written durably; the index is made again from them
    // when a crash leaves it behind or damaged, so its writes need not wait for the disk.
    exec(u"PRAGMA synchronous = OFF"_s);
    refreshFromHeads();
    return true;
}

bool NoteStore::openIndex()
{
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_s))
        return fail(tr("Cannot open the notebook"), tr("the Qt SQLite driver is not installed"));
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(tr("Cannot open the notebook"), tr("cannot create the folder %1").arg(folder));

    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    db.setDatabaseName(m_path);
    if (!db.open())
        return fail(tr("Cannot open the notebook %1").arg(m_path), db.lastError().text());

    QSqlQuery version(db);
    if (!version.exec(u"PRAGMA user_version"_s) || !version.next()) {
        db.close();
        return fail(tr("Cannot read the notebook %1").arg(m_path), version.lastError().text());
    }
    const int found = version.value(0).toInt();
    version.finish();
    if (found > SchemaVersion) {
        db.close();
        return fail(tr("Cannot open the notebook %1").arg(m_path),
                    tr("it was written by a newer version (schema %1)").arg(found));
    }
    // The search's worker thread writes the index through a connection of its own: a write
    // waits for the other connection's to end rather than fail.
    const bool ok = exec(u"PRAGMA foreign_keys = ON"_s) && exec(u"PRAGMA busy_timeout = 5000"_s)
        && exec(u"CREATE TABLE IF NOT EXISTS notes ("
                "id TEXT PRIMARY KEY NOT NULL, title TEXT NOT NULL, created INTEGER NOT NULL, "
                "modified INTEGER NOT NULL, read_only INTEGER NOT NULL DEFAULT 0, "
                "preview TEXT NOT NULL DEFAULT '')"_s)
        && exec(u"CREATE TABLE IF NOT EXISTS note_files ("
                "note_id TEXT NOT NULL REFERENCES notes(id) ON DELETE CASCADE, "
                "position INTEGER NOT NULL, orig_name TEXT NOT NULL, file_kind INTEGER NOT NULL, "
                "modify_time TEXT NOT NULL, file_ext TEXT NOT NULL, store_name TEXT NOT NULL, "
                "file_path TEXT NOT NULL, is_image_src INTEGER NOT NULL, "
                "PRIMARY KEY (note_id, position))"_s)
        && exec(u"CREATE TABLE IF NOT EXISTS attachment_sizes ("
                "note_id TEXT NOT NULL REFERENCES notes(id) ON DELETE CASCADE, "
                "store_name TEXT NOT NULL, size INTEGER NOT NULL, "
                "PRIMARY KEY (note_id, store_name))"_s)
        && exec(u"CREATE INDEX IF NOT EXISTS note_files_by_store ON note_files(store_name)"_s)
        // The full-text index: one row per note holding its title and the words of its text
        // (NoteWords::collect), found through note_search. `complete` is 0 while the row lacks
        // the words of the note's last save (notesToIndex()). The triggers keep the index in
        // step with the notes whatever adds, renames or removes them.
        && exec(u"CREATE TABLE IF NOT EXISTS note_search (docid INTEGER PRIMARY KEY, "
                "note_id TEXT NOT NULL UNIQUE, complete INTEGER NOT NULL DEFAULT 1)"_s)
        && exec(u"CREATE VIRTUAL TABLE IF NOT EXISTS note_index USING fts5(title, words, "
                "tokenize = 'unicode61 remove_diacritics 2')"_s)
        && exec(u"CREATE TRIGGER IF NOT EXISTS note_index_add AFTER INSERT ON notes BEGIN "
                "INSERT INTO note_search (note_id) VALUES (new.id); "
                "INSERT INTO note_index (rowid, title, words) VALUES "
                "((SELECT docid FROM note_search WHERE note_id = new.id), new.title, ''); END"_s)
        && exec(u"CREATE TRIGGER IF NOT EXISTS note_index_title AFTER UPDATE OF title ON notes "
                "BEGIN UPDATE note_index SET title = new.title WHERE rowid = "
                "(SELECT docid FROM note_search WHERE note_id = new.id); END"_s)
        && exec(u"CREATE TRIGGER IF NOT EXISTS note_index_drop AFTER DELETE ON notes BEGIN "
                "DELETE FROM note_index WHERE rowid = "
                "(SELECT docid FROM note_search WHERE note_id = old.id); "
                "DELETE FROM note_search WHERE note_id = old.id; END"_s)
        && addMissingIndexEntries() && exec(u"PRAGMA user_version = %1"_s.arg(SchemaVersion));
    if (!ok)
        db.close();
    return ok;
}

bool NoteStore::openForReading()
{
    if (isOpen())
        return true;
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_s))
        return fail(tr("Cannot open the notebook"), tr("the Qt SQLite driver is not installed"));
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(u"QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"_s);
    if (!db.open())
        return fail(tr("Cannot open the notebook %1").arg(m_path), db.lastError().text());
    QSqlQuery version(db);
    if (!version.exec(u"PRAGMA user_version"_s) || !version.next()) {
        const QString reason = version.lastError().text();
        version.finish();
        db.close();
        return fail(tr("Cannot read the notebook %1").arg(m_path), reason);
    }
    const int found = version.value(0).toInt();
    version.finish();
    if (found < 1 || found > SchemaVersion) {
        db.close();
        return fail(tr("Cannot open the notebook %1").arg(m_path),
                    found < 1 ? tr("it holds no notes")
                              : tr("it was written by a newer version (schema %1)").arg(found));
    }
    return true;
}

bool NoteStore::addMissingIndexEntries()
{
    const QString what = tr("Cannot prepare the notebook");
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    std::vector<std::array<QVariant, 3>> missing;
    {
        QSqlQuery query(db);
        if (!query.exec(u"SELECT id, title, preview FROM notes WHERE id NOT IN "
                        "(SELECT note_id FROM note_search)"_s))
            return fail(what, query.lastError().text());
        while (query.next())
            missing.push_back({query.value(0), query.value(1), query.value(2)});
    }
    if (missing.empty())
        return true;
    if (!db.transaction())
        return fail(what, db.lastError().text());
    QSqlQuery entry(db);
    QSqlQuery words(db);
    entry.prepare(u"INSERT INTO note_search (note_id, complete) VALUES (?, 0)"_s);
    words.prepare(u"INSERT INTO note_index (rowid, title, words) VALUES (?, ?, ?)"_s);
    for (const auto &[id, title, preview] : missing) {
        entry.addBindValue(id);
        QSqlQuery *failed = &entry;
        if (entry.exec()) {
            words.addBindValue(entry.lastInsertId());
            words.addBindValue(nonNull(NoteWords::collect(title.toString())));
            words.addBindValue(nonNull(NoteWords::collect(preview.toString())));
            failed = words.exec() ? nullptr : &words;
        }
        if (failed) {
            const QString reason = failed->lastError().text();
            db.rollback();
            return fail(what, reason);
        }
    }
    if (!db.commit())
        return fail(what, db.lastError().text());
    return true;
}

bool NoteStore::isOpen() const
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    return db.isValid() && db.isOpen();
}

QString NoteStore::lastError() const
{
    return m_error;
}

std::vector<NoteInfo> NoteStore::notes() const
{
    std::vector<NoteInfo> result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(u"SELECT "_s + noteColumns
                    + u" FROM notes ORDER BY modified DESC, title COLLATE NOCASE, id"_s)) {
        fail(tr("Cannot list the notes"), query.lastError().text());
        return result;
    }
    while (query.next()) {
        result.push_back(noteFromQuery(query));
        result.back().conflict = !conflicts(result.back().id).empty();
    }
    return result;
}

std::optional<NoteInfo> NoteStore::note(const QString &id) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"SELECT "_s + noteColumns + u" FROM notes WHERE id = ?"_s);
    query.addBindValue(nonNull(id));
    if (!query.exec()) {
        fail(tr("Cannot read the note"), query.lastError().text());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    NoteInfo info = noteFromQuery(query);
    info.conflict = !conflicts(id).empty();
    return info;
}

int NoteStore::noteCount() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(u"SELECT COUNT(*) FROM notes"_s) || !query.next())
        return 0;
    return query.value(0).toInt();
}

bool NoteStore::addNote(const QString &id, const QString &title)
{
    if (id.isEmpty())
        return fail(tr("Cannot add a note"), tr("it has no id"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"INSERT INTO notes (id, title, created, modified) VALUES (?, ?, ?, ?)"_s);
    query.addBindValue(nonNull(id));
    query.addBindValue(nonNull(title.trimmed()));
    query.addBindValue(now);
    query.addBindValue(now);
    if (!query.exec())
        return fail(tr("Cannot add the note %1").arg(id), query.lastError().text());
    return indexTitle(id, title.trimmed()) && recordHead(id);
}

bool NoteStore::addNotes(const std::vector<NewNote> &notes)
{
    for (const NewNote &note : notes) {
        if (note.id.isEmpty())
            return fail(tr("Cannot add a note"), tr("it has no id"));
        if (note.files.empty() || note.files.front().fileKind != 0
            || note.files.front().storeName.isEmpty())
            return fail(tr("Cannot add the note %1").arg(note.id),
                        tr("its file list does not start with the note file"));
    }
    const QString what = tr("Cannot record the new notes");
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return fail(what, db.lastError().text());
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const NewNote &note : notes) {
        if (!insertNote(note, now)) {
            db.rollback();
            return false;
        }
    }
    // The heads are placed before the index commits: a notebook that cannot take them keeps
    // none of the notes, and an index left behind by a crash in between is made again from them.
    std::vector<NoteHead> heads;
    for (size_t i = 0; m_heads && i < notes.size(); ++i) {
        std::optional<NoteHead> head = headOf(notes[i].id, {}, {});
        if (!head) {
            db.rollback();
            return false;
        }
        heads.push_back(std::move(*head));
    }
    QString error;
    if (m_heads && !m_heads->writeNew(heads, error)) {
        db.rollback();
        return fail(what, error);
    }
    if (!db.commit()) {
        const QString reason = db.lastError().text();
        db.rollback();
        return fail(what, reason);
    }
    for (NoteHead &head : heads)
        m_shown[head.noteId] = std::move(head);
    return true;
}

bool NoteStore::insertNote(const NewNote &note, qint64 now)
{
    const QString what = tr("Cannot add the note %1").arg(note.id);
    const QString title = note.title.trimmed();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"INSERT INTO notes (id, title, created, modified, preview) "
                  "VALUES (?, ?, ?, ?, ?)"_s);
    query.addBindValue(nonNull(note.id));
    query.addBindValue(nonNull(title));
    query.addBindValue(note.created.isValid() ? note.created.toMSecsSinceEpoch() : now);
    query.addBindValue(note.modified.isValid() ? note.modified.toMSecsSinceEpoch() : now);
    query.addBindValue(nonNull(previewOf(note.plainText)));
    if (!query.exec())
        return fail(what, query.lastError().text());
    if (!indexTitle(note.id, title))
        return false;
    QString reason;
    if (!writeWords(note.id, note.plainText, false, reason)
        || !storeFiles(note.id, note.files, note.sizes, reason))
        return fail(what, reason);
    return true;
}

bool NoteStore::indexTitle(const QString &id, const QString &title)
{
    // The triggers index the title as it is; its words as NoteWords gives them also find a
    // part of a Chinese or Japanese title.
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"UPDATE note_index SET title = ? WHERE rowid = "
                  "(SELECT docid FROM note_search WHERE note_id = ?)"_s);
    query.addBindValue(nonNull(NoteWords::collect(title)));
    query.addBindValue(nonNull(id));
    if (!query.exec())
        return fail(tr("Cannot index the note %1").arg(id), query.lastError().text());
    return true;
}

bool NoteStore::changeOne(const QString &what, const QString &statement, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return fail(what, query.lastError().text());
    if (query.numRowsAffected() != 1)
        return fail(what, tr("there is no such note"));
    return true;
}

bool NoteStore::renameNote(const QString &id, const QString &title)
{
    const QString trimmed = title.trimmed();
    if (trimmed.isEmpty())
        return fail(tr("Cannot rename the note"), tr("the title is empty"));
    return changeOne(tr("Cannot rename the note %1").arg(id),
                     u"UPDATE notes SET title = ? WHERE id = ?"_s, {nonNull(trimmed), nonNull(id)})
        && indexTitle(id, trimmed) && recordHead(id);
}

bool NoteStore::setReadOnly(const QString &id, bool readOnly)
{
    return changeOne(tr("Cannot change the note %1").arg(id),
                     u"UPDATE notes SET read_only = ? WHERE id = ?"_s,
                     {readOnly ? 1 : 0, nonNull(id)})
        && recordHead(id);
}

bool NoteStore::setModified(const QString &id, const QDateTime &modified)
{
    return changeOne(tr("Cannot change the note %1").arg(id),
                     u"UPDATE notes SET modified = ? WHERE id = ?"_s,
                     {modified.toMSecsSinceEpoch(), nonNull(id)})
        && recordHead(id);
}

bool NoteStore::deleteNote(const QString &id, std::vector<QString> *unusedFiles)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const std::optional<NoteInfo> gone = note(id);
    std::vector<QString> unused;
    {
        QSqlQuery query(db);
        query.prepare(u"SELECT DISTINCT f.file_path FROM note_files f WHERE f.note_id = ? "
                      "AND NOT EXISTS (SELECT 1 FROM note_files o WHERE o.note_id <> f.note_id "
                      "AND o.store_name = f.store_name) ORDER BY f.position"_s);
        query.addBindValue(nonNull(id));
        if (!query.exec())
            return fail(tr("Cannot delete the note %1").arg(id), query.lastError().text());
        while (query.next())
            unused.push_back(query.value(0).toString());
    }
    if (!changeOne(tr("Cannot delete the note %1").arg(id), u"DELETE FROM notes WHERE id = ?"_s,
                   {nonNull(id)}))
        return false;
    if (m_heads)
        unused.clear();
    if (unusedFiles)
        *unusedFiles = std::move(unused);
    if (m_heads)
        return recordHead(id, {}, gone);
    return true;
}

bool NoteStore::saveNote(const QString &id, const std::vector<NoteFile> &files,
                         const std::map<QString, quint64> &sizes, const QString &plainText,
                         bool indexText)
{
    const QString what = tr("Cannot save the note %1").arg(id);
    if (files.empty() || files.front().fileKind != 0 || files.front().storeName.isEmpty())
        return fail(what, tr("its file list does not start with the note file"));
    if (!note(id))
        return fail(what, tr("there is no such note"));
    const std::vector<QString> shown = noteFileNames(id);

    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return fail(what, db.lastError().text());
    auto rollback = [&](const QSqlQuery &query) {
        const QString reason = query.lastError().text();
        db.rollback();
        return fail(what, reason);
    };

    QSqlQuery query(db);
    query.prepare(u"UPDATE notes SET modified = ?, preview = ? WHERE id = ?"_s);
    query.addBindValue(QDateTime::currentMSecsSinceEpoch());
    query.addBindValue(nonNull(previewOf(plainText)));
    query.addBindValue(nonNull(id));
    if (!query.exec())
        return rollback(query);

    QString reason;
    if (!(indexText ? writeWords(id, plainText, false, reason) : markUnindexed(id, reason))) {
        db.rollback();
        return fail(what, reason);
    }

    if (!storeFiles(id, files, sizes, reason)) {
        db.rollback();
        return fail(what, reason);
    }
    if (!db.commit())
        return fail(what, db.lastError().text());
    return recordHead(id, shown.empty() ? QString() : shown.front());
}

bool NoteStore::storeFiles(const QString &id, const std::vector<NoteFile> &files,
                           const std::map<QString, quint64> &sizes, QString &reason)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    auto failed = [&] {
        reason = query.lastError().text();
        return false;
    };
    for (const QString &table : {u"note_files"_s, u"attachment_sizes"_s}) {
        query.prepare(u"DELETE FROM "_s + table + u" WHERE note_id = ?"_s);
        query.addBindValue(nonNull(id));
        if (!query.exec())
            return failed();
    }

    query.prepare(
        u"INSERT INTO note_files (note_id, position, orig_name, file_kind, modify_time, "
        "file_ext, store_name, file_path, is_image_src) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    int position = 0;
    for (const NoteFile &file : files) {
        query.addBindValue(nonNull(id));
        query.addBindValue(position++);
        query.addBindValue(nonNull(file.origName));
        query.addBindValue(file.fileKind);
        query.addBindValue(nonNull(file.modifyTime));
        query.addBindValue(nonNull(file.fileExt));
        query.addBindValue(nonNull(file.storeName));
        query.addBindValue(nonNull(file.filePath));
        query.addBindValue(file.isImageSrc);
        if (!query.exec())
            return failed();
    }

    query.prepare(u"INSERT INTO attachment_sizes (note_id, store_name, size) VALUES (?, ?, ?)"_s);
    for (const auto &[storeName, size] : sizes) {
        query.addBindValue(nonNull(id));
        query.addBindValue(nonNull(storeName));
        query.addBindValue(qint64(size));
        if (!query.exec())
            return failed();
    }
    return true;
}

std::vector<NoteInfo> NoteStore::search(const QString &userText, int limit) const
{
    std::vector<NoteInfo> result;
    m_error.clear();
    const QString expression = NoteWords::matchExpression(userText);
    if (expression.isEmpty())
        return result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"SELECT n.id, n.title, n.created, n.modified, n.read_only, n.preview "
                  "FROM note_index JOIN note_search s ON s.docid = note_index.rowid "
                  "JOIN notes n ON n.id = s.note_id WHERE note_index MATCH ? "
                  "ORDER BY bm25(note_index, %1, 1.0), n.modified DESC LIMIT ?"_s.arg(TitleWeight));
    query.addBindValue(expression);
    query.addBindValue(limit);
    if (!query.exec()) {
        fail(tr("Cannot search the notes"), query.lastError().text());
        return result;
    }
    while (query.next()) {
        result.push_back(noteFromQuery(query));
        result.back().conflict = !conflicts(result.back().id).empty();
    }
    return result;
}

QString NoteStore::matchedWord(const QString &id, const QString &userText) const
{
    const QString expression = NoteWords::matchExpression(userText);
    if (expression.isEmpty())
        return {};
    // The index marks each matched word between U+0001 and U+0002.
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"SELECT highlight(note_index, 1, char(1), char(2)), "
                  "highlight(note_index, 0, char(1), char(2)) FROM note_index "
                  "WHERE note_index MATCH ? AND rowid = "
                  "(SELECT docid FROM note_search WHERE note_id = ?)"_s);
    query.addBindValue(expression);
    query.addBindValue(nonNull(id));
    if (!query.exec() || !query.next())
        return {};
    for (int column = 0; column < 2; ++column) {
        const QString marked = query.value(column).toString();
        const qsizetype start = marked.indexOf(QChar(1));
        const qsizetype end = marked.indexOf(QChar(2), start + 1);
        if (start >= 0 && end > start)
            return marked.mid(start + 1, end - start - 1);
    }
    return {};
}

std::vector<QString> NoteStore::notesToIndex() const
{
    std::vector<QString> ids;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(u"SELECT note_id FROM note_search WHERE complete = 0 ORDER BY docid"_s)) {
        fail(tr("Cannot read the search index"), query.lastError().text());
        return ids;
    }
    while (query.next())
        ids.push_back(query.value(0).toString());
    return ids;
}

bool NoteStore::indexNoteText(const QString &id, const QString &plainText, bool onlyUnindexed)
{
    const QString what = tr("Cannot index the note %1").arg(id);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return fail(what, db.lastError().text());
    QString reason;
    if (!writeWords(id, plainText, onlyUnindexed, reason)) {
        db.rollback();
        return fail(what, reason);
    }
    if (!db.commit())
        return fail(what, db.lastError().text());
    return true;
}

bool NoteStore::writeWords(const QString &id, const QString &plainText, bool onlyUnindexed,
                           QString &reason)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"UPDATE note_index SET words = ? WHERE rowid = (SELECT docid FROM note_search "
                  "WHERE note_id = ? AND complete <= ?)"_s);
    query.addBindValue(nonNull(NoteWords::collect(plainText)));
    query.addBindValue(nonNull(id));
    query.addBindValue(onlyUnindexed ? 0 : 1);
    bool ok = query.exec();
    if (ok) {
        query.prepare(u"UPDATE note_search SET complete = 1 WHERE note_id = ?"_s);
        query.addBindValue(nonNull(id));
        ok = query.exec();
    }
    if (!ok)
        reason = query.lastError().text();
    return ok;
}

bool NoteStore::markUnindexed(const QString &id, QString &reason)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"UPDATE note_search SET complete = 0 WHERE note_id = ?"_s);
    query.addBindValue(nonNull(id));
    if (query.exec())
        return true;
    reason = query.lastError().text();
    return false;
}

std::vector<NoteFile> NoteStore::files(const QString &id) const
{
    std::vector<NoteFile> result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"SELECT orig_name, file_kind, modify_time, file_ext, store_name, file_path, "
                  "is_image_src FROM note_files WHERE note_id = ? ORDER BY position"_s);
    query.addBindValue(nonNull(id));
    if (!query.exec()) {
        fail(tr("Cannot read the files of the note %1").arg(id), query.lastError().text());
        return result;
    }
    while (query.next()) {
        NoteFile file;
        file.origName = query.value(0).toString();
        file.fileKind = query.value(1).toInt();
        file.modifyTime = query.value(2).toString();
        file.fileExt = query.value(3).toString();
        file.storeName = query.value(4).toString();
        file.filePath = query.value(5).toString();
        file.isImageSrc = query.value(6).toInt();
        result.push_back(file);
    }
    return result;
}

std::vector<QString> NoteStore::noteFileNames(const QString &id) const
{
    std::vector<QString> names;
    for (const NoteFile &file : files(id)) {
        if (file.fileKind == 0)
            names.push_back(file.storeName);
    }
    return names;
}

std::map<QString, quint64> NoteStore::attachmentSizes(const QString &id) const
{
    std::map<QString, quint64> sizes;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"SELECT store_name, size FROM attachment_sizes WHERE note_id = ?"_s);
    query.addBindValue(nonNull(id));
    if (!query.exec()) {
        fail(tr("Cannot read the attachment sizes of the note %1").arg(id),
             query.lastError().text());
        return sizes;
    }
    while (query.next())
        sizes[query.value(0).toString()] = quint64(query.value(1).toLongLong());
    return sizes;
}

bool NoteStore::recordHead(const QString &id, const QString &previousFile,
                           const std::optional<NoteInfo> &gone)
{
    if (!m_heads)
        return true;
    const std::optional<NoteHead> head = headOf(id, previousFile, gone);
    if (!head)
        return false;
    QString error;
    if (!m_heads->write(*head, error))
        return fail(tr("Cannot record the note %1").arg(id), error);
    if (gone)
        m_shown.erase(id);
    else
        m_shown[id] = *head;
    return true;
}

std::optional<NoteHead> NoteStore::headOf(const QString &id, const QString &previousFile,
                                          const std::optional<NoteInfo> &gone)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const std::optional<NoteHead> mine = m_heads->read(m_device, id);
    const auto shown = m_shown.find(id);
    NoteHead head;
    head.noteId = id;
    head.device = m_device;
    head.changedMs = now;
    if (mine)
        head.replaced = mine->replaced;
    if (shown != m_shown.end()) {
        head.base = shown->second.base;
        head.noteFile = shown->second.noteFile;
    }
    if (gone) {
        head.title = gone->title;
        head.createdMs = gone->created.toMSecsSinceEpoch();
        head.modifiedMs = now;
        head.readOnly = gone->readOnly;
        head.deleted = true;
        if (shown != m_shown.end())
            head.files = shown->second.files;
    } else {
        const std::optional<NoteInfo> info = note(id);
        if (!info) {
            fail(tr("Cannot record the note %1").arg(id), tr("there is no such note"));
            return std::nullopt;
        }
        head.title = info->title;
        head.createdMs = info->created.toMSecsSinceEpoch();
        head.modifiedMs = info->modified.toMSecsSinceEpoch();
        head.readOnly = info->readOnly;
        head.preview = info->preview;
        for (const NoteFile &file : files(id))
            head.files.push_back(headFile(file));
        head.sizes = attachmentSizes(id);
        if (!head.files.empty())
            head.noteFile = head.files.front().storeName;
        if (!previousFile.isEmpty() && previousFile != head.noteFile) {
            head.base = previousFile;
            head.replaced.push_back({previousFile, now});
        }
    }
    // A version of this device's that others have since replaced is an ancestor too.
    if (mine && !mine->noteFile.isEmpty() && mine->noteFile != head.noteFile
        && mine->noteFile != previousFile)
        head.replaced.push_back({mine->noteFile, now});
    return head;
}

std::vector<QString> NoteStore::refreshFromHeads()
{
    std::vector<QString> changed;
    if (!m_heads)
        return changed;
    const std::map<QString, MergedNote> merged = NoteHeads::Merge(m_heads->readAll());
    for (const NoteInfo &info : notes()) {
        if (!merged.count(info.id))
            recordHead(info.id); // a note from before the heads, or whose heads were lost
    }
    for (const auto &[id, note] : merged) {
        if (id == m_held)
            continue;
        bool noteChanged = false;
        if (!applyMerged(note, noteChanged))
            TAVRIKCORE::RICHEDITOR::CLog4C::GetInstance()->WriteLog(u"NoteStore: "_s + m_error);
        const std::vector<QString> before = conflictFiles(m_conflicts[id]);
        m_conflicts[id] = note.deleted ? std::vector<NoteHead>() : note.conflicts;
        if (noteChanged || before != conflictFiles(m_conflicts[id]))
            changed.push_back(id);
    }
    return changed;
}

bool NoteStore::applyMerged(const MergedNote &merged, bool &changed)
{
    const NoteHead &head = merged.current;
    const QString &id = head.noteId;
    const std::optional<NoteInfo> existing = note(id);
    if (merged.deleted) {
        m_shown.erase(id);
        if (!existing)
            return true;
        changed = true;
        return changeOne(tr("Cannot delete the note %1").arg(id),
                         u"DELETE FROM notes WHERE id = ?"_s, {nonNull(id)});
    }
    const std::vector<QString> names = existing ? noteFileNames(id) : std::vector<QString>();
    const bool newVersion
        = names.empty() ? !head.noteFile.isEmpty() : names.front() != head.noteFile;
    // A version whose note file the sync engine has not brought yet waits for it.
    if (newVersion
        && !QFileInfo::exists(QFileInfo(m_heads->folder()).path() + u'/' + head.noteFile))
        return true;
    m_shown[id] = head;
    const bool sameInfo = existing && existing->title == head.title
        && existing->readOnly == head.readOnly
        && existing->modified.toMSecsSinceEpoch() == head.modifiedMs;
    if (sameInfo && !newVersion)
        return true;
    changed = true;

    const QString what = tr("Cannot take the note %1 from the heads").arg(id);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return fail(what, db.lastError().text());
    QSqlQuery query(db);
    if (existing) {
        query.prepare(u"UPDATE notes SET title = ?, created = ?, modified = ?, read_only = ?, "
                      "preview = ? WHERE id = ?"_s);
    } else {
        query.prepare(u"INSERT INTO notes (title, created, modified, read_only, preview, id) "
                      "VALUES (?, ?, ?, ?, ?, ?)"_s);
    }
    query.addBindValue(nonNull(head.title));
    query.addBindValue(head.createdMs);
    query.addBindValue(head.modifiedMs);
    query.addBindValue(head.readOnly ? 1 : 0);
    query.addBindValue(nonNull(head.preview));
    query.addBindValue(nonNull(id));
    QString reason;
    bool ok = query.exec();
    if (!ok)
        reason = query.lastError().text();
    if (ok && newVersion) {
        std::vector<NoteFile> list;
        for (const NoteHeadFile &file : head.files)
            list.push_back(localFile(file, QFileInfo(m_heads->folder()).path()));
        // The words of the new version are read from its note file by the search.
        ok = storeFiles(id, list, head.sizes, reason) && markUnindexed(id, reason);
    }
    if (!ok) {
        db.rollback();
        return fail(what, reason);
    }
    if (!db.commit())
        return fail(what, db.lastError().text());
    return indexTitle(id, head.title);
}

std::vector<NoteHead> NoteStore::conflicts(const QString &id) const
{
    const auto found = m_conflicts.find(id);
    return found == m_conflicts.end() ? std::vector<NoteHead>() : found->second;
}

bool NoteStore::takeConflict(const QString &id, const QString &noteFile, const QString &newId,
                             const QString &title)
{
    const QString what = tr("Cannot open the other version of the note %1").arg(id);
    std::vector<NoteHead> &others = m_conflicts[id];
    const auto other = std::find_if(others.begin(), others.end(),
                                    [&](const NoteHead &h) { return h.noteFile == noteFile; });
    if (other == others.end())
        return fail(what, tr("there is no such version"));
    // The version's kept copies (files with their own names, in the note's folder) are the
    // new note's own: copied into its folder before the note exists.
    const QString root = QFileInfo(m_heads->folder()).path();
    const QString folder = root + u'/' + newId;
    std::vector<NoteFile> list;
    for (const NoteHeadFile &file : other->files) {
        NoteFile local = localFile(file, root);
        if (!file.origName.isEmpty()) {
            // Only a file of this store is copied, whatever path the other device wrote.
            const QString target = folder + u'/' + QFileInfo(local.filePath).fileName();
            if (!insideStore(local.filePath, root) || !QDir().mkpath(folder)
                || !copyFlushed(local.filePath, target)) {
                QDir(folder).removeRecursively();
                return fail(what,
                            tr("the file %1 of that version cannot be copied; it may not "
                               "have arrived yet")
                                .arg(local.filePath.isEmpty() ? file.filePath : local.filePath));
            }
            local.filePath = target;
        }
        list.push_back(local);
    }
    const NoteHead taken = *other;
    if (!addNote(newId, title))
        return false;
    if (!list.empty() && !saveNote(newId, list, taken.sizes, taken.preview, false))
        return false;
    // Settled: this device's head now descends from the version taken out.
    const std::optional<NoteHead> mine = m_heads->read(m_device, id);
    NoteHead head = m_shown[id];
    head.device = m_device;
    head.changedMs = QDateTime::currentMSecsSinceEpoch();
    head.replaced = mine ? mine->replaced : std::vector<TAVRIKCORE::RICHEDITOR::ReplacedVersion>();
    head.replaced.push_back({noteFile, QDateTime::currentMSecsSinceEpoch()});
    QString error;
    if (!m_heads->write(head, error))
        return fail(what, error);
    others.erase(std::find_if(others.begin(), others.end(),
                              [&](const NoteHead &h) { return h.noteFile == noteFile; }));
    return true;
}
