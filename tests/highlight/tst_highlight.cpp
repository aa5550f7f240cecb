// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The highlighter without a page: what it sends and what it refuses.
#include "bridge/zvwebnotehandler.h"
#include "fakebrowser.h"
#include "highlight/pagehighlighter_p.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// The page for the highlighter: records the scripts run in the application world.
struct HighlighterPage : FakeBrowser
{
    int ExecAppScript(const QString &expression, QVariant &result) override
    {
        scripts.append(expression);
        if (expression == u"!!window.tavrikHighlighter"_s)
            result = defined;
        else
            result = expression.startsWith(u"(function(){"_s) ? (defined = true) : 1;
        return 0;
    }
    QStringList scripts;
    bool defined = false;
};

TEST(Highlighter, AKeywordIsSentOnceAndOneTooLongIsRefusedBeforeThePage)
{
    HighlighterPage page;
    const QString longest(ZvWebNoteHandler::MaxHighlightKeywordLength, u'k');
    for (int round = 0; round < 2; ++round) {
        page.scripts.clear();
        EXPECT_EQ(Internal::MarkKeyword(page, longest), 1);
        EXPECT_EQ(page.scripts.filter(longest).size(), 1) << "round " << round;
        EXPECT_EQ(page.scripts.size(), round == 0 ? 3 : 2) << "the highlighter is sent once";
    }

    ZvWebNoteHandler handler;
    handler.SetIEWebBrowser(&page);
    page.scripts.clear();
    LogCapture log;
    EXPECT_EQ(handler.HighlightText(longest + u'k'), 0);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] HighlightText keyword too long: 257 characters, at most 256"_s});
    EXPECT_EQ(page.scripts, QStringList());
}

} // namespace
