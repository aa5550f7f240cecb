// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/pagerequestfilter_p.h"
#include "skin/scriptbridge_p.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

TEST(PageRules, OnlyThePageFolderTheStoreAndLocalSchemesMayLoad)
{
    const QStringList roots{u"/app/zveditor"_s, u"/app/userdata/attachment/"_s};
    const std::pair<const char *, bool> cases[]
        = {{"file:///app/zveditor/index.html", true},
           {"file:///app/zveditor", true},
           {"file:///app/zveditor/js/%E4%B8%AD.js", true},
           {"file:///app/userdata/attachment/n1/a%20b.png", true},
           {"file:///app/userdata/attachment/../attachment/x.png", true},
           {"file:///app/zveditor2/index.html", false},
           {"file:///app/zveditor/../secret.txt", false},
           {"file:///app/zveditor/%2E%2E/secret.txt", false},
           {"file:///app/userdata/notes.db", false},
           {"file:///etc/passwd", false},
           {"file://server/app/zveditor/index.html", false},
           {"qrc:///qtwebchannel/qwebchannel.js", false},
           {"qrc:///other/x.js", false},
           {"data:image/png;base64,AAAA", true},
           {"blob:file:///1234", true},
           {"about:blank", true},
           {"about:config", false},
           {"http://127.0.0.1/", false},
           {"https://example.com/a.png", false},
           {"ftp://example.com/", false},
           {"ws://localhost:9/", false},
           {"javascript:alert(1)", false},
           {"zorva://open", false},
           {"", false}};
    for (const auto &[url, allowed] : cases)
        EXPECT_EQ(IsAllowedPageUrl(QUrl(QString::fromUtf8(url)), roots), allowed) << url;
    EXPECT_FALSE(IsAllowedPageUrl(QUrl(u"file:///app/zveditor/index.html"_s), {}));
    EXPECT_FALSE(IsAllowedPageUrl(QUrl(u"file:///x"_s), {QString()}));
}

TEST(PageRules, ScriptNumbersBecomeIntWhenIntegralAndWithin32Bits)
{
    const std::pair<QVariant, QVariant> cases[]
        = {{QVariant(3.0), QVariant(3)},
           {QVariant(-0.0), QVariant(0)},
           {QVariant(2147483647.0), QVariant(2147483647)},
           {QVariant(-2147483648.0), QVariant(int(-2147483647 - 1))},
           {QVariant(2147483648.0), QVariant(2147483648.0)},
           {QVariant(-2147483649.0), QVariant(-2147483649.0)},
           {QVariant(1.5), QVariant(1.5)},
           {QVariant(qlonglong(42)), QVariant(42)},
           {QVariant(qlonglong(1) << 40), QVariant(double(qlonglong(1) << 40))},
           {QVariant(u"7"_s), QVariant(u"7"_s)},
           {QVariant(true), QVariant(true)},
           {QVariant(QVariantList{1.0}), QVariant(QVariantList{1.0})}};
    for (const auto &[in, out] : cases) {
        const QVariant normalized = NormalizeScriptValue(in);
        EXPECT_EQ(normalized.typeId(), out.typeId()) << in.toString().toStdString();
        EXPECT_EQ(normalized, out) << in.toString().toStdString();
    }
    const QVariant nan = NormalizeScriptValue(QVariant(std::nan("")));
    EXPECT_EQ(nan.typeId(), QMetaType::Double);
}
