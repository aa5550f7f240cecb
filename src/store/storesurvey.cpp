// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/storesurvey_p.h"

#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "common/syncenginefiles_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmlfileupgrademgr_p.h"
#include "notehtml/notehtmlrw.h"
#include "store/noteheads.h"
#include "store/storecleanup.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

bool isLowerHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
}

void sortByName(std::vector<FolderEntry> &entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry &a, const FolderEntry &b) { return a.name < b.name; });
}

void reference(std::map<QString, StoreSurvey::Reference> &table, const QString &name,
               const QString &note, const QString &noteFile, bool local)
{
    StoreSurvey::Reference &ref = table[name];
    if (ref.notes.empty())
        ref.firstNote = noteFile;
    ref.notes.insert(note);
    ref.local = ref.local || local;
}

// This device's id as the notebook's heads know it; empty when it has none.
QString localDevice()
{
    QFile file(NoteHeads::DeviceIdPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.read(64)).trimmed()
                                          : QString();
}

// A note version to keep, and the head naming it when it comes from the heads.
struct LiveVersion
{
    LiveNote note;
    bool fromHeads = false;
    const NoteHead *head = nullptr; // the head naming it as current
};

class Walker
{
public:
    Walker(StoreSurvey &survey, const QString &canonicalRoot)
        : m_survey(survey), m_canonicalRoot(canonicalRoot)
    { }

    void walkRoot()
    {
        std::vector<FolderEntry> entries;
        if (!listFolder(m_survey.root, entries)) {
            if (errno == ENOENT)
                return;
            add(StoreFindingKind::UnreadableFolder, m_survey.root, qt_error_string(errno));
            return;
        }
        m_survey.rootExists = true;
        sortByName(entries);
        for (FolderEntry &entry : entries) {
            const QString path = m_survey.root + u'/' + entry.name;
            if (isSyncEngineFile(entry.name)
                || (entry.name == u"heads" && entry.type == EntryType::Folder))
                continue; // the engine's own, and the notebook's heads
            if (entry.type == EntryType::File && isContentName(entry.name))
                m_survey.files.push_back(std::move(entry));
            else if (entry.type == EntryType::Folder && !entry.name.startsWith(u'.'))
                walkFolder(std::move(entry), path);
            else
                stray(entry, path);
        }
    }

private:
    void walkFolder(FolderEntry folder, const QString &path)
    {
        StoreSurvey::Folder note{std::move(folder), {}};
        std::vector<FolderEntry> entries;
        if (!listFolder(path, entries)) {
            add(StoreFindingKind::UnreadableFolder, path, qt_error_string(errno));
            return; // its files are unknown: never offered for removal
        }
        sortByName(entries);
        for (FolderEntry &entry : entries) {
            if (isSyncEngineFile(entry.name))
                continue;
            if (entry.type == EntryType::File)
                note.files.push_back(std::move(entry));
            else
                stray(entry, path + u'/' + entry.name);
        }
        m_survey.folders.push_back(std::move(note));
    }

    void stray(const FolderEntry &entry, const QString &path)
    {
        if (entry.type != EntryType::Link) {
            add(StoreFindingKind::StrayName, path,
                entry.type == EntryType::Folder
                    ? QStringLiteral("a folder where the store keeps none")
                    : entry.type == EntryType::Other
                    ? QStringLiteral("not a regular file")
                    : QStringLiteral("not a name the store gives"));
            return;
        }
        const QString target = linkTarget(path);
        if (target.isEmpty())
            add(StoreFindingKind::StrayName, path,
                QStringLiteral("a symbolic link leading nowhere"));
        else if (target != m_canonicalRoot && !target.startsWith(m_canonicalRoot + u'/'))
            add(StoreFindingKind::LinkOutOfStore, path, QStringLiteral("leads to ") + target);
        else
            add(StoreFindingKind::StrayName, path, QStringLiteral("a symbolic link to ") + target);
    }

    void add(StoreFindingKind kind, const QString &path, const QString &detail)
    {
        m_survey.findings.push_back({kind, path, detail});
    }

    StoreSurvey &m_survey;
    QString m_canonicalRoot;
};

} // namespace

bool isContentName(const QString &name)
{
    if (name.size() < 34 || name[32] != u'.')
        return false;
    return std::all_of(name.cbegin(), name.cbegin() + 32, isLowerHex);
}

bool StoreSurvey::keptReferenced(const QString &noteId, const QString &name) const
{
    if (keptAnywhere.count(name))
        return true;
    const auto note = keptRefs.find(noteId);
    return note != keptRefs.end() && note->second.count(name);
}

