// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachfilemonitor.h"

#include "attach/attachwatcher_p.h"
#include "attach/iattachfilelistsource.h"
#include "attach/syncfilemodifyevent.h"
#include "common/commonutils.h"
#include "common/log4c.h"
#include "common/syncenginefiles_p.h"
#include "notehtml/attachmarkup_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// The part of the store root that locates a kept copy: <app folder>userdata/attachment.
QString attachRoot()
{
    return GetAppDirectory() + QStringLiteral("userdata/attachment");
}

// The hash a store name names: the text before its first '.'.
QString hashOf(const QString &storeName)
{
    return storeName.section(u'.', 0, 0);
}

} // namespace

// What a monitor holds. Copies take the receiver, the list source and the open note, not the
// watcher thread.
class AttachFileMonitor::Private
{
public:
    mutable std::mutex mutex;
    std::mutex sourceMutex;
    QPointer<QObject> receiver;
    quint32 message = 0;
    SyncFileModifyArg arg; // kept for copies; not otherwise used
    IAttachFileListSource *source = nullptr;
    QString openNoteId;
    std::vector<AttachmentFile> openNoteFiles;
    std::unique_ptr<Internal::AttachWatcher> watcher;
};

AttachFileMonitor::AttachFileMonitor() : d(std::make_unique<Private>()) { }

AttachFileMonitor::AttachFileMonitor(const AttachFileMonitor &other) : AttachFileMonitor()
{
    *this = other;
}

AttachFileMonitor &AttachFileMonitor::operator=(const AttachFileMonitor &other)
{
    if (this == &other)
        return *this;
    std::scoped_lock lock(d->mutex, other.d->mutex);
    d->receiver = other.d->receiver;
    d->message = other.d->message;
    d->arg = other.d->arg;
    d->source = other.d->source;
    d->openNoteId = other.d->openNoteId;
    d->openNoteFiles = other.d->openNoteFiles;
    return *this;
}

AttachFileMonitor::~AttachFileMonitor()
{
    Stop();
}

void AttachFileMonitor::SetMsgReceiver(QObject *receiver, quint32 message)
{
    std::lock_guard lock(d->mutex);
    d->receiver = receiver;
    d->message = message;
}

void AttachFileMonitor::SetFileListSource(IAttachFileListSource *source)
{
    std::lock_guard sourceLock(d->sourceMutex);
    std::lock_guard lock(d->mutex);
    d->source = source;
}

void AttachFileMonitor::SetOpenNote(const QString &noteId, const std::vector<AttachmentFile> &files)
{
    std::lock_guard lock(d->mutex);
    d->openNoteId = noteId;
    d->openNoteFiles = files;
}

int AttachFileMonitor::Start()
{
    if (d->watcher && d->watcher->isRunning())
        return 1;
    const QString root = GetAttachRootDir();
    d->watcher = std::make_unique<Internal::AttachWatcher>(
        root, QuietPeriod, [this](const QString &path, quint32 action) { OnEvent(path, action); },
        [this](const std::function<bool()> &stopRequested) { RescanKeptCopies(stopRequested); });
    QString error;
    if (!d->watcher->start(error)) {
        d->watcher.reset();
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] AttachFileMonitor::Start cannot watch ") + root
            + QStringLiteral(": ") + error);
        return 0;
    }
    return 1;
}

void AttachFileMonitor::Stop()
{
    if (d->watcher)
        d->watcher->stop();
    d->watcher.reset();
}

bool AttachFileMonitor::isRunning() const
{
    return d->watcher && d->watcher->isRunning();
}

std::chrono::nanoseconds AttachFileMonitor::watcherCpuTime() const
{
    return d->watcher ? d->watcher->cpuTime() : std::chrono::nanoseconds{};
}

void AttachFileMonitor::OnEvent(const QString &path, quint32 action)
{
    {
        std::lock_guard lock(d->mutex);
        if (!d->receiver)
            return;
    }
    if (action != ActionModified && action != ActionRenamedNewName)
        return;
    if (GetFileExt(path).compare(QStringLiteral("tmp"), Qt::CaseInsensitive) == 0
        || Internal::isSyncEngineFile(GetFileNameFromPath(path)))
        return;
    DoAttachFileSync(path);
}

void AttachFileMonitor::DoAttachFileSync(const QString &path)
{
    syncFile(path, Origin::Event);
}

void AttachFileMonitor::RescanKeptCopies()
{
    RescanKeptCopies([] { return false; });
}

AttachFileMonitor::RescanResult
AttachFileMonitor::RescanKeptCopies(const std::function<bool()> &stopRequested)
{
    const QDir root(attachRoot());
    const QFileInfoList folders
        = root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo &folder : folders) {
        if (stopRequested())
            return RescanResult::Stopped;
        const QFileInfoList files
            = QDir(folder.filePath()).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden);
        for (const QFileInfo &file : files) {
            if (stopRequested())
                return RescanResult::Stopped;
            if (GetFileExt(file.fileName()).compare(QStringLiteral("tmp"), Qt::CaseInsensitive)
                && !Internal::isSyncEngineFile(file.fileName()))
                syncFile(attachRoot() + u'/' + folder.fileName() + u'/' + file.fileName(),
                         Origin::Rescan);
        }
    }
    return RescanResult::Finished;
}

