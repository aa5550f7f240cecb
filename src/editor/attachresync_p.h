// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/syncfilemodifyarg.h"
#include "notehtml/newattachfile.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <map>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class AttachFileMonitor;
class IZvEditorNotify;

namespace Internal {

class EditorPage;
class NoteSession;

// What the editor does with one changed attachment (see CZorvaEditorImpl::DoAttachFileModify):
// make the new shown image, then point the note at the new content, in the page when the note
// is open and in its stored note file otherwise.
class TAVRIK_AUTOTEST_EXPORT AttachResync
{
public:
    // The image the page shows for the new content, in the store's root. A picture (by kept
    // name): a copy of the changed file named <new hash><kept name's suffix, case kept; ".bmp"
    // without one>. Any other file: a thumbnail card (kept name; the current time and the new
    // size) named <md5 of the card>.bmp. 1 with `showName` set; 0 with one of the log lines
    // "[ERROR] CZorvaEditorImpl::GenerateThumbPic create thumb pic faild ! ",
    // "... cal md5 code faild ! ", "... rename file fald ! ", "... copy file fald ! ".
    static int generateThumbPic(const SyncFileModifyArg &arg, QString &showName);

    // <new hash>.<extension of the kept name, case kept; the whole name without a '.'>.
    static QString newStoreName(const SyncFileModifyArg &arg);

    // The open note: the page's attachment with the kept name gets class
    // userdata\attachment\<store name> and src ../userdata\attachment\<shown name>; then the
    // new names' times (now) and sizes are recorded in the session. 1 when the page took it.
    static int updateOpenNote(NoteSession &session, EditorPage &page, const SyncFileModifyArg &arg,
                              const QString &storeName, const QString &showName,
                              const QString &now);

    // A note that is not open: reads the note file the host holds now, as `monitor`'s list
    // source gives it on this thread (only a file in the store's root; the record the
    // watcher captured earlier may be older than a save made since), rewrites the attachment's
    // class and src, stores the result as a new note file (the old one stays) and hands the host
    // its file list, the written note file first, the two new names stamped with `now`. 1 when the
    // host was told; 0 when the host lists no note file for the note, the file cannot be read,
    // names no such attachment, or cannot be stored (the note is then unchanged).
    static int updateStoredNote(const SyncFileModifyArg &arg, AttachFileMonitor &monitor,
                                const QString &storeName, const QString &showName,
                                const QString &now, IZvEditorNotify *notify);

    // The monitor's view of a saved note: one record per file, keptName the original name,
    // fileSize from `sizes` (store name to size).
    static std::vector<AttachmentFile> monitorList(const std::vector<NewAttachFile> &files,
                                                   const std::map<QString, quint64> &sizes);
};

} // namespace Internal
} // namespace TAVRIKCORE::RICHEDITOR
