// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QEvent>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QWebEngineView>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class IIEDragNotify;
class IIEUINotify;
class IJSCallFunNotify;
class BrowserPage;

// The browser host window: a web view that runs the editor page, lets the page call native
// code through one published bridge object, calls the page's script synchronously, and
// hands keyboard, context-menu, message-box and drag events to the registered receivers.
//
// The view is locked down: once the first page has loaded it never navigates again, the
// page opens no windows, and only files under the page's folder and the attachment store
// may be loaded (no network, no other files, no unknown schemes).
class TAVRIK_EXPORT IEWebBrowser : public QWebEngineView
{
    Q_OBJECT

public:
    // Id under which the bridge object is published to the page.
    static constexpr const char *BridgeObjectId = "tavrikBridge";
    // Style bit that makes Create show the window.
    static constexpr int StyleVisible = 0x10000000;

    // Prepares the process for the browser; call it before the QApplication exists. Chromium
    // refuses to start its sandbox as root, so for root the sandbox is turned off (with
    // "--no-sandbox --disable-gpu" unless QTWEBENGINE_CHROMIUM_FLAGS is already set), and
    // OpenGL contexts are shared as QtWebEngine needs.
    static void PrepareProcess();

    explicit IEWebBrowser(QWidget *parent = nullptr);
    ~IEWebBrowser() override;

    // Creates the page and places the view in `parent` at `rect`; `id` is kept as the
    // window's id and the view is shown when `style` has StyleVisible. Non-zero on success,
    // 0 when the view was already created.
    virtual int Create(QWidget *parent, const QRect &rect, int id, int style);

    // Loads the page file at `path` (a local path or a file URL). Its folder becomes the
    // page folder the view may load from. Non-zero when the load was started; 0 before
    // Create, after the first page has loaded, or for anything but a local file.
    virtual int Navigate2(const QString &path);

    // Calls the page's global script function `funName` with `args` (first item first) and
    // waits for it to return. 0 on success with the function's return value in `result`;
    // non-zero when there is no page, the function is missing or throws, or the page goes
    // away during the call; no log line, the caller writes the one its call defines. The page may
    // call native code meanwhile (those calls run inside this one); user input waits until the call
    // returns.
    virtual int ExecJSFun(const QString &funName, const QVariantList &args, QVariant &result);
    // Calls `funName` once with each argument list of `calls`, in order, in one script run, and
    // waits once for them all. `results` gets one entry per call: 0 and the function's return
    // value, or non-zero as ExecJSFun gives it. A view without a page of the engine (a stand-in
    // answering ExecJSFun itself) makes one ExecJSFun call per list.
    using ScriptResult = std::pair<int, QVariant>;
    virtual std::vector<ScriptResult> ExecJSFunEach(const QString &funName,
                                                    const std::vector<QVariantList> &calls);
    // Evaluates the script `expression` in the application world, an isolated world the
    // page's own scripts and the note cannot see into, and waits for its value as ExecJSFun
    // does (0 on success). The world shares the page's document but not its script globals,
    // so what the library keeps there cannot be called or forged.
    virtual int ExecAppScript(const QString &expression, QVariant &result);
    // What ExecJSFunAsync hands over: 0 and the function's return value, or non-zero.
    using ScriptReplyHandler = std::function<void(int code, const QVariant &result)>;
    // Calls the page's global script function `funName` with `args` like ExecJSFun, without
    // waiting for it: `done` runs later, from Qt's own event loop, with 0 and the function's
    // return value, or non-zero when there is no page, the function is missing or throws, the
    // page goes away, or it has not answered within `timeoutMs`. It does not run once this
    // view is gone. Writes no log line: the caller says what failed.
    void ExecJSFunAsync(const QString &funName, const QVariantList &args, int timeoutMs,
                        ScriptReplyHandler done);

    // Loads the page again after its renderer stopped or its first load failed; once loaded
    // the view stays locked as before. 0 before Create or without a page location.
    int ReloadPage();

    // True while an ExecJSFun call waits for the page.
    bool IsCallingScript() const;
    // Posts an event of `type` to `receiver` once no ExecJSFun call waits any more (at once
    // when none does), so that a message meant for after the current call is not handled
    // inside it.
    void PostAfterScriptCalls(QObject *receiver, QEvent::Type type);

    // The page document. Native code has no access to the page's document here, so this is
    // always null; the page is reached through ExecJSFun.
    virtual QObject *GetHTMLDocument2();

    // The browser's inner window: the widget that takes the keyboard focus and the drag
    // events. Null until the page's first load has started (the engine creates it then).
    virtual QWidget *GetWebBrowseHwnd() const;

    // Register the receivers of page calls, drag events and user-interface hooks. Set them
    // before the page loads; a null pointer unregisters.
    void SetJSCallFunNotify(IJSCallFunNotify *notify);
    void SetIEDragNotify(IIEDragNotify *notify);
    void SetIEUINotify(IIEUINotify *notify);

    // The id given to Create.
    int windowId() const;
    // True once the first page load has finished.
    bool isPageLoaded() const;

Q_SIGNALS:
    // The first page has loaded successfully (emitted once).
    void firstLoadFinished();
    // The browser replaced its inner window (GetWebBrowseHwnd), as it does when it starts a
    // new renderer; hooks on the old one no longer see anything.
    void innerWindowChanged(QWidget *window);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    friend class BrowserPage;
    friend class ScriptBridge;

    class Private;
    struct AsyncCall;

    int runScriptAndWait(const QString &script, quint32 worldId, QVariant &result);
    void endPendingCalls(bool expiredOnly);
    void finishAsyncCall(const std::shared_ptr<AsyncCall> &call, int code, const QVariant &value);
    void releaseHeldEvents();
    void hookInnerWindow();
    bool filterDragEvent(QEvent *event);
    void deliverPageCall(const QString &functionName, const QVariantList &arguments);
    bool showPageMessage(const QString &text, int type);
    // Whether a main-frame navigation to `url` is the reload ReloadPage asked for; the request
    // is used up by it.
    bool takeReloadRequest(const QUrl &url);

    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
