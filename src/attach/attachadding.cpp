// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachadding_p.h"

#include "attach/attachadder_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "attach/fileclassifier_p.h"
#include "common/log4c.h"
#include "notehtml/attachmarkup_p.h"
#include "session/editorpage_p.h"
#include "skin/iewebbrowser.h"

#include <QCoreApplication>
#include <QStringList>

namespace TAVRIKCORE::RICHEDITOR::Internal {

void AttachAdding::addFiles(std::vector<DropFileInfo> batch)
{
    std::vector<EditorPage::Attachment> inserted;
    for (Stored &stored : storeFiles(std::move(batch)))
        inserted.push_back(std::move(stored.attachment));
    if (!inserted.empty())
        m_page.addAttachments(inserted);
}

std::vector<AttachAdding::Stored> AttachAdding::storeFiles(std::vector<DropFileInfo> batch)
{
    std::vector<Stored> storedFiles;
    if (m_session.readOnly())
        return storedFiles;
    QWidget *parent = m_page.browser();
    const std::optional<NoteSession::Attachments> existing = pageAttachments();
    if (!existing) {
        const QString failed
            = QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "获取笔记编辑器附件总大小失败！"));
        CLog4C::GetInstance()->WriteLog(u"[ERROR] " + failed);
        AttachAdder::ShowMessage(parent, failed);
        return storedFiles;
    }
    const AttachAdder::FilterOutcome outcome = AttachAdder::FilterDropFiles(batch, existing->total);
    for (const QString &message : AttachAdder::FilterMessages(outcome))
        AttachAdder::ShowMessage(parent, message);
    for (const AttachAdder::Notice &notice : AttachAdder::RefusalNotices(outcome))
        AttachAdder::ShowMessage(parent, notice.source, notice.arg);
    if (batch.empty())
        return storedFiles;
    // Files left on disk in the note's folder are checked even when the page lists none.
    AttachStore::DoAttSameName(batch, existing->keptNames, m_session.noteId());

    QStringList failed;
    int failure = 0;
    for (const DropFileInfo &info : batch) {
        MAF_RESULT stored;
        int error = 0;
        if (!AttachStore::MoveAttFile(m_session.noteId(), info, stored, &error)) {
            failed.append(info.displayName);
            failure = error != 0 ? error : failure;
            continue;
        }
        m_session.recordStored(stored.storeName, info.keptName, info.fileSize);
        if (!FileClassifier::IsPicFileType(info.displayName))
            m_session.recordStored(stored.showName, stored.showName, quint64(stored.showSize));
        storedFiles.push_back(
            {info.srcPath, {stored.showSrc, stored.relPath, info.keptName, info.fileExt}});
    }
    if (!failed.isEmpty()) {
        // The names, and the system's reason when there is one.
        QString what = AttachAdder::QuotedNames(failed);
        if (failure != 0)
            what += QStringLiteral(" (") + qt_error_string(failure) + u')';
        AttachAdder::ShowMessage(
            parent, QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "附件未能添加：%1")), what);
    }
    return storedFiles;
}

bool AttachAdding::addPaths(const std::vector<QString> &paths)
{
    std::vector<DropFileInfo> batch;
    for (const QString &path : paths) {
        const DropFiles::OpenCheck check = DropFiles::CheckExclusiveOpen(path);
        DropFileInfo info;
        const char *refusal = nullptr;
        if (check == DropFiles::OpenInUse)
            refusal = QT_TRANSLATE_NOOP("AttachAdder", "不能添加正在编辑的文件作为附件！");
        else if (check != DropFiles::OpenOk || !DropFiles::BuildDropFileInfo(path, info))
            refusal = QT_TRANSLATE_NOOP("AttachAdder", "无效文件路径:%1");
        if (refusal) {
            // The files before it are added first, as they would have been one by one.
            if (!batch.empty())
                addFiles(std::move(batch));
            AttachAdder::ShowMessage(m_page.browser(), QString::fromUtf8(refusal), path);
            return false;
        }
        batch.push_back(std::move(info));
    }
    if (!batch.empty())
        addFiles(std::move(batch));
    return true;
}

std::optional<NoteSession::Attachments> AttachAdding::pageAttachments()
{
    const std::optional<EditorPage::Content> content = m_page.content();
    if (!content)
        return std::nullopt;
    return m_session.attachmentsIn(content->html);
}

void AttachAdding::numberClashes(std::vector<DropFileInfo> &files)
{
    std::vector<QString> names;
    const std::optional<EditorPage::Content> content = m_page.content();
    if (content && !content->html.isEmpty())
        AttachMarkup::ParseAttOrigFileNameList(content->html, names);
    // Files left on disk in the note's folder are checked even when the page lists none.
    AttachStore::DoAttSameName(files, names, m_session.noteId());
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
