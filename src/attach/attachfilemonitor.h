// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/ifilemonitornotify.h"
#include "attach/syncfilemodifyarg.h"
#include "tavrik_export.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QObject;

namespace TAVRIKCORE::RICHEDITOR {

class IAttachFileListSource;

// Notices attachments edited outside the editor. A user opens an attachment, edits it in
// another program and saves: the kept copy <store>/<note id>/<kept name> gets new bytes while
// the note still names the old content. The monitor watches the store, hashes the changed kept
// copy and posts a SyncFileModifyEvent (event 2224) to its receiver, the editor window, which
// brings the note in line.
//
// Threads: the editor's log writer aside, the watcher started by Start is the only thread
// the library runs. It calls OnEvent, and so DoAttachFileSync with its hashing, on that thread;
// the record reaches the editor only as a posted event, so everything after it runs on the
// user-interface thread. The monitor's fields are guarded by its own mutex.
//
// Where a note's file list comes from: for the note open in the editor, the list the editor
// hands over with SetOpenNote whenever it loads, starts or saves a note; a changed file of the
// open note that the list does not know yet (added since the last save) is announced too,
// since the page itself knows it. For any other note, the host's IAttachFileListSource; without
// one, changes to other notes are dropped. A change whose new hash is the one the list names
// for the file is dropped as well: nothing changed.
class TAVRIK_EXPORT AttachFileMonitor : public IFileMonitorNotify
{
public:
    // The action codes of OnEvent.
    enum Action : quint32 {
        ActionAdded = 1,
        ActionRemoved = 2,
        ActionModified = 3, // a write to the file finished (closed after writing)
        ActionRenamedOldName = 4,
        ActionRenamedNewName = 5, // a file was renamed to this name
    };

    // How long the watcher waits after the last event for a file before it reports the file:
    // programs write in pieces and save through temporary files, and one edit is one report.
    static constexpr std::chrono::milliseconds QuietPeriod{250};

    AttachFileMonitor();
    // Copies receiver, message number, record, list source and open note; a copy is not
    // started.
    AttachFileMonitor(const AttachFileMonitor &other);
    AttachFileMonitor &operator=(const AttachFileMonitor &other);
    // Stops the watcher.
    ~AttachFileMonitor() override;

    // The window that receives the announcements, and their event type (2224 for the editor).
    void SetMsgReceiver(QObject *receiver, quint32 message);
    // The host's answer for notes that are not open (not owned; null for none). The source
    // must stay valid until it is replaced or the monitor is stopped.
    void SetFileListSource(IAttachFileListSource *source);
    // The note file of note `noteId` as the host's source lists it now, asked on the calling
    // thread (the editor asks on its own, when it handles an announcement: the host may have
    // saved the note since the watcher looked). 1 when the source knows the note and lists a
    // note file.
    int currentNoteFile(const QString &noteId, AttachmentFile &noteFile);
    // The note open in the editor and its files (the note file first, as saving lists them).
    void SetOpenNote(const QString &noteId, const std::vector<AttachmentFile> &files);

    // Starts watching the attachment store on a thread of its own: the store's root and every
    // note folder in it, note folders made later included; symbolic links are never followed.
    // A store folder removed later is watched again when it comes back (see AttachWatcher).
    // 1 when watching (also when already watching); 0 with the log line
    // "[ERROR] AttachFileMonitor::Start cannot watch <root>: <reason>" otherwise.
    int Start();
    // Stops watching and waits for the watcher thread to end. Nothing happens when not started.
    void Stop();
    bool isRunning() const;
    // CPU time the watcher thread has used so far (zero when not running).
    std::chrono::nanoseconds watcherCpuTime() const;

    // One change event. Handled only while a receiver is set, for action 3 or 5, and when the
    // path's extension is not "tmp" (any case; without a '.', the whole path is compared):
    // then the path goes to DoAttachFileSync. Everything else is dropped silently.
    void OnEvent(const QString &path, quint32 action) override;

    // How a rescan ended.
    enum class RescanResult { Finished, Stopped };

    // Compares every kept copy in every note folder with the hash its note names and announces
    // the ones that differ. The watcher runs it when the kernel's event queue overflowed, when
    // the store folder came back, and every few seconds while folders cannot be watched.
    void RescanKeptCopies();
    // The same, asking `stopRequested` before each folder and each file; Stopped, with the
    // rest left unvisited, once it says yes.
    RescanResult RescanKeptCopies(const std::function<bool()> &stopRequested);

protected:
    // Resolves a changed path to its note and kept name; when the file is a kept copy of a
    // note's attachment whose content changed, posts its SyncFileModifyEvent to the receiver.
    // A kept copy that cannot be hashed is logged
    // ("[ERROR] AttachFileMonitor::DoAttachFileSync cal md5 code faild ! <path>") and dropped.
    void DoAttachFileSync(const QString &path);
    // The note id and file name of a path <app folder>userdata/attachment/<note id>/<file
    // name>: the root is found in the path (case-sensitive, first occurrence) and must be
    // followed by '/', and the rest must split at '/' into exactly two safe names (not "." or
    // "..", without '\' or NUL). Otherwise both are empty.
    static void GetAttachInfoFromPath(const QString &path, QString &noteId, QString &fileName);
    // The first record whose keptName equals `keptName` (case-sensitive), or whose name is kept
    // on disk as `keptName` (a backslash replaced by its look-alike). 1 when found.
    static int GetAttachFileInfo(const std::vector<AttachmentFile> &files, const QString &keptName,
                                 AttachmentFile &file);
    // The first record of kind 0. 1 when found.
    static int GetNoteHtmlFileInfo(const std::vector<AttachmentFile> &files, AttachmentFile &file);
    // The sum of the sizes of the records of non-zero kind.
    static int GetAttachTotalSize(const std::vector<AttachmentFile> &files);

private:
    enum class Origin { Event, Rescan };
    void syncFile(const QString &path, Origin origin);
    // The list for `noteId`; false when neither the open note nor the source knows it.
    bool noteFiles(const QString &noteId, std::vector<AttachmentFile> &files, bool &isOpenNote);

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
