// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/iewebbrowser.h"

#include "common/iprompts.h"
#include "common/jsontext_p.h"
#include "common/uilanguage.h"
#include "skin/browserpage_p.h"
#include "skin/editorprofile_p.h"
#include "skin/hresult.h"
#include "skin/iiedragnotify.h"
#include "skin/iieuinotify.h"
#include "skin/ijscallfunnotify.h"
#include "skin/scriptbridge_p.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>

#include <algorithm>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// A script call that has not answered after this long is given up (the page is hung).
constexpr int ScriptCallTimeoutMs = 60000;

// The page's own handling of drag events: answering E_NOTIMPL lets each event through to
// the browser.
class PageDropTarget final : public IIEDragNotify
{
public:
    long OnDragEnter(const QMimeData *, Qt::KeyboardModifiers, const QPoint &,
                     Qt::DropActions &) override
    {
        return E_NOTIMPL;
    }
    long OnDragOver(Qt::KeyboardModifiers, const QPoint &, Qt::DropActions &) override
    {
        return E_NOTIMPL;
    }
    long OnDragLeave() override { return E_NOTIMPL; }
    long OnDrop(const QMimeData *, Qt::KeyboardModifiers, const QPoint &,
                Qt::DropActions &) override
    {
        return E_NOTIMPL;
    }
};

struct ScriptReply
{
    bool done = false;
    QVariant value;
};

bool isScriptIdentifier(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool letter
            = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'$';
        if (!letter && (i == 0 || c < u'0' || c > u'9'))
            return false;
    }
    return true;
}

void appendScriptValue(QString &out, const QVariant &value)
{
    if (value.typeId() == QMetaType::QString) {
        Internal::appendJsonQuoted(out, value.toString());
        return;
    }
    const QByteArray json
        = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)}).toJson(QJsonDocument::Compact);
    out += QString::fromUtf8(json.mid(1, json.size() - 2));
}

// A call runs inside try/catch and answers [true, value] or [false, error text], so a
// missing function or a script error is told apart from a function that returns nothing.
constexpr QLatin1String GuardOpen("(function(){try{return [true,");
constexpr QLatin1String GuardClose("];}catch(e){return [false,String(e)];}})()");

QString guardedScript(const QString &expression)
{
    return GuardOpen + expression + GuardClose;
}

QString callScript(const QString &funName, const QVariantList &args)
{
    QString script;
    qsizetype size = funName.size() + GuardOpen.size() + GuardClose.size() + 2;
    for (const QVariant &arg : args)
        size += arg.typeId() == QMetaType::QString ? arg.toString().size() + 8 : 16;
    script.reserve(size);
    script += GuardOpen;
    script += funName;
    script += u'(';
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (i > 0)
            script += u',';
        appendScriptValue(script, args.at(i));
    }
    script += u')';
    script += GuardClose;
    return script;
}

// Reads the answer of a callScript call: true with the function's value; false when the
// function is missing or threw, or the answer is not one of callScript's.
bool readScriptReply(const QVariant &reply, QVariant &value)
{
    if (reply.typeId() != QMetaType::QVariantList)
        return false;
    const QVariantList answer = reply.toList();
    if (answer.size() != 2 || !answer.at(0).toBool())
        return false;
    value = answer.at(1);
    return true;
}

void applyDropEffect(QDropEvent *event, Qt::DropActions effect)
{
    if (effect & event->proposedAction()) {
        event->acceptProposedAction();
        return;
    }
    for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction}) {
        if (effect & action) {
            event->setDropAction(action);
            event->accept();
            return;
        }
    }
    event->ignore();
}

// A call into the page waiting in its own event loop until `deadline`.
struct PendingCall
{
    QEventLoop *loop;
    QDeadlineTimer deadline;
};

} // namespace

class IEWebBrowser::Private
{
public:
    QPointer<BrowserPage> page;
    QPointer<QWidget> innerWindow;
    IJSCallFunNotify *jsNotify = nullptr;
    IIEDragNotify *dragNotify = nullptr;
    IIEUINotify *uiNotify = nullptr;
    PageDropTarget pageDropTarget;
    std::vector<PendingCall> pendingCalls;
    std::vector<std::shared_ptr<AsyncCall>> asyncCalls;
    QUrl pageUrl;
    bool reloading = false;
    std::vector<std::pair<QPointer<QObject>, QEvent::Type>> heldEvents;
    QTimer *callWatchdog = nullptr;
    int id = 0;
    bool pageLoaded = false;
};

IEWebBrowser::IEWebBrowser(QWidget *parent) : QWebEngineView(parent), d(std::make_unique<Private>())
{ }

