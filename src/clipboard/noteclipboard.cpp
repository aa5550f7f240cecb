// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/noteclipboard_p.h"

#include "attach/attachadder_p.h"
#include "attach/attachadding_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "attach/fileclassifier_p.h"
#include "clipboard/attachcopy_p.h"
#include "clipboard/attachpaste_p.h"
#include "clipboard/clipboardformats_p.h"
#include "clipboard/pastedpictures_p.h"
#include "common/commonutils.h"
#include "common/log4c.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "session/editorpage_p.h"
#include "session/notesession_p.h"
#include "skin/iewebbrowser.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <map>
#include <set>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

// The HTML fragment on the clipboard; empty when there is none.
QString clipboardHtml()
{
    QByteArray fragment;
    ReadClipboardHtmlFragment(fragment);
    return QString::fromUtf8(fragment);
}

} // namespace

bool NoteClipboard::pasteIsTaken(bool readOnly, const IEWebBrowser *browser)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (readOnly || !clipboard)
        return false;
    switch (AttachCopy::choosePasteRoute(clipboard->mimeData())) {
    case AttachCopy::PasteRoute::Files:
        return true;
    case AttachCopy::PasteRoute::Html: {
        if (!browser)
            return false;
        const QString html = clipboardHtml();
        return AttachPaste::showsAttachments(html) || !PastedPictures::localSources(html).empty();
    }
    case AttachCopy::PasteRoute::None:
        break;
    }
    return false;
}

bool NoteClipboard::offersFiles()
{
    return AttachCopy::choosePasteRoute(QGuiApplication::clipboard()->mimeData())
        == AttachCopy::PasteRoute::Files;
}

bool NoteClipboard::pasteFiles()
{
    std::vector<DropFileInfo> files;
    DropFiles::GetFileListFromClipboard(files);
    if (files.empty())
        return false;
    AttachAdding(m_session, m_page).addFiles(files);
    AttachStore::DelTempFileFromList(files);
    return true;
}

bool NoteClipboard::pasteHtml()
{
    QString html = clipboardHtml();
    const std::vector<NewAttachFile> records
        = AttachPaste::attachmentsOf(GetAttachRootDir(), m_session.noteId(), html);
    const std::vector<QString> pictures = PastedPictures::localSources(html);
    if (records.empty() && pictures.empty())
        return false;
    if (!records.empty()) {
        const std::optional<QString> pasted = withCopiedAttachments(html, records);
        if (!pasted)
            return true;
        html = *pasted;
    }
    const std::vector<EditorPage::PastedPicture> stored = storePictures(pictures);
    if (QWidget *inner = m_page.browser() ? m_page.browser()->GetWebBrowseHwnd() : nullptr)
        inner->setFocus(Qt::OtherFocusReason);
    m_page.pasteHtml(html, stored);
    return true;
}

std::optional<QString>
NoteClipboard::withCopiedAttachments(const QString &html, const std::vector<NewAttachFile> &records)
{
    CopyLogicResult result;
    std::vector<MAF_RESULT> stored;
    if (!copyFiles(records, result, &stored))
        return std::nullopt;
    for (const AttachSizeRecord &size : result.sizes)
        m_session.recordStored(size.name, size.origName, quint64(quint32(size.size)));
    const std::optional<QString> pasted = AttachMarkupRewriter::RepointAttachments(
        html, AttachPaste::repoints(records, result.replacements, stored));
    if (!pasted) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] The pasted HTML cannot be parsed; nothing was pasted."));
    }
    return pasted;
}

std::vector<EditorPage::PastedPicture>
NoteClipboard::storePictures(const std::vector<QString> &sources)
{
    std::vector<EditorPage::PastedPicture> pictures;
    QTemporaryDir decoded;
    std::vector<DropFileInfo> files;
    std::map<QString, QString> sourceOf; // file path -> src
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::optional<QString> path
            = PastedPictures::fileOf(sources[i], decoded.filePath(QString::number(i)));
        DropFileInfo info;
        if (!path || !DropFiles::BuildDropFileInfo(*path, info))
            continue;
        sourceOf.emplace(info.srcPath, sources[i]);
        files.push_back(std::move(info));
    }
    std::set<QString> left(sources.begin(), sources.end());
    if (!files.empty()) {
        for (AttachAdding::Stored &stored : AttachAdding(m_session, m_page).storeFiles(files)) {
            const QString &src = sourceOf[stored.srcPath];
            left.erase(src);
            pictures.push_back({src, std::move(stored.attachment)});
        }
    }
    // What could not be stored is left out rather than kept in the note's markup.
    for (const QString &src : left)
        pictures.push_back({src, {}});
    return pictures;
}

int NoteClipboard::copyFiles(const std::vector<NewAttachFile> &records, CopyLogicResult &result,
                             std::vector<MAF_RESULT> *storedFiles)
{
    std::optional<AttachCopy::PastedFiles> pasted
        = AttachCopy::collectPastedFiles(records, GetAddTimeString());
    if (!pasted)
        return 0;
    QWidget *parent = m_page.browser();
    const std::optional<NoteSession::Attachments> existing
        = AttachAdding(m_session, m_page).pageAttachments();
    if (!existing) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] DoCopyLogic获取笔记编辑器附件总大小失败！"));
        AttachAdder::ShowMessage(
            parent,
            QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "获取笔记编辑器附件总大小失败！")));
        return 0;
    }
    if (pasted->total + existing->total > AttachAdder::MaxNoteAttachBytes) {
        AttachAdder::FilterOutcome limit;
        limit.passedLimit = true;
        AttachAdder::ShowMessage(parent, AttachAdder::FilterMessages(limit).constFirst());
        return 0;
    }
    if (pasted->files.empty())
        return 1;

    AttachCopy::nameClashingFiles(
        pasted->files, m_session.noteId(), [&](std::vector<DropFileInfo> &files) {
            AttachStore::DoAttSameName(files, existing->keptNames, m_session.noteId());
        });
    for (std::size_t i = 0; i < pasted->files.size(); ++i) {
        const DropFileInfo &info = pasted->files[i];
        const bool picture = FileClassifier::IsPicFileType(info.displayName);
        MAF_RESULT stored;
        if (!AttachStore::MoveAttFile(m_session.noteId(), info, stored))
            return 0;
        result.sizes.push_back({stored.storeName, info.keptName, qint32(info.fileSize)});
        if (!picture)
            result.sizes.push_back({stored.showName, stored.showName, stored.showSize});
        result.replacements.push_back(
            {AttachMarkup::FormatOrigNameToJson(pasted->records[i].origName),
             AttachMarkup::FormatOrigNameToJson(info.keptName), stored.showName});
        if (storedFiles)
            storedFiles->push_back(stored);
    }
    return 1;
}

void NoteClipboard::copySelectionFiles()
{
    std::vector<NewAttachFile> records;
    QString text;
    clipboardRecords(records, text);
    // Blanks between attachments on separate lines are no copied text.
    if (records.empty() || !text.trimmed().isEmpty())
        return;
    if (const std::optional<std::vector<QString>> paths = AttachCopy::copiedFilePaths(records))
        WriteClipboardFileList(*paths);
}

void NoteClipboard::clipboardRecords(std::vector<NewAttachFile> &records, QString &text) const
{
    const QString html = clipboardHtml();
    // Nothing to parse is no error: a copy of plain text leaves no HTML at all.
    if (html.isEmpty()) {
        records.clear();
        text.clear();
        return;
    }
    AttachMarkup::ParseAttList(m_session.noteId(), html, records, &text);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
