// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "session/jsprocessorcall_p.h"

#include "common/jsontext_p.h"
#include "common/log4c.h"
#include "session/widejsonreader_p.h"
#include "skin/iewebbrowser.h"

#include <QStringEncoder>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// Largest narrow reply whose buffer is kept for the next call.
constexpr qsizetype KeptBufferLimit = 16 * 1024 * 1024;

// The reply as narrow text (UTF-8), in a buffer kept between calls: replies run to megabytes,
// and taking fresh memory for each costs more than the conversion itself. Valid until the
// next call.
QByteArrayView narrowReply(const QString &reply, QByteArray &scratch)
{
    static QByteArray kept; // user-interface thread only
    QStringEncoder utf8(QStringEncoder::Utf8);
    const qsizetype needed = utf8.requiredSpace(reply.size());
    QByteArray &buffer = needed <= KeptBufferLimit ? kept : scratch;
    if (buffer.size() < needed)
        buffer.resize(needed);
    const char *end = utf8.appendToBuffer(buffer.data(), reply);
    return QByteArrayView(buffer.constData(), end - buffer.constData());
}

struct Reply
{
    Json::Value object;
    std::vector<QString> texts; // of the wide keys
};

// Reads a reply of jsProcessor; `called` false means the call could not be made. The string
// members `wideKeys` come as texts read straight from the wide reply.
std::optional<Reply> readReply(bool called, const QVariant &result,
                               const JsProcessorLogLines &lines,
                               const std::vector<const char *> &wideKeys)
{
    CLog4C *log = CLog4C::GetInstance();
    if (!called) {
        log->WriteLog(lines.callFailed.toString());
        return std::nullopt;
    }
    Reply reply;
    bool parsed = false;
    std::vector<std::optional<QString>> wide(wideKeys.size());
    if (result.typeId() == QMetaType::QString) {
        const QString text = result.toString();
        Internal::WideJsonReader reader(text, wideKeys);
        if (reader.read(reply.object)) {
            parsed = true;
            wide = std::move(reader.texts());
        } else {
            QByteArray scratch;
            parsed = Internal::ParseJsonObject(narrowReply(text, scratch), reply.object);
        }
    }
    if (!parsed) {
        log->WriteLog(lines.badReply.toString());
        return std::nullopt;
    }
    if (!Internal::JsonBool(reply.object, "result")) {
        QString line = lines.refused.toString();
        log->WriteLog(
            line.replace(QStringLiteral("%s"), Internal::JsonText(reply.object, "errmsg")));
        return std::nullopt;
    }
    reply.texts.reserve(wideKeys.size());
    for (std::size_t i = 0; i < wideKeys.size(); ++i) {
        reply.texts.push_back(wide[i] ? std::move(*wide[i])
                                      : Internal::JsonText(reply.object, wideKeys[i]));
    }
    return reply;
}

std::optional<Reply> callAndRead(IEWebBrowser *browser, const QString &method,
                                 const QString &argText, const JsProcessorLogLines &lines,
                                 const std::vector<const char *> &wideKeys)
{
    QVariant result;
    const bool called = browser
        && browser->ExecJSFun(QStringLiteral("jsProcessor"), {method, argText}, result) == 0;
    return readReply(called, result, lines, wideKeys);
}

} // namespace

std::optional<Json::Value> CallJsProcessor(IEWebBrowser *browser, const QString &method,
                                           const QString &argText, const JsProcessorLogLines &lines)
{
    auto reply = callAndRead(browser, method, argText, lines, {});
    return reply ? std::optional<Json::Value>(std::move(reply->object)) : std::nullopt;
}

std::vector<bool> CallJsProcessorEach(IEWebBrowser *browser, const QString &method,
                                      const std::vector<QString> &argTexts,
                                      const JsProcessorLogLines &lines)
{
    std::vector<QVariantList> calls;
    calls.reserve(argTexts.size());
    for (const QString &argText : argTexts)
        calls.push_back({method, argText});
    std::vector<IEWebBrowser::ScriptResult> results;
    if (browser && !calls.empty())
        results = browser->ExecJSFunEach(QStringLiteral("jsProcessor"), calls);
    std::vector<bool> accepted;
    accepted.reserve(argTexts.size());
    for (std::size_t i = 0; i < argTexts.size(); ++i) {
        const bool called = i < results.size() && results[i].first == 0;
        accepted.push_back(
            readReply(called, called ? results[i].second : QVariant(), lines, {}).has_value());
    }
    return accepted;
}

std::optional<std::vector<QString>>
CallJsProcessorForTexts(IEWebBrowser *browser, const QString &method, const QString &argText,
                        const JsProcessorLogLines &lines, const std::vector<const char *> &keys)
{
    auto reply = callAndRead(browser, method, argText, lines, keys);
    return reply ? std::optional<std::vector<QString>>(std::move(reply->texts)) : std::nullopt;
}

void CallJsProcessorForTextsAsync(IEWebBrowser *browser, const QString &method,
                                  const QString &argText, const JsProcessorLogLines &lines,
                                  const std::vector<const char *> &keys, int timeoutMs,
                                  std::function<void(std::optional<std::vector<QString>>)> done)
{
    const auto finish = [lines, keys, done = std::move(done)](bool called, const QVariant &result) {
        auto reply = readReply(called, result, lines, keys);
        done(reply ? std::optional<std::vector<QString>>(std::move(reply->texts)) : std::nullopt);
    };
    if (!browser) {
        finish(false, QVariant());
        return;
    }
    browser->ExecJSFunAsync(
        QStringLiteral("jsProcessor"), {method, argText}, timeoutMs,
        [finish](int code, const QVariant &result) { finish(code == 0, result); });
}

} // namespace TAVRIKCORE::RICHEDITOR
