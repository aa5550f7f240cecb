// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for the keyboard hook and for copy and paste with attachments. The
// decisions live in AttachCopy, the clipboard formats in clipboardformats.h.
#include "bridge/zvwebnotehandler.h"

#include "attach/attachadder_p.h"
#include "bridge/editorevents.h"
#include "bridge/jsprocessorcall_p.h"
#include "bridge/keystate_p.h"
#include "clipboard/attachcopy_p.h"
#include "clipboard/attachpaste_p.h"
#include "clipboard/clipboardformats_p.h"
#include "clipboard/copynotifywait_p.h"
#include "common/commonutils.h"
#include "common/log4c.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/notehtmlrw.h"
#include "skin/hresult.h"
#include "skin/iewebbrowser.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

enum class KeyAction { CopyNotify, Paste, Cut, CancelHighlight, Nothing };

struct ControlKey
{
    int key;
    KeyAction action;
};

// The keys acted on while Control is down, in the order they are tested.
constexpr ControlKey ControlKeys[] = {
    {Qt::Key_C, KeyAction::CopyNotify}, {Qt::Key_V, KeyAction::Paste},
    {Qt::Key_D, KeyAction::Cut},        {Qt::Key_F, KeyAction::CancelHighlight},
    {Qt::Key_O, KeyAction::Nothing},    {Qt::Key_P, KeyAction::Nothing},
    {Qt::Key_N, KeyAction::Nothing},
};

constexpr JsProcessorLogLines PasteLines{u"[ERROR] PasteHtml: the page cannot be called",
                                         u"[ERROR] PasteHtml: the page's reply is not JSON",
                                         u"[ERROR] PasteHtml refused: %s"};

// The HTML fragment on the clipboard; empty when there is none.
QString clipboardHtml()
{
    QByteArray fragment;
    ReadClipboardHtmlFragment(fragment);
    return QString::fromUtf8(fragment);
}

// Whether Control+V pastes in the editor rather than in the browser: files or a picture, or
// HTML showing attachments, on the clipboard of an editor that is not read-only.
bool pasteIsTaken(bool readOnly, const IEWebBrowser *browser)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (readOnly || !clipboard)
        return false;
    switch (AttachCopy::choosePasteRoute(clipboard->mimeData())) {
    case AttachCopy::PasteRoute::Files:
        return true;
    case AttachCopy::PasteRoute::Html:
        return browser && AttachPaste::showsAttachments(clipboardHtml());
    case AttachCopy::PasteRoute::None:
        break;
    }
    return false;
}

// Whether the key press of `key` will be taken by the key hook, not left to the browser.
bool takesKey(const QKeyEvent &key, bool readOnly, const IEWebBrowser *browser)
{
    if (!(key.modifiers() & Qt::ControlModifier))
        return false;
    for (const ControlKey &entry : ControlKeys) {
        if (entry.key != key.key())
            continue;
        switch (entry.action) {
        case KeyAction::Paste:
            return pasteIsTaken(readOnly, browser);
        case KeyAction::Cut:
            return !readOnly && browser;
        case KeyAction::Nothing:
            return true;
        case KeyAction::CopyNotify:
        case KeyAction::CancelHighlight:
            return false;
        }
    }
    return false;
}

} // namespace

long ZvWebNoteHandler::OnTranslateAccelerator(const QKeyEvent *message)
{
    if (!message)
        return E_NOTIMPL;
    // Asked before a key press whether the key is a shortcut, the browser keeps its own edit
    // command for it (Paste for Control+V) and runs it with the next key press it gets: after
    // a Control+V taken here, that is the next chord's Control. A key taken here is claimed
    // now, so the browser keeps no command for it.
    if (message->type() == QEvent::ShortcutOverride)
        return takesKey(*message, m_readOnly, m_browser) ? S_OK : E_NOTIMPL;
    if (!m_keysDown)
        m_keysDown = std::make_shared<Internal::TrackedKeys>();
    m_keysDown->track(*message);
    const bool keyDown = message->type() == QEvent::KeyPress;
    if (keyDown && m_keysDown->isDown(Qt::Key_F5, *message))
        return S_OK;
    if (!keyDown || !(message->modifiers() & Qt::ControlModifier))
        return E_NOTIMPL;
    // A modifier's own press is no chord: on a busy machine it can be handled after the
    // letter pressed with it is already down, and that letter acts with its own press.
    switch (message->key()) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return E_NOTIMPL;
    default:
        break;
    }
    for (const ControlKey &entry : ControlKeys) {
        if (!m_keysDown->isDown(entry.key, *message))
            continue;
        switch (entry.action) {
        case KeyAction::CopyNotify:
            return DoCtrlC();
        case KeyAction::Paste:
            return DoCtrlV();
        case KeyAction::Cut:
            return DoCtrlD();
        case KeyAction::CancelHighlight:
            CancleHighlight(); // the marks go, then the browser's own find runs
            return E_NOTIMPL;
        case KeyAction::Nothing:
            return S_OK;
        }
    }
    return E_NOTIMPL;
}

