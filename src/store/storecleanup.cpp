// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/storecleanup.h"

#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "common/writelog_p.h"
#include "store/storesurvey_p.h"

#include <QFile>
#include <QLockFile>

#include <algorithm>
#include <cerrno>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::EntryType;
using Internal::FolderEntry;
using Internal::StoreSurvey;

namespace {

// A thumbnail card: a BMP 48 pixels high at 16 bits a pixel.
bool isThumbnailCard(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(30);
    auto number = [&](int at, int size) {
        qint64 value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value * 256 + uchar(head[at + i]);
        return value;
    };
    return head.size() == 30 && head.startsWith("BM") && number(22, 4) == 48 && number(28, 2) == 16;
}

StoreItemKind kindOfRootFile(const QString &name, const QString &path)
{
    const QString extension = name.mid(33);
    if (extension == u"html")
        return StoreItemKind::NoteFile;
    if (extension == u"tmp")
        return StoreItemKind::TemporaryFile;
    if (extension == u"bmp" && isThumbnailCard(path))
        return StoreItemKind::Thumbnail;
    return StoreItemKind::StoreFile;
}

QDateTime timeOf(const FolderEntry &entry)
{
    return QDateTime::fromMSecsSinceEpoch(entry.modifiedMs, Qt::UTC);
}

class Planner
{
public:
    explicit Planner(const StoreSurvey &survey)
        : m_survey(survey), m_cutoffMs(QDateTime::currentMSecsSinceEpoch()
                                       - qint64(StoreCleanup::GracePeriodSeconds) * 1000)
    { }

    StoreCleanup::Result plan()
    {
        for (const StoreFinding &finding : m_survey.findings) {
            if (finding.kind == StoreFindingKind::UnreadableLiveNote
                || finding.kind == StoreFindingKind::BadNoteFile
                || finding.kind == StoreFindingKind::LiveNoteOutside)
                m_result.problems.push_back(finding);
        }
        for (const FolderEntry &file : m_survey.files) {
            if (!m_survey.rootRefs.count(file.name)) {
                const QString path = m_survey.pathOf(file);
                offer(kindOfRootFile(file.name, path), path, file);
            }
        }
        std::vector<StoreItem> folders;
        for (const StoreSurvey::Folder &folder : m_survey.folders) {
            const QString &noteId = folder.entry.name;
            bool emptied = true;
            for (const FolderEntry &file : folder.files) {
                if (m_survey.keptReferenced(noteId, file.name))
                    emptied = false;
                else
                    emptied = offer(StoreItemKind::KeptCopy, m_survey.pathOf(folder, file), file)
                        && emptied;
            }
            if (emptied && !m_survey.liveIds.count(noteId)) {
                if (folder.entry.modifiedMs > m_cutoffMs)
                    ++m_result.heldBack;
                else
                    folders.push_back({StoreItemKind::NoteFolder, m_survey.root + u'/' + noteId, 0,
                                       timeOf(folder.entry)});
            }
        }
        std::stable_sort(
            m_result.items.begin(), m_result.items.end(),
            [](const StoreItem &a, const StoreItem &b) { return a.modified < b.modified; });
        m_result.items.insert(m_result.items.end(), folders.begin(), folders.end());
        return std::move(m_result);
    }

private:
    // Lists one unreferenced file; false when it is too young to go.
    bool offer(StoreItemKind kind, const QString &path, const FolderEntry &file)
    {
        if (file.modifiedMs > m_cutoffMs) {
            ++m_result.heldBack;
            m_result.heldBackBytes += file.size;
            return false;
        }
        m_result.items.push_back({kind, path, file.size, timeOf(file)});
        m_result.bytes += file.size;
        return true;
    }

