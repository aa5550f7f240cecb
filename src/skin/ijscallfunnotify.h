// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace TAVRIKCORE::RICHEDITOR {

// Receives the calls the page makes into native code (see IEWebBrowser::SetJSCallFunNotify).
class IJSCallFunNotify
{
public:
    virtual ~IJSCallFunNotify() = default;

    // The id of a function name the page may call, or -1 when the name is unknown.
    virtual int OnGetFunId(const QString &name) = 0;

    // Runs function `funId`. `arguments` holds the script arguments in reverse order (the
    // last script argument first). `result` is what the call gives back; the page sees
    // nothing of it. Answers an HRESULT-style code.
    virtual long OnExecuteFun(int funId, const QVariantList &arguments, QVariant &result,
                              const QString &text)
        = 0;
};

} // namespace TAVRIKCORE::RICHEDITOR