long ZvWebNoteHandler::DoCtrlC()
{
    QWidget *inner = m_browser ? m_browser->GetWebBrowseHwnd() : nullptr;
    if (!inner)
        return E_NOTIMPL;
    // A newer copy replaces a wait still pending.
    delete m_copyWait;
    m_copyWait = new CopyNotifyWait(m_browser);
    QCoreApplication::postEvent(inner, new QEvent(CopyNotifyEvent));
    return E_NOTIMPL;
}

long ZvWebNoteHandler::DoCtrlV()
{
    if (!pasteIsTaken(m_readOnly, m_browser))
        return E_NOTIMPL;
    if (AttachCopy::choosePasteRoute(QGuiApplication::clipboard()->mimeData())
        == AttachCopy::PasteRoute::Files)
        return DoCopyClipboardFile();
    // The paste waits for the page several times: it runs once this key has been handled,
    // from Qt's own event loop, not inside the browser's delivery of the key.
    QTimer::singleShot(0, m_browser, [this] { DoCopyClipboardHtml(); });
    return S_OK;
}

long ZvWebNoteHandler::DoCtrlD()
{
    if (m_readOnly || !m_browser)
        return E_NOTIMPL;
    if (QWidget *inner = m_browser->GetWebBrowseHwnd())
        inner->setFocus(Qt::ShortcutFocusReason);
    // After this key has been handled, as a posted command would run.
    QTimer::singleShot(0, m_browser,
                       [browser = m_browser] { browser->triggerPageAction(QWebEnginePage::Cut); });
    return S_OK;
}

long ZvWebNoteHandler::DoCopyClipboardFile()
{
    std::vector<DropFileInfo> files;
    GetFileListFromClipboard(files);
    if (files.empty())
        return E_NOTIMPL;
    AddDropFileToEditor(files);
    DelTempFileFromList(files);
    return S_OK;
}

long ZvWebNoteHandler::DoCopyClipboardHtml()
{
    const QString html = clipboardHtml();
    const std::vector<NewAttachFile> records
        = AttachPaste::attachmentsOf(GetAttachRootDir(), m_curNoteGuid, html);
    if (records.empty())
        return E_NOTIMPL;
    CopyLogicResult result;
    std::vector<MAF_RESULT> stored;
    if (!copyPastedFiles(records, result, &stored))
        return S_OK;
    for (const AttachSizeRecord &size : result.sizes) {
        if (size.name.isEmpty() || m_attachFileSizes.count(size.name))
            continue;
        m_attachFileSizes[size.name] = quint64(quint32(size.size));
        RecordAttachModifyTime(size.name, size.origName, GetCurTimeString());
    }
    const std::optional<QString> pasted = AttachMarkupRewriter::RepointAttachments(
        html, AttachPaste::repoints(records, result.replacements, stored));
    if (!pasted) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] The pasted HTML cannot be parsed; nothing was pasted."));
        return S_OK;
    }
    if (QWidget *inner = m_browser ? m_browser->GetWebBrowseHwnd() : nullptr)
        inner->setFocus(Qt::OtherFocusReason);
    CallJsProcessor(m_browser, QStringLiteral("PasteHtml"), AttachPaste::pasteArgument(*pasted),
                    PasteLines);
    return S_OK;
}

int ZvWebNoteHandler::DoCopyLogic(const std::vector<NewAttachFile> &records,
                                  CopyLogicResult &result)
{
    return copyPastedFiles(records, result, nullptr);
}

