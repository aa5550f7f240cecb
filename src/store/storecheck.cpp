// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/storecheck.h"

#include "common/commonutils.h"
#include "notehtml/notehtmlrw.h"
#include "store/storesurvey_p.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::FolderEntry;
using Internal::StoreSurvey;

namespace {

// Bytes a note file's version header fits in.
constexpr qint64 HeaderBytes = 64;

// The findings of one content-named file.
std::vector<StoreFinding> checkFile(const StoreSurvey &survey, const FolderEntry &file)
{
    const QString path = survey.pathOf(file);
    const QString hash = CalcFileMd5(path);
    if (hash.isEmpty()) {
        return {{StoreFindingKind::UnreadableFile, path,
                 IsFileExist(path) ? QStringLiteral("cannot be read")
                                   : QStringLiteral("vanished while it was checked")}};
    }
    const QString extension = file.name.mid(33);
    std::vector<StoreFinding> findings;
    if (hash != file.name.left(32) && extension != u"tmp") // a .tmp may be a file in the making
        findings.push_back(
            {StoreFindingKind::DamagedFile, path, QStringLiteral("its bytes hash to ") + hash});
    if (extension == u"html" && !survey.attachmentNames.count(file.name)) {
        QString head;
        int version = 0;
        if (!NoteHtmlRW::ReadHtmlTextFromFile(path, head, version, HeaderBytes)) {
            findings.push_back({StoreFindingKind::UnreadableFile, path,
                                QStringLiteral("vanished while it was checked")});
        } else if (version < NOTE_HTML_VER_1 || version > NOTE_HTML_VER_2) {
            findings.push_back({StoreFindingKind::BadNoteFile, path,
                                version == 0 ? QStringLiteral("no version header")
                                             : QStringLiteral("unknown version %1").arg(version)});
        }
    }
    return findings;
}

void addMissing(std::vector<StoreFinding> &findings, const QString &path,
                const StoreSurvey::Reference &ref)
{
    // What only versions saved on other devices need is on its way, not lost.
    findings.push_back(
        {ref.local ? StoreFindingKind::MissingFile : StoreFindingKind::WaitingForSync, path,
         QStringLiteral("referenced by ") + ref.firstNote});
}

// The references of live notes that name nothing on disk.
void findMissing(const StoreSurvey &survey, std::vector<StoreFinding> &findings)
{
    std::set<QString> rootNames;
    for (const FolderEntry &file : survey.files)
        rootNames.insert(file.name);
    for (const auto &[name, ref] : survey.rootRefs) {
        if (!rootNames.count(name))
            addMissing(findings, survey.root + u'/' + name, ref);
    }
    std::map<QString, std::set<QString>> folderFiles;
    for (const StoreSurvey::Folder &folder : survey.folders) {
        std::set<QString> &names = folderFiles[folder.entry.name];
        for (const FolderEntry &file : folder.files)
            names.insert(file.name);
    }
    for (const auto &[noteId, kept] : survey.keptRefs) {
        const auto folder = folderFiles.find(noteId);
        for (const auto &[name, ref] : kept) {
            if (folder == folderFiles.end() || !folder->second.count(name))
                addMissing(findings, survey.root + u'/' + noteId + u'/' + name, ref);
        }
    }
    for (const auto &entry : survey.keptAnywhere) {
        const QString &name = entry.first;
        const bool found
            = std::any_of(folderFiles.cbegin(), folderFiles.cend(),
                          [&](const auto &folder) { return folder.second.count(name) > 0; });
        if (!found)
            addMissing(findings, survey.root + QStringLiteral("/*/") + name, entry.second);
    }
}

} // namespace

std::vector<StoreFinding> StoreCheck::Run(const std::vector<LiveNote> &live,
                                          const StoreProgress &progress, int threads)
{
    const StoreSurvey survey = StoreSurvey::take(live);
    std::vector<StoreFinding> findings = survey.findings;
    findMissing(survey, findings);

    qint64 total = 0;
    for (const FolderEntry &file : survey.files)
        total += file.size;
    std::vector<std::vector<StoreFinding>> perFile(survey.files.size());
    std::atomic<size_t> next{0};
    std::atomic<qint64> done{0};
    std::atomic<int> running{0};
    std::mutex mutex;
    std::condition_variable finished;
    auto work = [&] {
        for (size_t i = next++; i < survey.files.size(); i = next++) {
            perFile[i] = checkFile(survey, survey.files[i]);
            done += survey.files[i].size;
        }
        std::lock_guard lock(mutex);
        --running;
        finished.notify_all();
    };
    const int count = std::clamp(threads, 1, 16);
    std::vector<std::thread> workers;
    running = count;
    for (int i = 0; i < count; ++i)
        workers.emplace_back(work);
    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(100),
                                  [&] { return running == 0; })) {
            if (progress) {
                lock.unlock();
                progress(done, total);
                lock.lock();
            }
        }
    }
    for (std::thread &worker : workers)
        worker.join();
    if (progress)
        progress(total, total);

    for (std::vector<StoreFinding> &some : perFile)
        findings.insert(findings.end(), some.begin(), some.end());
    std::stable_sort(findings.begin(), findings.end(),
                     [](const StoreFinding &a, const StoreFinding &b) { return a.path < b.path; });
    return findings;
}

QString StoreFindingKindName(StoreFindingKind kind)
{
    switch (kind) {
    case StoreFindingKind::DamagedFile:
        return QStringLiteral("damaged");
    case StoreFindingKind::UnreadableFile:
        return QStringLiteral("unreadable");
    case StoreFindingKind::BadNoteFile:
        return QStringLiteral("bad-note-file");
    case StoreFindingKind::MissingFile:
        return QStringLiteral("missing");
    case StoreFindingKind::LinkOutOfStore:
        return QStringLiteral("link-out-of-store");
    case StoreFindingKind::StrayName:
        return QStringLiteral("stray");
    case StoreFindingKind::UnreadableFolder:
        return QStringLiteral("unreadable-folder");
    case StoreFindingKind::LiveNoteOutside:
        return QStringLiteral("live-note-outside");
    case StoreFindingKind::UnreadableLiveNote:
        return QStringLiteral("unreadable-live-note");
    case StoreFindingKind::WaitingForSync:
        return QStringLiteral("waiting for sync");
    }
    return QString();
}

} // namespace TAVRIKCORE::RICHEDITOR
