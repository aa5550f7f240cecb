// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notestore.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

constexpr int SchemaVersion = 1;

QDateTime fromStamp(const QVariant &value)
{
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong());
}

QString previewOf(const QString &plainText)
{
    QString text = plainText.simplified();
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

} // namespace

NoteStore::NoteStore(const QString &databasePath)
    : m_path(databasePath),
      m_connection(u"notestore-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
{ }

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
    const bool ok = exec(u"PRAGMA foreign_keys = ON"_s)
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
        && exec(u"PRAGMA user_version = %1"_s.arg(SchemaVersion));
    if (!ok)
        db.close();
    return ok;
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
    while (query.next())
        result.push_back(noteFromQuery(query));
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
    return noteFromQuery(query);
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
                     u"UPDATE notes SET title = ? WHERE id = ?"_s, {nonNull(trimmed), nonNull(id)});
}

bool NoteStore::setReadOnly(const QString &id, bool readOnly)
{
    return changeOne(tr("Cannot change the note %1").arg(id),
                     u"UPDATE notes SET read_only = ? WHERE id = ?"_s,
                     {readOnly ? 1 : 0, nonNull(id)});
}

bool NoteStore::setModified(const QString &id, const QDateTime &modified)
{
    return changeOne(tr("Cannot change the note %1").arg(id),
                     u"UPDATE notes SET modified = ? WHERE id = ?"_s,
                     {modified.toMSecsSinceEpoch(), nonNull(id)});
}

bool NoteStore::deleteNote(const QString &id, std::vector<QString> *unusedFiles)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
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
    if (unusedFiles)
        *unusedFiles = std::move(unused);
    return true;
}

bool NoteStore::saveNote(const QString &id, const std::vector<NoteFile> &files,
                         const std::map<QString, quint64> &sizes, const QString &plainText)
{
    const QString what = tr("Cannot save the note %1").arg(id);
    if (files.empty() || files.front().fileKind != 0 || files.front().storeName.isEmpty())
        return fail(what, tr("its file list does not start with the note file"));
    if (!note(id))
        return fail(what, tr("there is no such note"));

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

    for (const QString &table : {u"note_files"_s, u"attachment_sizes"_s}) {
        query.prepare(u"DELETE FROM "_s + table + u" WHERE note_id = ?"_s);
        query.addBindValue(nonNull(id));
        if (!query.exec())
            return rollback(query);
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
            return rollback(query);
    }

    query.prepare(u"INSERT INTO attachment_sizes (note_id, store_name, size) VALUES (?, ?, ?)"_s);
    for (const auto &[storeName, size] : sizes) {
        query.addBindValue(nonNull(id));
        query.addBindValue(nonNull(storeName));
        query.addBindValue(qint64(size));
        if (!query.exec())
            return rollback(query);
    }
    if (!db.commit())
        return fail(what, db.lastError().text());
    return true;
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
