// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "skin/iewebbrowser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <deque>
#include <map>
#include <optional>
#include <vector>

// A browser without a page, for handler tests: records every page call (the function, and the
// method and argument text it was given) and answers with the replies queued for that method,
// oldest first; an empty optional fails the call. Without a queued reply GetEditorContent gives
// `html` as the note and every other method accepts.
class FakeBrowser : public TAVRIKCORE::RICHEDITOR::IEWebBrowser
{
public:
    QString html;
    std::map<QString, std::deque<std::optional<QVariant>>> replies;
    QStringList functions;
    std::vector<QVariantList> calls;
    QWidget inner;

    int ExecJSFun(const QString &function, const QVariantList &args, QVariant &result) override
    {
        functions.append(function);
        calls.push_back(args);
        const QString method = args.value(0).toString();
        std::optional<QVariant> reply = QVariant(u"{\"result\":true,\"errmsg\":\"\"}"_qs);
        if (std::deque<std::optional<QVariant>> &queued = replies[method]; !queued.empty()) {
            reply = queued.front();
            queued.pop_front();
        } else if (method == u"GetEditorContent") {
            const QByteArray note = QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact);
            reply = QString(u"{\"result\":true,\"errmsg\":\"\",\"ehtml\":"_qs
                            + QString::fromUtf8(note.mid(1, note.size() - 2))
                            + u",\"etext\":\"\"}"_qs);
        }
        if (reply)
            result = *reply;
        return reply ? 0 : 1;
    }
    QWidget *GetWebBrowseHwnd() const override { return const_cast<QWidget *>(&inner); }

    // The argument texts `method` was called with, in order.
    QStringList argsOf(const QString &method) const
    {
        QStringList texts;
        for (const QVariantList &args : calls) {
            if (args.value(0).toString() == method)
                texts.append(args.value(1).toString());
        }
        return texts;
    }
};
