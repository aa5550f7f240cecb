// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for adding files: drag events, the file dialog and the host's list.
// The flow lives in AttachAdding, the rules in AttachAdder, DropFiles and AttachStore.
#include "bridge/zvwebnotehandler.h"

#include "attach/attachadder_p.h"
#include "attach/attachadding_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "bridge/zvwebnotehandler_p.h"
#include "common/iprompts.h"
#include "skin/hresult.h"
#include "skin/iewebbrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// The folder the file dialog starts in: where the user last picked files, at first the home
// folder. One for the process, so every editor's dialog opens where the last one was left.
QString &attachDialogFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

void focusInnerWindow(IEWebBrowser *browser)
{
    if (QWidget *inner = browser ? browser->GetWebBrowseHwnd() : nullptr)
        inner->setFocus(Qt::OtherFocusReason);
}

} // namespace

void ZvWebNoteHandler::OnAddAttachment()
{
    if (d->session.readOnly())
        return;
    const QString current = QDir::currentPath();
    const QStringList paths = IPrompts::instance()->openFileNames(
        d->browser(), QCoreApplication::translate("ZvWebNoteHandler", "Attach files"),
        attachDialogFolder(), QString());
    QDir::setCurrent(current);
    if (paths.isEmpty())
        return;
    attachDialogFolder() = QFileInfo(paths.constFirst()).absolutePath();
    InsertLocalFile(std::vector<QString>(paths.begin(), paths.end()));
}

void ZvWebNoteHandler::InsertLocalFile()
{
    OnAddAttachment();
}

void ZvWebNoteHandler::InsertLocalFile(const std::vector<QString> &paths)
{
    if (d->session.readOnly())
        return;
    if (Internal::AttachAdding(d->session, d->page).addPaths(paths))
        focusInnerWindow(d->browser());
}

void ZvWebNoteHandler::AddDropFileToEditor(const std::vector<DropFileInfo> &files)
{
    Internal::AttachAdding(d->session, d->page).addFiles(files);
}

quint64 ZvWebNoteHandler::MaxAttachTotalBytes()
{
    return AttachAdder::MaxNoteAttachBytes;
}

int ZvWebNoteHandler::GetExistAttTotalSize(quint64 &total)
{
    total = 0;
    const auto attachments = Internal::AttachAdding(d->session, d->page).pageAttachments();
    if (!attachments)
        return 0;
    total = attachments->total;
    return 1;
}

ZvWebNoteHandler::DRAGE_OP_TYPE ZvWebNoteHandler::PreDrag(const QMimeData *data)
{
    d->dropFiles.clear();
    return DropFiles::CollectDragData(data, d->dropFiles) ? DOT_FILES : DOT_PAGE;
}

const std::vector<DropFileInfo> &ZvWebNoteHandler::dropFiles() const
{
    return d->dropFiles;
}

void ZvWebNoteHandler::GetFileList(const QMimeData *data, std::vector<DropFileInfo> &files)
{
    DropFiles::GetFileList(data, files);
}

void ZvWebNoteHandler::GetFileListFromClipboard(std::vector<DropFileInfo> &files)
{
    DropFiles::GetFileListFromClipboard(files);
}

int ZvWebNoteHandler::MoveAttFile(const DropFileInfo &info, MAF_RESULT &result)
{
    return AttachStore::MoveAttFile(d->session.noteId(), info, result);
}

QString ZvWebNoteHandler::AttachmentMarkup(const DropFileInfo &info, const MAF_RESULT &stored)
{
    return AttachAdder::AttachmentMarkup(info, stored);
}

void ZvWebNoteHandler::DoAttSameName(std::vector<DropFileInfo> &files)
{
    Internal::AttachAdding(d->session, d->page).numberClashes(files);
}

int ZvWebNoteHandler::SaveImage(const QImage *image, std::vector<DropFileInfo> &files)
{
    return AttachStore::SaveImage(image, files);
}

void ZvWebNoteHandler::DelTempFileFromList(const std::vector<DropFileInfo> &files)
{
    AttachStore::DelTempFileFromList(files);
}

int ZvWebNoteHandler::IsPicFileType(const QString &name)
{
    return FileClassifier::IsPicFileType(name);
}

QString ZvWebNoteHandler::GetFileStuffx(const QString &name)
{
    return FileClassifier::GetFileStuffx(name);
}

int ZvWebNoteHandler::GenerateFileThumb(int type, const QString &nameLine, const QString &infoLine,
                                        const QString &outPath, int *sizeOut)
{
    return FileThumbnail::GenerateFileThumb(type, nameLine, infoLine, outPath, sizeOut);
}

QString ZvWebNoteHandler::FormatFileInfo(int size, const QString &time)
{
    return FileThumbnail::FormatFileInfo(size, time);
}

long ZvWebNoteHandler::OnDragEnter(const QMimeData *data, Qt::KeyboardModifiers keyState,
                                   const QPoint &point, Qt::DropActions &effect)
{
    if (d->session.readOnly())
        return 1;
    d->dragType = PreDrag(data);
    if (d->dragType == DOT_FILES)
        return S_OK;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDragEnter(data, keyState, point, effect) : E_NOTIMPL;
}

long ZvWebNoteHandler::OnDragOver(Qt::KeyboardModifiers keyState, const QPoint &point,
                                  Qt::DropActions &effect)
{
    if (d->dragType == DOT_FILES)
        return S_OK;
    if (d->dragType != DOT_PAGE)
        return 1;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDragOver(keyState, point, effect) : E_NOTIMPL;
}

long ZvWebNoteHandler::OnDragLeave()
{
    if (d->dragType == DOT_FILES)
        return S_OK;
    if (d->dragType != DOT_PAGE)
        return 1;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDragLeave() : E_NOTIMPL;
}

long ZvWebNoteHandler::OnDrop(const QMimeData *data, Qt::KeyboardModifiers keyState,
                              const QPoint &point, Qt::DropActions &effect)
{
    if (d->dragType == DOT_FILES) {
        AddDropFileToEditor(d->dropFiles);
        focusInnerWindow(d->browser());
        return S_OK;
    }
    if (d->dragType != DOT_PAGE)
        return 1;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDrop(data, keyState, point, effect) : E_NOTIMPL;
}

} // namespace TAVRIKCORE::RICHEDITOR
