// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "session/notesession_p.h"

#include "common/log4c.h"
#include "common/textutils.h"
#include "notehtml/attachmarkup_p.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

void NoteSession::addSizes(const std::map<QString, quint64> &sizes)
{
    m_sizes.insert(sizes.begin(), sizes.end());
}

void NoteSession::recordTime(const QString &storeName, const QString &keptName, const QString &time)
{
    m_times[storeName + keptName] = time;
}

void NoteSession::recordStored(const QString &name, const QString &keptName, quint64 size)
{
    if (name.isEmpty() || m_sizes.count(name))
        return;
    m_sizes[name] = size;
    recordTime(name, keptName, GetCurTimeString());
}

void NoteSession::recordReplaced(const QString &storeName, const QString &keptName, quint64 size,
                                 const QString &showName, quint64 showSize, const QString &now)
{
    recordTime(storeName, keptName, now);
    recordTime(showName, QString(), now);
    // The size check of later additions needs a size for every file the page names.
    addSizes({{storeName, size}, {showName, showSize}});
}

void NoteSession::clearFiles()
{
    m_sizes.clear();
    m_times.clear();
}

std::optional<NoteSession::Attachments> NoteSession::attachmentsIn(const QString &html) const
{
    Attachments found;
    if (html.trimmed().isEmpty())
        return found;
    std::vector<NewAttachFile> records;
    if (!AttachMarkup::ParseAttList(m_noteId, html, records))
        return std::nullopt;
    for (const NewAttachFile &record : records) {
        const auto size = m_sizes.find(record.storeName);
        const qint32 bytes = size == m_sizes.end() ? 0 : qint32(quint32(size->second));
        if (bytes < 1) {
            CLog4C::GetInstance()->WriteLog(u"[ERROR] 查询" + record.origName + u"附件大小失败！");
            return std::nullopt;
        }
        found.total += quint64(bytes - 1);
    }
    AttachMarkup::ParseAttOrigFileNameList(html, found.keptNames);
    return found;
}

std::vector<NewAttachFile> NoteSession::savedFiles(const QString &noteId, const QString &html,
                                                   const NewAttachFile &noteFile) const
{
    return savedFiles(noteId, html, noteFile, m_times);
}

std::vector<NewAttachFile> NoteSession::savedFiles(const QString &noteId, const QString &html,
                                                   const NewAttachFile &noteFile,
                                                   const std::map<QString, QString> &times)
{
    std::vector<NewAttachFile> files;
    AttachMarkup::ParseAttList(noteId, html, files);
    files.insert(files.begin(), noteFile);
    stampTimes(files, times);
    return files;
}

void NoteSession::stampTimes(std::vector<NewAttachFile> &files,
                             const std::map<QString, QString> &times)
{
    QString now; // one moment for every file of this save, read at most once
    for (NewAttachFile &file : files) {
        const auto found = times.find(file.storeName + file.origName);
        if (found != times.end()) {
            file.modifyTime = found->second;
            continue;
        }
        if (now.isEmpty())
            now = GetCurTimeString();
        file.modifyTime = now;
    }
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