    const StoreSurvey &m_survey;
    const qint64 m_cutoffMs;
    StoreCleanup::Result m_result;
};

QString lockedText(QLockFile &lock)
{
    qint64 pid = 0;
    QString host, application;
    if (lock.getLockInfo(&pid, &host, &application)) {
        return QStringLiteral("Another clean-up of the attachment store is running "
                              "(process %1 on %2); nothing was removed.")
            .arg(pid)
            .arg(host);
    }
    return QStringLiteral("Another clean-up of the attachment store is running; nothing was "
                          "removed.");
}

// Removes one listed item when it is still what was listed.
bool removeItem(const StoreItem &item, qint64 cutoffMs)
{
    FolderEntry now;
    const EntryType type
        = item.kind == StoreItemKind::NoteFolder ? EntryType::Folder : EntryType::File;
    if (!Internal::entryAt(item.path, now)) {
        Internal::writeLog(QStringLiteral("[WARN] StoreCleanup: gone before its removal: ")
                           + item.path);
        return false;
    }
    // A folder's time changes as its files go; rmdir refuses it when a file came meanwhile.
    if (now.type != type
        || (type == EntryType::File
            && (now.modifiedMs > cutoffMs
                || now.modifiedMs != item.modified.toMSecsSinceEpoch()))) {
        Internal::writeLog(QStringLiteral("[WARN] StoreCleanup: changed since it was listed, "
                                          "kept: ")
                           + item.path);
        return false;
    }
    if (!Internal::removeEntry(item.path, type)) {
        Internal::writeLog(QStringLiteral("[ERROR] StoreCleanup cannot remove %1: %2")
                               .arg(item.path, qt_error_string(errno)));
        return false;
    }
    Internal::writeLog(QStringLiteral("[INFO] StoreCleanup removed %1 %2 (%3 bytes, modified %4)")
                           .arg(StoreItemKindName(item.kind), item.path)
                           .arg(item.size)
                           .arg(item.modified.toString(Qt::ISODate)));
    return true;
}

} // namespace

StoreCleanup::Result StoreCleanup::List(const std::vector<LiveNote> &live)
{
    return Planner(StoreSurvey::take(live)).plan();
}

StoreCleanup::Result StoreCleanup::Remove(const std::vector<LiveNote> &live,
                                          const StoreProgress &progress)
{
    if (!IsFileExist(Internal::attachRootPath()))
        return List(live);
    QLockFile lock(LockFilePath());
    lock.setStaleLockTime(0); // a lock is stale only when its process is gone
    if (!lock.tryLock(0)) {
        Result refused;
        refused.error = lock.error() == QLockFile::LockFailedError
            ? lockedText(lock)
            : QStringLiteral("Cannot create the clean-up lock %1; nothing was removed.")
                  .arg(LockFilePath());
        Internal::writeLog(QStringLiteral("[ERROR] StoreCleanup: ") + refused.error);
        return refused;
    }

    Result listed = List(live);
    for (const StoreFinding &problem : listed.problems) {
        if (problem.kind != StoreFindingKind::LiveNoteOutside) {
            listed.error = QStringLiteral("A live note cannot be read, so what it references is "
                                          "unknown; nothing was removed: ")
                + problem.path;
            Internal::writeLog(QStringLiteral("[ERROR] StoreCleanup: ") + listed.error);
            Result refused;
            refused.error = listed.error;
            refused.problems = listed.problems;
            return refused;
        }
    }
    const qint64 cutoffMs = QDateTime::currentMSecsSinceEpoch() - qint64(GracePeriodSeconds) * 1000;
    Result done;
    done.heldBack = listed.heldBack;
    done.heldBackBytes = listed.heldBackBytes;
    done.problems = listed.problems;
    const qint64 total = qint64(listed.items.size());
    qint64 count = 0;
    for (const StoreItem &item : listed.items) {
        if (removeItem(item, cutoffMs)) {
            done.items.push_back(item);
            done.bytes += item.size;
        } else {
            done.failed.push_back(item);
        }
        if (progress)
            progress(++count, total);
    }
    return done;
}

QString StoreCleanup::LockFilePath()
{
    return Internal::attachRootPath() + QStringLiteral(".cleanup.lock");
}

QString StoreItemKindName(StoreItemKind kind)
{
    switch (kind) {
    case StoreItemKind::StoreFile:
        return QStringLiteral("store-file");
    case StoreItemKind::NoteFile:
        return QStringLiteral("note-file");
    case StoreItemKind::Thumbnail:
        return QStringLiteral("thumbnail");
    case StoreItemKind::KeptCopy:
        return QStringLiteral("kept-copy");
    case StoreItemKind::NoteFolder:
        return QStringLiteral("note-folder");
    case StoreItemKind::TemporaryFile:
        return QStringLiteral("temporary-file");
    }
    return QString();
}

} // namespace TAVRIKCORE::RICHEDITOR
