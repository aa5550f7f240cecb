// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <json/value.h>

#include <functional>
#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

class IEWebBrowser;

// The three log lines of one call into the page. `refused` holds "%s" where the page's
// errmsg goes.
struct JsProcessorLogLines
{
    QStringView callFailed;
    QStringView badReply;
    QStringView refused;
};

// Calls the page's jsProcessor(method, argText) and reads its reply, a string holding a
// JSON object {"result":bool,"errmsg":text,...}. Gives the reply when the page accepted
// ("result" true). Otherwise writes one line of `lines` and gives nothing: callFailed when
// the call could not be made (also without a browser), badReply when the reply is not a
// string holding a JSON object, refused (with the errmsg) when "result" is false.
std::optional<Json::Value> CallJsProcessor(IEWebBrowser *browser, const QString &method,
                                           const QString &argText,
                                           const JsProcessorLogLines &lines);

// CallJsProcessor for each of `argTexts`, in order, in one run of the page (one wait): for
// each call, whether the page accepted it, each failure logged with `lines` as CallJsProcessor
// logs it.
std::vector<bool> CallJsProcessorEach(IEWebBrowser *browser, const QString &method,
                                      const std::vector<QString> &argTexts,
                                      const JsProcessorLogLines &lines);

// The same call for a reply whose string members `keys` may be megabytes long (a whole note):
// gives those members' texts, in the order of `keys`, as JsonText would, but read straight from
// the page's reply without a narrow copy. Empty for a member that is missing.
std::optional<std::vector<QString>>
CallJsProcessorForTexts(IEWebBrowser *browser, const QString &method, const QString &argText,
                        const JsProcessorLogLines &lines, const std::vector<const char *> &keys);

// CallJsProcessorForTexts without waiting (IEWebBrowser::ExecJSFunAsync): `done` gets what it
// would give, later, from Qt's own event loop. A page that has not answered within `timeoutMs`
// counts as a call that could not be made.
void CallJsProcessorForTextsAsync(IEWebBrowser *browser, const QString &method,
                                  const QString &argText, const JsProcessorLogLines &lines,
                                  const std::vector<const char *> &keys, int timeoutMs,
                                  std::function<void(std::optional<std::vector<QString>>)> done);

} // namespace TAVRIKCORE::RICHEDITOR
