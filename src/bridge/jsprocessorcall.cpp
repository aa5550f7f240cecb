// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/jsprocessorcall_p.h"

#include "bridge/jsontext_p.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "skin/iewebbrowser.h"

namespace TAVRIKCORE::RICHEDITOR {

std::optional<Json::Value> CallJsProcessor(IEWebBrowser *browser, const QString &method,
                                           const QString &argText, const JsProcessorLogLines &lines)
{
    CLog4C *log = CLog4C::GetInstance();
    QVariant result;
    if (!browser
        || browser->ExecJSFun(QStringLiteral("jsProcessor"), {method, argText}, result) != 0) {
        log->WriteLog(lines.callFailed.toString());
        return std::nullopt;
    }
    Json::Value reply;
    if (result.typeId() != QMetaType::QString
        || !Internal::ParseJsonObject(ToNarrow(result.toString()), reply)) {
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

} // namespace TAVRIKCORE::RICHEDITOR
