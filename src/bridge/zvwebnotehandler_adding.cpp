// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for adding files: drag events, the file dialog, the host's list and
// the common batch step. The rules live in AttachAdder, DropFiles and AttachStore.
#include "bridge/zvwebnotehandler.h"

#include "attach/attachadder_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "bridge/jsprocessorcall_p.h"
#include "common/commonutils.h"
#include "common/iprompts.h"
#include "common/log4c.h"
#include "notehtml/attachmarkup_p.h"
#include "skin/hresult.h"
#include "skin/iewebbrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr JsProcessorLogLines AddPicLines{
    u"添加附件到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！",
    u"添加附件到笔记编辑器，解析js返回json字符串失败！", u"添加附件到笔记编辑器，错误信息：%s"};

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
    if (m_readOnly)
        return;
    const QString current = QDir::currentPath();
    const QStringList paths = IPrompts::instance()->openFileNames(
        m_browser, QCoreApplication::translate("ZvWebNoteHandler", "Attach files"),
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
    if (m_readOnly)
        return;
    for (const QString &path : paths) {
        const DropFiles::OpenCheck check = DropFiles::CheckExclusiveOpen(path);
        DropFileInfo info;
        if (check == DropFiles::OpenInUse) {
            AttachAdder::ShowMessage(m_browser,
                                     QStringLiteral(QT_TRANSLATE_NOOP(
                                         "AttachAdder", "不能添加正在编辑的文件作为附件！")),
                                     path);
            return;
        }
        if (check != DropFiles::OpenOk || !DropFiles::BuildDropFileInfo(path, info)) {
            AttachAdder::ShowMessage(
                m_browser, QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "无效文件路径:%1")),
                path);
            return;
        }
        AddDropFileToEditor({info});
    }
    focusInnerWindow(m_browser);
}

void ZvWebNoteHandler::AddDropFileToEditor(const std::vector<DropFileInfo> &files)
{
    if (m_readOnly)
        return;
    std::vector<DropFileInfo> batch = files;
    quint64 existing = 0;
    if (!GetExistAttTotalSize(existing)) {
        const QString failed
            = QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "获取笔记编辑器附件总大小失败！"));
        CLog4C::GetInstance()->WriteLog(u"[ERROR] " + failed);
        AttachAdder::ShowMessage(m_browser, failed);
        return;
    }
    const AttachAdder::FilterOutcome outcome = AttachAdder::FilterDropFiles(batch, existing);
    for (const QString &message : AttachAdder::FilterMessages(outcome))
        AttachAdder::ShowMessage(m_browser, message);
    for (const AttachAdder::Notice &notice : AttachAdder::RefusalNotices(outcome))
        AttachAdder::ShowMessage(m_browser, notice.source, notice.arg);
    if (batch.empty())
        return;
    DoAttSameName(batch);

    QStringList failed;
    int failure = 0;
    for (const DropFileInfo &info : batch) {
        MAF_RESULT stored;
        int error = 0;
        if (!AttachStore::MoveAttFile(m_curNoteGuid, info, stored, &error)) {
            failed.append(info.displayName);
            failure = error != 0 ? error : failure;
            continue;
        }
        if (!stored.storeName.isEmpty() && !m_attachFileSizes.count(stored.storeName)) {
            m_attachFileSizes[stored.storeName] = info.fileSize;
            RecordAttachModifyTime(stored.storeName, info.keptName, GetCurTimeString());
        }
        if (!IsPicFileType(info.displayName) && !stored.showName.isEmpty()
            && !m_attachFileSizes.count(stored.showName)) {
            m_attachFileSizes[stored.showName] = quint64(stored.showSize);
            RecordAttachModifyTime(stored.showName, stored.showName, GetCurTimeString());
        }
        CallJsProcessor(m_browser, QStringLiteral("AddPicToEditor"),
                        AttachAdder::AddPicJson(info, stored), AddPicLines);
    }
    if (!failed.isEmpty()) {
        // The names, and the system's reason when there is one.
        QString what = AttachAdder::QuotedNames(failed);
        if (failure != 0)
            what += QStringLiteral(" (") + qt_error_string(failure) + u')';
        AttachAdder::ShowMessage(
            m_browser, QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "附件未能添加：%1")), what);
    }
}

quint64 ZvWebNoteHandler::MaxAttachTotalBytes()
{
    return AttachAdder::MaxNoteAttachBytes;
}

int ZvWebNoteHandler::GetExistAttTotalSize(quint64 &total)
{
    total = 0;
    QString html;
    QString text;
    if (!GetEditorContent(html, text))
        return 0;
    std::vector<NewAttachFile> records;
    if (!html.trimmed().isEmpty() && !AttachMarkup::ParseAttList(m_curNoteGuid, html, records))
        return 0;
    return AttachAdder::SumAttachSizes(records, m_attachFileSizes, total);
}

ZvWebNoteHandler::DRAGE_OP_TYPE ZvWebNoteHandler::PreDrag(const QMimeData *data)
{
    m_dropFiles.clear();
    return DropFiles::CollectDragData(data, m_dropFiles) ? DOT_FILES : DOT_PAGE;
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
    return AttachStore::MoveAttFile(m_curNoteGuid, info, result);
}

QString ZvWebNoteHandler::AttachmentMarkup(const DropFileInfo &info, const MAF_RESULT &stored)
{
    return AttachAdder::AttachmentMarkup(info, stored);
}

void ZvWebNoteHandler::DoAttSameName(std::vector<DropFileInfo> &files)
{
    QString html;
    QString text;
    std::vector<QString> names;
    if (GetEditorContent(html, text) && !html.isEmpty())
        AttachMarkup::ParseAttOrigFileNameList(html, names);
    // Files left on disk in the note's folder are checked even when the page lists none.
    AttachStore::DoAttSameName(files, names, m_curNoteGuid);
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
    if (m_readOnly)
        return 1;
    m_dragType = PreDrag(data);
    if (m_dragType == DOT_FILES)
        return S_OK;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDragEnter(data, keyState, point, effect) : E_NOTIMPL;
}

long ZvWebNoteHandler::OnDragOver(Qt::KeyboardModifiers keyState, const QPoint &point,
                                  Qt::DropActions &effect)
{
    if (m_dragType == DOT_FILES)
        return S_OK;
    if (m_dragType != DOT_PAGE)
        return 1;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDragOver(keyState, point, effect) : E_NOTIMPL;
}

long ZvWebNoteHandler::OnDragLeave()
{
    if (m_dragType == DOT_FILES)
        return S_OK;
    if (m_dragType != DOT_PAGE)
        return 1;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDragLeave() : E_NOTIMPL;
}

long ZvWebNoteHandler::OnDrop(const QMimeData *data, Qt::KeyboardModifiers keyState,
                              const QPoint &point, Qt::DropActions &effect)
{
    if (m_dragType == DOT_FILES) {
        AddDropFileToEditor(m_dropFiles);
        focusInnerWindow(m_browser);
        return S_OK;
    }
    if (m_dragType != DOT_PAGE)
        return 1;
    IIEDragNotify *page = PageDropTarget();
    return page ? page->OnDrop(data, keyState, point, effect) : E_NOTIMPL;
}

} // namespace TAVRIKCORE::RICHEDITOR