void AttachFileMonitor::syncFile(const QString &path, Origin origin)
{
    QString noteId;
    QString fileName;
    GetAttachInfoFromPath(path, noteId, fileName);
    if (noteId.isEmpty() || fileName.isEmpty())
        return;
    // Never read through a link: it could lead out of the store.
    const QFileInfo info(path);
    if (info.isSymLink() || info.isDir() || QFileInfo(info.path()).isSymLink())
        return;

    std::vector<AttachmentFile> files;
    bool isOpenNote = false;
    if (!noteFiles(noteId, files, isOpenNote))
        return;
    AttachmentFile changed;
    if (!GetAttachFileInfo(files, fileName, changed) || changed.fileKind == 0) {
        // The page knows attachments added to the open note since its last save.
        if (!isOpenNote || origin == Origin::Rescan)
            return;
        changed = AttachmentFile();
        changed.keptName = fileName;
        changed.fileKind = 2;
    }
    AttachmentFile noteFile;
    GetNoteHtmlFileInfo(files, noteFile);

    const QString hash = CalcFileMd5(path);
    if (hash.isEmpty()) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] AttachFileMonitor::DoAttachFileSync cal md5 code faild ! ")
            + path);
        return;
    }
    if (!changed.storeName.isEmpty() && hashOf(changed.storeName) == hash)
        return;

    SyncFileModifyArg arg;
    arg.changedPath = path;
    arg.fileSize = QFileInfo(path).size();
    arg.noteId = noteId;
    arg.changedFile = changed;
    arg.newHash = hash;
    arg.noteFile = noteFile;

    std::lock_guard lock(d->mutex);
    if (d->receiver)
        QCoreApplication::postEvent(
            d->receiver, new SyncFileModifyEvent(std::move(arg), QEvent::Type(d->message)),
            Qt::HighEventPriority);
}

bool AttachFileMonitor::noteFiles(const QString &noteId, std::vector<AttachmentFile> &files,
                                  bool &isOpenNote)
{
    {
        std::lock_guard lock(d->mutex);
        isOpenNote = noteId == d->openNoteId;
        if (isOpenNote) {
            files = d->openNoteFiles;
            return true;
        }
    }
    std::lock_guard sourceLock(d->sourceMutex);
    IAttachFileListSource *source = nullptr;
    {
        std::lock_guard lock(d->mutex);
        source = d->source;
    }
    return source && source->GetNoteFileList(noteId, files);
}

int AttachFileMonitor::currentNoteFile(const QString &noteId, AttachmentFile &noteFile)
{
    std::lock_guard sourceLock(d->sourceMutex);
    IAttachFileListSource *source = nullptr;
    {
        std::lock_guard lock(d->mutex);
        source = d->source;
    }
    std::vector<AttachmentFile> files;
    return source && source->GetNoteFileList(noteId, files) && GetNoteHtmlFileInfo(files, noteFile);
}

void AttachFileMonitor::GetAttachInfoFromPath(const QString &path, QString &noteId,
                                              QString &fileName)
{
    noteId.clear();
    fileName.clear();
    const QString root = attachRoot();
    const qsizetype at = path.indexOf(root);
    if (at < 0 || path.mid(at + root.size(), 1) != u"/")
        return;
    std::vector<QString> pieces;
    SplitString(path.mid(at + root.size() + 1), QStringLiteral("/"), pieces);
    if (pieces.size() != 2 || !IsSafeFileName(pieces[0]) || !IsSafeFileName(pieces[1]))
        return;
    noteId = pieces[0];
    fileName = pieces[1];
}

int AttachFileMonitor::GetAttachFileInfo(const std::vector<AttachmentFile> &files,
                                         const QString &keptName, AttachmentFile &file)
{
    for (const AttachmentFile &candidate : files) {
        // A backslash in a name is kept on disk as its look-alike.
        if (candidate.keptName == keptName
            || AttachMarkup::keptFileName(candidate.keptName) == keptName) {
            file = candidate;
            return 1;
        }
    }
    return 0;
}

int AttachFileMonitor::GetNoteHtmlFileInfo(const std::vector<AttachmentFile> &files,
                                           AttachmentFile &file)
{
    for (const AttachmentFile &candidate : files) {
        if (candidate.fileKind == 0) {
            file = candidate;
            return 1;
        }
    }
    return 0;
}

int AttachFileMonitor::GetAttachTotalSize(const std::vector<AttachmentFile> &files)
{
    qint64 total = 0;
    for (const AttachmentFile &file : files) {
        if (file.fileKind != 0)
            total += file.fileSize;
    }
    return int(quint32(total));
}

} // namespace TAVRIKCORE::RICHEDITOR