int ZvWebNoteHandler::copyPastedFiles(const std::vector<NewAttachFile> &records,
                                      CopyLogicResult &result, std::vector<MAF_RESULT> *storedFiles)
{
    std::optional<AttachCopy::PastedFiles> pasted
        = AttachCopy::collectPastedFiles(records, FormatCurTime());
    if (!pasted)
        return 0;
    quint64 existing = 0;
    if (!GetExistAttTotalSize(existing)) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] DoCopyLogic获取笔记编辑器附件总大小失败！"));
        AttachAdder::ShowMessage(
            m_browser,
            QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "获取笔记编辑器附件总大小失败！")));
        return 0;
    }
    if (pasted->total + existing > AttachAdder::MaxNoteAttachBytes) {
        AttachAdder::FilterOutcome limit;
        limit.passedLimit = true;
        AttachAdder::ShowMessage(m_browser, AttachAdder::FilterMessages(limit).constFirst());
        return 0;
    }
    if (pasted->files.empty())
        return 1;

    AttachCopy::nameClashingFiles(
        pasted->files, m_curNoteGuid,
        [this](std::vector<DropFileInfo> &files) { DoAttSameName(files); });
    for (std::size_t i = 0; i < pasted->files.size(); ++i) {
        const DropFileInfo &info = pasted->files[i];
        const bool picture = IsPicFileType(info.displayName);
        MAF_RESULT stored;
        if (!MoveAttFile(info, stored))
            return 0;
        result.sizes.push_back({stored.storeName, info.keptName, qint32(info.fileSize)});
        if (!picture)
            result.sizes.push_back({stored.showName, stored.showName, stored.showSize});
        result.replacements.push_back({FormatOrigNameToJson(pasted->records[i].origName),
                                       FormatOrigNameToJson(info.keptName), stored.showName});
        if (storedFiles)
            storedFiles->push_back(stored);
    }
    return 1;
}

void ZvWebNoteHandler::HandleCopyNotify()
{
    // After Control+C: act once the browser's copy is on the clipboard. A notification
    // forwarded by the host without the key acts on the clipboard as it is.
    if (auto *wait = static_cast<CopyNotifyWait *>(m_copyWait.data()))
        wait->runAfterChange([this] { copyAttachmentFilesOfSelection(); });
    else
        copyAttachmentFilesOfSelection();
}

void ZvWebNoteHandler::copyAttachmentFilesOfSelection()
{
    std::vector<NewAttachFile> records;
    QString text;
    AnalyHtmlDataFromClipboard(records, text);
    // Blanks between attachments on separate lines are no copied text.
    if (records.empty() || !text.trimmed().isEmpty())
        return;
    if (const std::optional<std::vector<QString>> paths = AttachCopy::copiedFilePaths(records))
        WriteClipboardFileList(*paths);
}

void ZvWebNoteHandler::AnalyHtmlDataFromClipboard(std::vector<NewAttachFile> &records,
                                                  QString &text)
{
    const QString html = clipboardHtml();
    // Nothing to parse is no error: a copy of plain text leaves no HTML at all.
    if (html.isEmpty()) {
        records.clear();
        text.clear();
        return;
    }
    ParseAttList(m_curNoteGuid, html, records, &text);
}

void ZvWebNoteHandler::AddAttachToClipboard(const std::vector<AttachFileInfo> &files)
{
    std::vector<QString> paths;
    for (const AttachFileInfo &file : files) {
        if (!file.filePath.isEmpty() && IsFileExist(file.filePath))
            paths.push_back(file.filePath);
    }
    WriteClipboardFileList(paths);
}

int ZvWebNoteHandler::OnCopyContent(const QString &html)
{
    QString converted;
    if (html.isEmpty() || !HtmlConvert(html, converted))
        return 0;
    WriteClipboardHtml(converted.toUtf8());
    return 1;
}

int ZvWebNoteHandler::OnCopyHtml(const QString &path)
{
    QString html;
    int version = 0;
    if (!NoteHtmlRW::ReadHtmlTextFromFile(path, html, version) || html.isEmpty())
        return 0;
    return OnCopyContent(html);
}

void ZvWebNoteHandler::ClearCopyData()
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->clear();
}

} // namespace TAVRIKCORE::RICHEDITOR
