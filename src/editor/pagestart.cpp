// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/pagestart_p.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR::Internal {

void installPageStart(QWebEnginePage *page, int maxChars, bool readOnly)
{
    const QString name = u"tavrikStart"_s;
    QWebEngineScriptCollection &scripts = page->scripts();
    for (const QWebEngineScript &old : scripts.find(name))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(
        u"window.TavrikStart = Object.freeze({ maxChars: %1, readOnly: %2 });"_s.arg(maxChars).arg(
            readOnly ? u"true"_s : u"false"_s));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    scripts.insert(script);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