StoreSurvey StoreSurvey::take(const std::vector<LiveNote> &live)
{
    StoreSurvey survey;
    survey.root = attachRootPath();
    const QString canonicalRoot = QFileInfo(survey.root).canonicalFilePath();
    Walker(survey, canonicalRoot.isEmpty() ? survey.root : canonicalRoot).walkRoot();

    std::vector<LiveVersion> versions;
    for (const LiveNote &note : live)
        versions.push_back({note, false, nullptr});
    const std::vector<NoteHead> heads = NoteHeads(survey.root + u"/heads").readAll();
    const QString device = localDevice();
    const qint64 cutoffMs
        = QDateTime::currentMSecsSinceEpoch() - qint64(StoreCleanup::GracePeriodSeconds) * 1000;
    std::set<QString> localVersions;
    for (const NoteHead &head : heads) {
        const bool current
            = !head.noteFile.isEmpty() && (!head.deleted || head.modifiedMs > cutoffMs);
        if (current) {
            versions.push_back({{head.noteId, head.noteFile}, true, &head});
            (head.device == device ? localVersions : survey.remoteVersions).insert(head.noteFile);
        }
        for (const ReplacedVersion &replaced : head.replaced) {
            if (replaced.replacedMs > cutoffMs && !replaced.noteFile.isEmpty())
                versions.push_back({{head.noteId, replaced.noteFile}, true, nullptr});
        }
    }
    for (const QString &name : localVersions)
        survey.remoteVersions.erase(name);

    std::set<std::pair<QString, QString>> seen;
    std::set<QString> waiting;
    for (const LiveVersion &entry : versions) {
        const LiveNote &note = entry.note;
        const QString path = note.noteFile.contains(u'/')
            ? QFileInfo(note.noteFile).absoluteFilePath()
            : survey.root + u'/' + note.noteFile;
        const QString name = GetFileNameFromPath(path);
        const bool local = !survey.remoteVersions.count(name);
        const QString key = note.noteId.isEmpty() ? path : note.noteId;
        if (!QFileInfo::exists(path) && (entry.fromHeads || !local)) {
            // Saved elsewhere and not here yet, or replaced and already removed: what the
            // head lists stays, the rest is unknown.
            if (!entry.head || local || !waiting.insert(path).second)
                continue;
            survey.findings.push_back({StoreFindingKind::WaitingForSync, path,
                                       QStringLiteral("the current version of the note %1 on "
                                                      "the device %2")
                                           .arg(note.noteId, entry.head->device)});
            for (const NoteHeadFile &file : entry.head->files) {
                const QString fileName = GetFileNameFromPath(file.filePath);
                if (file.fileKind == 0)
                    continue;
                if (file.origName.isEmpty() || file.filePath.isEmpty())
                    reference(survey.rootRefs, file.storeName, key, path, false);
                else
                    reference(survey.keptRefs[note.noteId], fileName, key, path, false);
            }
            continue;
        }
        if (!seen.insert({note.noteId, path}).second)
            continue;
        const QString folder = QFileInfo(path).absolutePath();
        const bool inRoot = folder == survey.root
            || (!canonicalRoot.isEmpty() && QFileInfo(folder).canonicalFilePath() == canonicalRoot);
        if (!inRoot) {
            survey.findings.push_back(
                {StoreFindingKind::LiveNoteOutside, path,
                 QStringLiteral("not in the attachment folder ") + survey.root});
        }
        QString content;
        int version = 0;
        if (!NoteHtmlRW::ReadHtmlTextFromFile(path, content, version)) {
            survey.findings.push_back({StoreFindingKind::UnreadableLiveNote, path,
                                       QStringLiteral("the live note cannot be read")});
            survey.liveComplete = false;
            continue;
        }
        if (!note.noteId.isEmpty())
            survey.liveIds.insert(note.noteId);
        if (inRoot)
            reference(survey.rootRefs, name, key, path, local);
        const int oldVersion = version;
        if (version < NOTE_HTML_VER_2) {
            // Read as the editor reads it when it opens the note.
            HtmlFileUpgradeMgr upgrades;
            upgrades.UpgradeHtml(content, version, NOTE_HTML_VER_2, content);
        }
        std::vector<NewAttachFile> records;
        if (!AttachMarkup::ListAttachments(survey.root, note.noteId, content, records)) {
            survey.findings.push_back({StoreFindingKind::BadNoteFile, path,
                                       QStringLiteral("the note's markup does not parse")});
            survey.liveComplete = false;
            continue;
        }
        for (const NewAttachFile &record : records) {
            const QString recordName = GetFileNameFromPath(record.filePath);
            if (record.origName.isEmpty()) {
                reference(survey.rootRefs, recordName, key, path, local);
                if (record.isImageSrc == 0)
                    survey.attachmentNames.insert(recordName);
            } else if (note.noteId.isEmpty()) {
                reference(survey.keptAnywhere, recordName, key, path, local);
            } else {
                reference(survey.keptRefs[note.noteId], recordName, key, path, local);
            }
            // Old markup named the stored file itself in the root: keep it too.
            if (oldVersion < NOTE_HTML_VER_2 && record.isImageSrc == 0) {
                reference(survey.rootRefs, record.storeName, key, path, local);
                survey.attachmentNames.insert(record.storeName);
            }
        }
    }
    return survey;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
