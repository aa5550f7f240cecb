// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/jsprocessorcall_p.h"

#include "common/jsontext_p.h"
#include "common/log4c.h"
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

// Reads a reply of jsProcessor; `called` false means the call could not be made.
std::optional<Json::Value> readReply(bool called, const QVariant &result,
                                     const JsProcessorLogLines &lines)
{
    CLog4C *log = CLog4C::GetInstance();
    if (!called) {
        log->WriteLog(lines.callFailed.toString());
        return std::nullopt;
    }
    Json::Value reply;
    QByteArray scratch;
    if (result.typeId() != QMetaType::QString
        || !Internal::ParseJsonObject(narrowReply(result.toString(), scratch), reply)) {
        log->WriteLog(lines.badReply.toString());
        return std::nullopt;
    }
    if (!Internal::JsonBool(reply, "result")) {
        QString line = lines.refused.toString();
        log->WriteLog(line.replace(QStringLiteral("%s"), Internal::JsonText(reply, "errmsg")));
        return std::nullopt;
    }
    return reply;
}

} // namespace

std::optional<Json::Value> CallJsProcessor(IEWebBrowser *browser, const QString &method,
                                           const QString &argText, const JsProcessorLogLines &lines)
{
    QVariant result;
    const bool called = browser
        && browser->ExecJSFun(QStringLiteral("jsProcessor"), {method, argText}, result) == 0;
    return readReply(called, result, lines);
}

void CallJsProcessorAsync(IEWebBrowser *browser, const QString &method, const QString &argText,
                          const JsProcessorLogLines &lines, int timeoutMs,
                          std::function<void(std::optional<Json::Value>)> done)
{
    if (!browser) {
        done(readReply(false, QVariant(), lines));
        return;
    }
    browser->ExecJSFunAsync(QStringLiteral("jsProcessor"), {method, argText}, timeoutMs,
                            [lines, done = std::move(done)](int code, const QVariant &result) {
                                done(readReply(code == 0, result, lines));
                            });
}

} // namespace TAVRIKCORE::RICHEDITOR
