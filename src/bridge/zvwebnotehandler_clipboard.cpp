// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler's members for the keyboard hook and for copy and paste with attachments. The
// flows live in NoteClipboard, the decisions in AttachCopy.
#include "bridge/zvwebnotehandler.h"

#include "bridge/editorevents.h"
#include "bridge/keystate_p.h"
#include "bridge/zvwebnotehandler_p.h"
#include "clipboard/clipboardformats_p.h"
#include "clipboard/copynotifywait_p.h"
#include "clipboard/noteclipboard_p.h"
#include "common/commonutils.h"
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
            return Internal::NoteClipboard::pasteIsTaken(readOnly, browser);
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
        return takesKey(*message, d->session.readOnly(), d->browser()) ? S_OK : E_NOTIMPL;
    if (!d->keysDown)
        d->keysDown = std::make_shared<Internal::TrackedKeys>();
    d->keysDown->track(*message);
    const bool keyDown = message->type() == QEvent::KeyPress;
    if (keyDown && d->keysDown->isDown(Qt::Key_F5, *message))
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
        if (!d->keysDown->isDown(entry.key, *message))
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
    QWidget *inner = d->browser() ? d->browser()->GetWebBrowseHwnd() : nullptr;
    if (!inner)
        return E_NOTIMPL;
    // A newer copy replaces a wait still pending.
    delete d->copyWait;
    d->copyWait = new CopyNotifyWait(d->browser());
    QCoreApplication::postEvent(inner, new QEvent(CopyNotifyEvent));
    return E_NOTIMPL;
}

long ZvWebNoteHandler::DoCtrlV()
{
    if (!Internal::NoteClipboard::pasteIsTaken(d->session.readOnly(), d->browser()))
        return E_NOTIMPL;
    if (Internal::NoteClipboard::offersFiles())
        return DoCopyClipboardFile();
    // The paste waits for the page several times: it runs once this key has been handled,
    // from Qt's own event loop, not inside the browser's delivery of the key.
    QTimer::singleShot(0, d->browser(), [this] { DoCopyClipboardHtml(); });
    return S_OK;
}

long ZvWebNoteHandler::DoCtrlD()
{
    IEWebBrowser *browser = d->browser();
    if (d->session.readOnly() || !browser)
        return E_NOTIMPL;
    if (QWidget *inner = browser->GetWebBrowseHwnd())
        inner->setFocus(Qt::ShortcutFocusReason);
    // After this key has been handled, as a posted command would run.
    QTimer::singleShot(0, browser, [browser] { browser->triggerPageAction(QWebEnginePage::Cut); });
    return S_OK;
}

long ZvWebNoteHandler::DoCopyClipboardFile()
{
    return Internal::NoteClipboard(d->session, d->page).pasteFiles() ? S_OK : E_NOTIMPL;
}

long ZvWebNoteHandler::DoCopyClipboardHtml()
{
    return Internal::NoteClipboard(d->session, d->page).pasteHtml() ? S_OK : E_NOTIMPL;
}

int ZvWebNoteHandler::DoCopyLogic(const std::vector<NewAttachFile> &records,
                                  CopyLogicResult &result)
{
    return Internal::NoteClipboard(d->session, d->page).copyFiles(records, result, nullptr);
}

void ZvWebNoteHandler::HandleCopyNotify()
{
    // After Control+C: act once the browser's copy is on the clipboard. A notification
    // forwarded by the host without the key acts on the clipboard as it is.
    const auto copyFiles = [this] {
        Internal::NoteClipboard(d->session, d->page).copySelectionFiles();
    };
    if (auto *wait = static_cast<CopyNotifyWait *>(d->copyWait.data()))
        wait->runAfterChange(copyFiles);
    else
        copyFiles();
}

void ZvWebNoteHandler::AnalyHtmlDataFromClipboard(std::vector<NewAttachFile> &records,
                                                  QString &text)
{
    Internal::NoteClipboard(d->session, d->page).clipboardRecords(records, text);
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