IEWebBrowser::~IEWebBrowser()
{
    // Calls still waiting for the page return as failed once control gets back to them.
    for (const PendingCall &call : d->pendingCalls)
        call.loop->quit();
    if (d->innerWindow)
        d->innerWindow->removeEventFilter(this);
    d->jsNotify = nullptr;
    d->dragNotify = nullptr;
    d->uiNotify = nullptr;
    // The page must go before the view it belongs to.
    delete d->page.data();
}

int IEWebBrowser::Create(QWidget *parent, const QRect &rect, int id, int style)
{
    if (d->page)
        return 0;
    if (parent)
        setParent(parent);
    setGeometry(rect);
    d->id = id;

    d->callWatchdog = new QTimer(this);
    d->callWatchdog->setInterval(1000);
    connect(d->callWatchdog, &QTimer::timeout, this, [this] { endPendingCalls(true); });

    // The page shows its own labels in the editor's language, which it reads as the browser's.
    if (const QString language = UiLanguage::Current(); !language.isEmpty())
        Internal::EditorProfile::get()->setHttpAcceptLanguage(QLocale(language).bcp47Name());
    auto *page = new BrowserPage(Internal::EditorProfile::get(), this);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this] { endPendingCalls(false); });
    connect(page, &QObject::destroyed, this, [this] { endPendingCalls(false); });
    auto *channel = new QWebChannel(page);
    channel->registerObject(QString::fromLatin1(BridgeObjectId), new ScriptBridge(this, channel));
    InstallWebChannel(page, channel);
    connect(page, &QWebEnginePage::loadStarted, this, &IEWebBrowser::hookInnerWindow);
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        hookInnerWindow();
        if (ok && !d->pageLoaded) {
            d->pageLoaded = true;
            Q_EMIT firstLoadFinished();
        }
    });
    setPage(page);
    d->page = page;
    if (style & StyleVisible)
        show();
    return 1;
}

int IEWebBrowser::Navigate2(const QString &path)
{
    if (!d->page || d->pageLoaded)
        return 0;
    QString local = path;
    local.replace(u'\\', u'/');
    const QUrl url = local.startsWith(u"file:") ? QUrl(local) : QUrl::fromLocalFile(local);
    if (!url.isLocalFile() || url.toLocalFile().isEmpty())
        return 0;
    const QFileInfo file(QDir::cleanPath(url.toLocalFile()));
    d->page->setPageFolder(file.absolutePath());
    d->pageUrl = QUrl::fromLocalFile(file.absoluteFilePath());
    d->page->load(d->pageUrl);
    return 1;
}

int IEWebBrowser::ExecJSFun(const QString &funName, const QVariantList &args, QVariant &result)
{
    // No log line here: each caller writes the one its call defines (or none).
    if (!d->page || !isScriptIdentifier(funName))
        return 1;
    return runScriptAndWait(callScript(funName, args), QWebEngineScript::MainWorld, result);
}

std::vector<IEWebBrowser::ScriptResult>
IEWebBrowser::ExecJSFunEach(const QString &funName, const std::vector<QVariantList> &calls)
{
    std::vector<ScriptResult> results;
    results.reserve(calls.size());
    if (!d->page) {
        for (const QVariantList &args : calls) {
            QVariant value;
            const int code = ExecJSFun(funName, args, value);
            results.emplace_back(code, value);
        }
        return results;
    }
    QVariant answers;
    QString script;
    for (const QVariantList &args : calls)
        script += (script.isEmpty() ? QString() : QStringLiteral(",")) + callScript(funName, args);
    const bool ran = isScriptIdentifier(funName)
        && runScriptAndWait(guardedScript(u'[' + script + u']'), QWebEngineScript::MainWorld,
                            answers)
            == 0;
    const QVariantList replies = ran ? answers.toList() : QVariantList();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        QVariant value;
        const bool ok = qsizetype(i) < replies.size() && readScriptReply(replies.at(i), value);
        results.emplace_back(ok ? 0 : 1, value);
    }
    return results;
}

int IEWebBrowser::ExecAppScript(const QString &expression, QVariant &result)
{
    if (!d->page)
        return 1;
    return runScriptAndWait(guardedScript(expression), QWebEngineScript::ApplicationWorld, result);
}

int IEWebBrowser::runScriptAndWait(const QString &script, quint32 worldId, QVariant &result)
{
    auto reply = std::make_shared<ScriptReply>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QPointer<IEWebBrowser> self(this);
    d->pendingCalls.push_back({&loop, QDeadlineTimer(ScriptCallTimeoutMs)});
    if (!d->callWatchdog->isActive())
        d->callWatchdog->start();
    d->page->runJavaScript(script, worldId, [reply, waiting](const QVariant &value) {
        reply->done = true;
        reply->value = value;
        if (waiting)
            waiting->quit();
    });
    // The page may call native code while this waits; those calls run here, and may even
    // call the page again or destroy this view.
    if (!reply->done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!self)
        return 1;
    std::erase_if(d->pendingCalls, [&loop](const PendingCall &call) { return call.loop == &loop; });
    if (d->pendingCalls.empty())
        releaseHeldEvents();
    // Gone, hung, or the function is missing or threw (answered [false, error]).
    return d->page && reply->done && readScriptReply(reply->value, result) ? 0 : 1;
}

