// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/attachresync_p.h"

#include "attach/attachfilemonitor.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "bridge/izveditornotify.h"
#include "common/commonutils.h"
#include "common/contentnamedfile_p.h"
#include "common/log4c.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/notehtmlrw.h"
#include "session/editorpage_p.h"
#include "session/notesession_p.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

const QString &markupFolder()
{
    static const QString folder = QStringLiteral("userdata\\attachment\\");
    return folder;
}

int fail(const char16_t *line)
{
    CLog4C::GetInstance()->WriteLog(QString::fromUtf16(line));
    return 0;
}

} // namespace

int AttachResync::generateThumbPic(const SyncFileModifyArg &arg, QString &showName)
{
    const QString folder = GetAttachRootDir() + u'/';
    const QString &keptName = arg.changedFile.keptName;
    const QString temp = folder + CreateGuidString() + QStringLiteral(".tmp");

    if (FileClassifier::IsPicFileType(keptName)) {
        const qsizetype dot = keptName.lastIndexOf(u'.');
        const QString name = arg.newHash + (dot < 0 ? QStringLiteral(".bmp") : keptName.mid(dot));
        const QString target = folder + name;
        const int placed = placeContentNamed(
            target, arg.newHash,
            [&](Placement placement) {
                // Copied aside and checked first: the file may be written again meanwhile, and
                // a name derived from content must hold that content.
                return durableCopy(arg.changedPath, temp, Placement::KeepExisting)
                    && CalcFileMd5(temp) == arg.newHash && durableRename(temp, target, placement);
            },
            QString());
        QFile::remove(temp);
        if (placed != 0)
            return fail(u"[ERROR] CZorvaEditorImpl::GenerateThumbPic copy file fald ! ");
        showName = name;
        return 1;
    }

    const QString ext = FileClassifier::GetFileStuffx(keptName);
    const int drawn = FileThumbnail::GenerateFileThumb(
        FileClassifier::GetFileTypeByExt(ext), keptName,
        FileThumbnail::FormatFileInfo(int(quint32(arg.fileSize)), QString()), temp);
    if (!drawn) {
        QFile::remove(temp);
        return fail(u"[ERROR] CZorvaEditorImpl::GenerateThumbPic create thumb pic faild ! ");
    }
    const QString thumbHash = CalcFileMd5(temp);
    if (thumbHash.isEmpty()) {
        QFile::remove(temp);
        return fail(u"[ERROR] CZorvaEditorImpl::GenerateThumbPic cal md5 code faild ! ");
    }
    const QString name = thumbHash + QStringLiteral(".bmp");
    const QString target = folder + name;
    const int placed = placeContentNamed(
        target, thumbHash,
        [&](Placement placement) { return durableRename(temp, target, placement); }, QString());
    QFile::remove(temp); // still there when a valid card was already in place or placing failed
    if (placed != 0)
        return fail(u"[ERROR] CZorvaEditorImpl::GenerateThumbPic rename file fald ! ");
    showName = name;
    return 1;
}

QString AttachResync::newStoreName(const SyncFileModifyArg &arg)
{
    return arg.newHash + u'.' + GetFileExt(arg.changedFile.keptName);
}

int AttachResync::updateOpenNote(NoteSession &session, EditorPage &page,
                                 const SyncFileModifyArg &arg, const QString &storeName,
                                 const QString &showName, const QString &now)
{
    const QString &keptName = arg.changedFile.keptName;
    if (!page.modifyAttachment(keptName, markupFolder() + storeName,
                               QStringLiteral("../") + markupFolder() + showName))
        return 0;
    session.recordReplaced(storeName, keptName, quint64(arg.fileSize), showName,
                           quint64(QFileInfo(GetAttachRootDir() + u'/' + showName).size()), now);
    return 1;
}

int AttachResync::updateStoredNote(const SyncFileModifyArg &arg, AttachFileMonitor &monitor,
                                   const QString &storeName, const QString &showName,
                                   const QString &now, IZvEditorNotify *notify)
{
    const QString &keptName = arg.changedFile.keptName;
    AttachmentFile current;
    if (!monitor.currentNoteFile(arg.noteId, current))
        return 0;
    const QString &notePath = current.filePath;
    QString content;
    int version = 0;
    // Note files are read only from the store's root, whatever path the host gave.
    const QFileInfo note(notePath);
    if (notePath.isEmpty() || !note.isFile()
        || note.absolutePath() != QFileInfo(GetAttachRootDir()).absoluteFilePath()
        || !NoteHtmlRW::ReadHtmlTextFromFile(notePath, content, version))
        return 0;
    std::vector<QString> names;
    if (!AttachMarkup::ParseAttOrigFileNameList(content, names)
        || std::find(names.begin(), names.end(), keptName) == names.end())
        return 0;
    QString html;
    QString text;
    if (!AttachMarkupRewriter::UpdateHtmlAttachAttr(
            content, keptName, markupFolder() + storeName,
            QStringLiteral("../") + markupFolder() + showName, html, text))
        return 0;
    NewAttachFile noteFile;
    if (!NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version))
        return 0;

    const std::vector<NewAttachFile> files = NoteSession::savedFiles(
        arg.noteId, html, noteFile, {{storeName + keptName, now}, {showName, now}});
    if (notify)
        notify->OnSaveNote(arg.noteId, files, text);
    return 1;
}

std::vector<AttachmentFile> AttachResync::monitorList(const std::vector<NewAttachFile> &files,
                                                      const std::map<QString, quint64> &sizes)
{
    std::vector<AttachmentFile> list;
    list.reserve(files.size());
    for (const NewAttachFile &file : files) {
        AttachmentFile entry;
        entry.storeName = file.storeName;
        const auto size = sizes.find(file.storeName);
        entry.fileSize = size == sizes.end() ? 0 : int(quint32(size->second));
        entry.filePath = file.filePath;
        entry.keptName = file.origName;
        entry.modifyTime = file.modifyTime;
        entry.fileKind = file.fileKind;
        entry.fileExt = file.fileExt;
        list.push_back(entry);
    }
    return list;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
