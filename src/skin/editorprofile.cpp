// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/editorprofile_p.h"

#include "common/commonutils.h"
#include "common/log4c.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <QWebEngineProfile>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

// The browser takes custom words of at most this many bytes.
constexpr qsizetype MaxWordBytes = 99;

struct ProfileState
{
    QTemporaryDir folder{QDir::tempPath() + u"/tavrik-browser-XXXXXX"_s};
    QWebEngineProfile *profile = nullptr;
    QStringList ignored; // this program's run only
};

ProfileState &state()
{
    static ProfileState s;
    return s;
}

QString dictionaryPath()
{
    return state().folder.path() + u"/Custom Dictionary.txt"_s;
}

void writeDictionary()
{
    QStringList words = EditorProfile::personalWords() + state().ignored;
    words.removeDuplicates();
    QSaveFile file(dictionaryPath());
    if (!file.open(QIODevice::WriteOnly)
        || file.write(words.join(u'\n').toUtf8() + (words.isEmpty() ? "" : "\n")) < 0
        || !file.commit())
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] EditorProfile, cannot write the spelling dictionary %1: %2"_s.arg(
                dictionaryPath(), file.errorString()));
}

bool isWord(const QString &word)
{
    if (word.isEmpty() || word.toUtf8().size() > MaxWordBytes)
        return false;
    return std::none_of(word.begin(), word.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

QWebEngineProfile *EditorProfile::get()
{
    ProfileState &s = state();
    if (!s.profile) {
        s.profile = new QWebEngineProfile(u"TavrikEditor"_s, QCoreApplication::instance());
        if (s.folder.isValid())
            s.profile->setPersistentStoragePath(s.folder.path());
        s.profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        s.profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        writeDictionary();
    }
    return s.profile;
}

QString EditorProfile::wordListPath()
{
    return GetAppDirectory() + u"userdata/spelling/words.txt"_s;
}

QStringList EditorProfile::personalWords()
{
    QFile file(wordListPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList words;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (isWord(word))
            words << word;
    }
    return words;
}

bool EditorProfile::addWord(const QString &word)
{
    if (!isWord(word)) {
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] EditorProfile, \"%1\" cannot be a dictionary word"_s.arg(word));
        return false;
    }
    if (personalWords().contains(word))
        return true;
    QDir().mkpath(QFileInfo(wordListPath()).path());
    QFile file(wordListPath());
    if (!file.open(QIODevice::Append) || file.write(word.toUtf8() + '\n') < 0 || !file.flush()) {
        CLog4C::GetInstance()->WriteLog(
            u"[ERROR] EditorProfile, cannot add \"%1\" to the word list %2: %3"_s.arg(
                word, wordListPath(), file.errorString()));
        return false;
    }
    reloadDictionary();
    return true;
}

void EditorProfile::ignoreWord(const QString &word)
{
    if (!isWord(word) || state().ignored.contains(word))
        return;
    state().ignored << word;
    reloadDictionary();
}

void EditorProfile::reloadDictionary()
{
    QWebEngineProfile *profile = get();
    writeDictionary();
    if (!profile->isSpellCheckEnabled())
        return;
    // The checker reads its custom words when it starts.
    const QStringList languages = profile->spellCheckLanguages();
    profile->setSpellCheckEnabled(false);
    profile->setSpellCheckLanguages({});
    profile->setSpellCheckLanguages(languages);
    profile->setSpellCheckEnabled(true);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