struct IEWebBrowser::AsyncCall
{
    ScriptReplyHandler done;
    bool finished = false;
};

bool IEWebBrowser::IsCallingScript() const
{
    return !d->pendingCalls.empty();
}

int IEWebBrowser::windowId() const
{
    return d->id;
}

bool IEWebBrowser::isPageLoaded() const
{
    return d->pageLoaded;
}

void IEWebBrowser::ExecJSFunAsync(const QString &funName, const QVariantList &args, int timeoutMs,
                                  ScriptReplyHandler done)
{
    auto call = std::make_shared<AsyncCall>();
    call->done = std::move(done);
    if (!d->page || !isScriptIdentifier(funName)) {
        finishAsyncCall(call, 1, QVariant());
        return;
    }
    d->asyncCalls.push_back(call);
    QPointer<IEWebBrowser> self(this);
    d->page->runJavaScript(callScript(funName, args), QWebEngineScript::MainWorld,
                           [self, call](const QVariant &reply) {
                               QVariant value;
                               const bool ok = readScriptReply(reply, value);
                               if (self)
                                   self->finishAsyncCall(call, ok ? 0 : 1, value);
                           });
    QTimer::singleShot(timeoutMs, this, [this, call] { finishAsyncCall(call, 1, QVariant()); });
}

void IEWebBrowser::finishAsyncCall(const std::shared_ptr<AsyncCall> &call, int code,
                                   const QVariant &value)
{
    if (call->finished)
        return;
    call->finished = true;
    std::erase(d->asyncCalls, call);
    // The engine hands script results over inside its own dispatch, where a receiver that
    // calls the page again or opens a modal window would stall it.
    QMetaObject::invokeMethod(
        this, [call, code, value] { call->done(code, value); }, Qt::QueuedConnection);
}

int IEWebBrowser::ReloadPage()
{
    if (!d->page || d->pageUrl.isEmpty())
        return 0;
    d->reloading = true;
    d->page->load(d->pageUrl);
    return 1;
}

bool IEWebBrowser::takeReloadRequest(const QUrl &url)
{
    if (!d->reloading || url != d->pageUrl)
        return false;
    d->reloading = false;
    return true;
}

void IEWebBrowser::PostAfterScriptCalls(QObject *receiver, QEvent::Type type)
{
    if (IsCallingScript())
        d->heldEvents.emplace_back(receiver, type);
    else if (receiver)
        QCoreApplication::postEvent(receiver, new QEvent(type));
}

void IEWebBrowser::releaseHeldEvents()
{
    const auto held = std::exchange(d->heldEvents, {});
    for (const auto &[receiver, type] : held) {
        if (receiver)
            QCoreApplication::postEvent(receiver, new QEvent(type));
    }
}

void IEWebBrowser::endPendingCalls(bool expiredOnly)
{
    for (const PendingCall &call : d->pendingCalls) {
        if (!expiredOnly || call.deadline.hasExpired())
            call.loop->quit();
    }
    if (!expiredOnly) {
        for (const auto &call : std::vector(d->asyncCalls))
            finishAsyncCall(call, 1, QVariant());
    }
    if (d->pendingCalls.empty())
        d->callWatchdog->stop();
}

QObject *IEWebBrowser::GetHTMLDocument2()
{
    return nullptr;
}

QWidget *IEWebBrowser::GetWebBrowseHwnd() const
{
    return d->page ? focusProxy() : nullptr;
}

void IEWebBrowser::SetJSCallFunNotify(IJSCallFunNotify *notify)
{
    d->jsNotify = notify;
}

void IEWebBrowser::SetIEDragNotify(IIEDragNotify *notify)
{
    d->dragNotify = notify;
    if (notify)
        notify->SetPageDropTarget(&d->pageDropTarget);
}

void IEWebBrowser::SetIEUINotify(IIEUINotify *notify)
{
    d->uiNotify = notify;
}

bool IEWebBrowser::event(QEvent *event)
{
    const bool handled = QWebEngineView::event(event);
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
        hookInnerWindow();
        break;
    default:
        break;
    }
    return handled;
}

