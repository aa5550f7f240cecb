// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/uilanguage.h"

#include "common/log4c.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct Catalogues
{
    QString language;
    QStringList names{u"tavrikeditor"_s};
    std::vector<std::unique_ptr<QTranslator>> installed;
};

Catalogues &catalogues()
{
    static Catalogues state;
    return state;
}

QString shippedLanguage(const QString &requested)
{
    QLocale locale = QLocale::system();
    if (!requested.isEmpty())
        locale = QLocale(requested);
    else if (qEnvironmentVariableIsSet("TAVRIK_LANGUAGE"))
        locale = QLocale(qEnvironmentVariable("TAVRIK_LANGUAGE"));
    return locale.language() == QLocale::Chinese ? u"zh_CN"_s : u"en"_s;
}

bool install(Catalogues &state, const QString &file)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file))
        return false;
    QCoreApplication::installTranslator(translator.get());
    state.installed.push_back(std::move(translator));
    return true;
}

void installCatalogue(Catalogues &state, const QString &name)
{
    const QString file = u":/i18n/"_s + name + u'_' + state.language + u".qm"_s;
    if (!install(state, file))
        CLog4C::GetInstance()->WriteLog(u"[ERROR] cannot load the translations "_s + file);
}

} // namespace

QString UiLanguage::Set(const QString &language)
{
    Reset();
    Catalogues &state = catalogues();
    state.language = shippedLanguage(language);
    for (const QString &name : std::as_const(state.names))
        installCatalogue(state, name);
    // Qt's own texts (the buttons of message boxes, file dialogs) when Qt's translations are
    // installed; English needs none.
    if (state.language != u"en")
        install(state,
                QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_"_s + state.language
                    + u".qm"_s);
    return state.language;
}

void UiLanguage::Reset()
{
    Catalogues &state = catalogues();
    for (const auto &translator : state.installed)
        QCoreApplication::removeTranslator(translator.get());
    state.installed.clear();
    state.language.clear();
}

QString UiLanguage::Current()
{
    return catalogues().language;
}

void UiLanguage::AddCatalogue(const QString &name)
{
    Catalogues &state = catalogues();
    if (state.names.contains(name))
        return;
    state.names.append(name);
    if (!state.language.isEmpty())
        installCatalogue(state, name);
}

QString UiLanguage::Translate(const char *context, const QString &source, const QString &arg)
{
    const QString text = QCoreApplication::translate(context, source.toUtf8().constData());
    return text.contains(u"%1"_s) ? text.arg(arg) : text;
}

} // namespace TAVRIKCORE::RICHEDITOR
