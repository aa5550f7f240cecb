// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notefilelist.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::AttachmentFile;

NoteFileList::NoteFileList(const QString &databasePath) : m_path(databasePath) { }

int NoteFileList::GetNoteFileList(const QString &noteId, std::vector<AttachmentFile> &files)
{
    const QString connection = u"notefilelist-"_s + QUuid::createUuid().toString(QUuid::Id128);
    bool known = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(m_path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"_s);
        if (db.open()) {
            QSqlQuery query(db);
            query.prepare(u"SELECT f.orig_name, f.file_kind, f.modify_time, f.file_ext, "
                          "f.store_name, f.file_path, COALESCE(s.size, 0) FROM note_files f "
                          "LEFT JOIN attachment_sizes s ON s.note_id = f.note_id "
                          "AND s.store_name = f.store_name WHERE f.note_id = ? "
                          "ORDER BY f.position"_s);
            query.addBindValue(noteId);
            if (query.exec()) {
                while (query.next()) {
                    AttachmentFile file;
                    file.keptName = query.value(0).toString();
                    file.fileKind = query.value(1).toInt();
                    file.modifyTime = query.value(2).toString();
                    file.fileExt = query.value(3).toString();
                    file.storeName = query.value(4).toString();
                    file.filePath = query.value(5).toString();
                    file.fileSize = int(query.value(6).toLongLong());
                    files.push_back(file);
                    known = true;
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return known ? 1 : 0;
}