namespace {

// Whether an enabled action of the window around `view` has the key as its shortcut. Keys
// without Control, Alt or Meta that are not function keys are typing, never asked about.
bool windowHasShortcut(const QWidget *view, const QKeyEvent *key)
{
    const bool functionKey = key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35;
    if (!functionKey
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QKeySequence sequence(key->keyCombination());
    const QList<QAction *> actions = view->window()->findChildren<QAction *>();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction *action) {
        return action->isEnabled() && action->shortcutContext() != Qt::WidgetShortcut
            && action->shortcuts().contains(sequence);
    });
}

} // namespace

bool IEWebBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d->innerWindow.data()) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (d->uiNotify
                && d->uiNotify->OnTranslateAccelerator(static_cast<QKeyEvent *>(event)) == S_OK)
                return true;
            break;
        case QEvent::ShortcutOverride:
            // The host window's own shortcuts win over the browser's editing keys (Ctrl+Shift+A,
            // a capture in the demo, is also the browser's "deselect").
            if (windowHasShortcut(this, static_cast<QKeyEvent *>(event))) {
                event->ignore();
                return true;
            }
            if (d->uiNotify
                && d->uiNotify->OnTranslateAccelerator(static_cast<QKeyEvent *>(event)) == S_OK) {
                event->accept(); // the key press comes to this filter, not to a shortcut
                return true;
            }
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            if (filterDragEvent(event))
                return true;
            break;
        default:
            break;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

void IEWebBrowser::contextMenuEvent(QContextMenuEvent *event)
{
    if (d->uiNotify
        && d->uiNotify->ShowContextMenu(0, event->globalPos(), d->page, lastContextMenuRequest())
            == S_OK) {
        event->accept();
        return;
    }
    QWebEngineView::contextMenuEvent(event);
}

void IEWebBrowser::hookInnerWindow()
{
    QWidget *inner = d->page ? focusProxy() : nullptr;
    if (inner == d->innerWindow.data())
        return;
    if (d->innerWindow)
        d->innerWindow->removeEventFilter(this);
    d->innerWindow = inner;
    if (inner) {
        inner->installEventFilter(this);
        Q_EMIT innerWindowChanged(inner);
    }
}

bool IEWebBrowser::filterDragEvent(QEvent *event)
{
    if (!d->dragNotify)
        return false;
    if (event->type() == QEvent::DragLeave)
        return d->dragNotify->OnDragLeave() == S_OK;

    auto *drop = static_cast<QDropEvent *>(event);
    const QPoint point = d->innerWindow->mapToGlobal(drop->position().toPoint());
    Qt::DropActions effect = drop->possibleActions();
    long answer = E_NOTIMPL;
    switch (event->type()) {
    case QEvent::DragEnter:
        answer = d->dragNotify->OnDragEnter(drop->mimeData(), drop->modifiers(), point, effect);
        break;
    case QEvent::DragMove:
        answer = d->dragNotify->OnDragOver(drop->modifiers(), point, effect);
        break;
    default:
        answer = d->dragNotify->OnDrop(drop->mimeData(), drop->modifiers(), point, effect);
        break;
    }
    if (answer != S_OK)
        return false;
    applyDropEffect(drop, effect);
    return true;
}

void IEWebBrowser::deliverPageCall(const QString &functionName, const QVariantList &arguments)
{
    // Run the call from Qt's own event loop, not from inside the engine's message dispatch:
    // the receiver may call the page again or open a modal window, and the engine cannot
    // deliver script results to an event loop nested inside its dispatch.
    QMetaObject::invokeMethod(
        this,
        [this, functionName, arguments] {
            if (!d->jsNotify)
                return;
            const int funId = d->jsNotify->OnGetFunId(functionName);
            if (funId == -1)
                return;
            QVariantList reversed;
            reversed.reserve(arguments.size());
            for (auto it = arguments.crbegin(); it != arguments.crend(); ++it)
                reversed.append(NormalizeScriptValue(*it));
            QVariant result;
            d->jsNotify->OnExecuteFun(funId, reversed, result, QString());
        },
        Qt::QueuedConnection);
}

bool IEWebBrowser::showPageMessage(const QString &text, int type)
{
    const QString caption = QGuiApplication::applicationDisplayName();
    if (d->uiNotify && d->uiNotify->ShowMessage(this, text, caption, type) == S_OK)
        return false;
    const QMessageBox::StandardButtons buttons = type == IIEUINotify::MessageOkCancel
        ? QMessageBox::Ok | QMessageBox::Cancel
        : QMessageBox::StandardButtons(QMessageBox::Ok);
    return IPrompts::instance()->messageBox(this, text, caption, buttons) == QMessageBox::Ok;
}

void IEWebBrowser::PrepareProcess()
{
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace TAVRIKCORE::RICHEDITOR
