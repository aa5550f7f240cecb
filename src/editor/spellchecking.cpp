// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/spellchecking_p.h"

#include "common/log4c.h"
#include "skin/editorprofile_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>
#include <QWebEngineProfile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

const auto DictionaryFolderName = u"qtwebengine_dictionaries"_s;

} // namespace

// The same places, in the same order, as the engine looks.
QString SpellChecking::dictionaryFolder()
{
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DICTIONARIES_PATH")) {
        const QString folder = qEnvironmentVariable("QTWEBENGINE_DICTIONARIES_PATH");
        return QFileInfo(folder).isDir() ? folder : QString();
    }
    for (const QString &base :
         {QCoreApplication::applicationDirPath(), QLibraryInfo::path(QLibraryInfo::DataPath)}) {
        const QString folder = base + u'/' + DictionaryFolderName;
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}

std::vector<QString> SpellChecking::availableLanguages()
{
    const QString folder = dictionaryFolder();
    if (folder.isEmpty())
        return {};
    std::vector<QString> languages;
    const QFileInfoList files
        = QDir(folder).entryInfoList({u"*.bdic"_s}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        if (file.size() > 0)
            languages.push_back(file.completeBaseName());
    }
    return languages;
}

std::vector<QString> SpellChecking::use(const std::vector<QString> &languages)
{
    const std::vector<QString> available = availableLanguages();
    QStringList chosen;
    QStringList missing;
    for (const QString &language : languages) {
        if (chosen.contains(language) || missing.contains(language))
            continue;
        if (std::find(available.begin(), available.end(), language) != available.end())
            chosen << language;
        else
            missing << language;
    }
    if (!missing.isEmpty()) {
        const QString folder = dictionaryFolder();
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] CZorvaEditorImpl::SetSpellCheckLanguages, no spelling dictionary for %1 in "
            u"%2; "
            "no spell checking in it"_s.arg(missing.join(u", "_s),
                                            folder.isEmpty() ? DictionaryFolderName : folder));
    }
    QWebEngineProfile *profile = EditorProfile::get();
    if (!chosen.isEmpty())
        profile->setSpellCheckLanguages(chosen);
    profile->setSpellCheckEnabled(!chosen.isEmpty());
    return languagesInUse();
}

std::vector<QString> SpellChecking::languagesInUse()
{
    const QWebEngineProfile *profile = EditorProfile::get();
    if (!profile->isSpellCheckEnabled())
        return {};
    const QStringList languages = profile->spellCheckLanguages();
    return {languages.begin(), languages.end()};
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
