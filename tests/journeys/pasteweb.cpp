// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Pasting from the web with Ctrl+V from the X clipboard: a hostile page that would cover the
// editor and call home, a 2 MB page, and a paste past the character limit.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "bridge/zvwebnotehandler.h"
#include "editor/czorvaeditorimpl.h"
#include "testhelpers.h"

#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;

namespace {

constexpr int LargePasteTimeoutMs = 180000;

// Waits for the page's answer to `script` longer than a journey's usual wait: a large paste
// keeps the page busy for a while.
QVariant slowJs(QWebEnginePage *page, const QString &script)
{
    bool done = false;
    QVariant value;
    page->runJavaScript(script, 0, [&](const QVariant &result) {
        value = result;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, LargePasteTimeoutMs)) << "the page hung";
    return value;
}

// A page that puts a white layer over the whole window and asks `remote` for a script, a
// style sheet, a picture and a background.
QByteArray hostilePage(const QString &remote)
{
    return (u"<html><head><style>body{display:none}</style><link rel=\"stylesheet\" href=\""_s
            + remote + u"a.css\"><script src=\""_s + remote
            + u"a.js\"></script></head><body>"
              "<div style=\"position:fixed;top:0;left:0;width:100vw;height:100vh;"
              "z-index:2147483647;background:#fff;cursor:pointer\" onclick=\"alert(1)\">"
              "Claim your prize</div>"
              "<p style=\"background:url("_s
            + remote + u"bg.png) #ffc;font-weight:bold\">Article text</p><img src=\""_s + remote
            + u"pixel.gif\"><img src=\"x\" onerror=\"alert(2)\"></body></html>"_s)
        .toUtf8();
}

// About `bytes` of the markup a long web page pastes: headings, bullets, tables, paragraphs.
QByteArray largePage(int bytes)
{
    QString html;
    for (int i = 0; html.size() < bytes; ++i) {
        const QString n = QString::number(i);
        html += u"<h2>Section "_s + n + u"</h2><ul><li>First point "_s + n
            + u"</li><li>Second point "_s + n + u"</li></ul><table><tbody><tr><td>cell a"_s + n
            + u"</td><td>cell b"_s + n + u"</td></tr></tbody></table><p>Paragraph "_s + n
            + u" of the long page, with <b>bold</b> and <i>italic</i> words.</p>"_s;
    }
    return html.toUtf8();
}

} // namespace

TEST_F(Journey, AHostileWebPageNeitherCoversTheEditorNorLoadsAnything)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString remote = u"http://127.0.0.1:%1/"_s.arg(server.serverPort());
    window().newNote();
    clickInNote(u"body"_s);
    typeText(u"My own line"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('My own line')"_s));

    ASSERT_TRUE(offerClipboard(u"text/html"_s, hostilePage(remote)));
    pressKeys(u"ctrl+v"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('Article text')"_s));
    // A click on the pasted paragraph, where the layer was, lands there and typing follows it.
    // (the pasted paragraph keeps its bold, the only style it may keep)
    clickInNote(u"p[style]"_s);
    pressKeys(u"End"_s);
    typeText(u" still mine"_s);
    EXPECT_TRUE(
        jsUntil(note() + u".querySelector('p[style]').textContent == 'Article text still mine'"_s))
        << js(note() + u".body.innerHTML"_s).toString().toStdString();
    EXPECT_TRUE(jsUntil(u"Array.from("_s + note() + u".images).every(i => i.complete)"_s));
    QTest::qWait(300);
    EXPECT_FALSE(server.hasPendingConnections()) << "the note asked the network for something";

    editor().SaveEditor();
    const QByteArray saved = savedNote(window().currentNoteId());
    EXPECT_TRUE(saved.contains("Article text")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("Claim your prize")) << "the text stays, only the styles go";
    for (const char *gone : {"position", "z-index", "url(", "display", "cursor", "onclick",
                             "onerror", "<script", "<style", "<link"})
        EXPECT_FALSE(saved.contains(gone)) << gone << " in " << saved.toStdString();
    finishJourney();
}

TEST_F(Journey, ALargePasteGoesInWholeAndOnePastTheLimitIsRefusedWhole)
{
    ASSERT_EQ(editor().handler().editorMaxChars(), MainWindow::NoteMaxChars);
    window().newNote();
    clickInNote(u"body"_s);
    ASSERT_TRUE(offerClipboard(u"text/html"_s, largePage(2 * 1024 * 1024)));
    pressKeys(u"ctrl+v"_s);
    const QString pasted = note() + u".body.textContent.length > 1000000"_s;
    ASSERT_TRUE(QTest::qWaitFor([&] { return slowJs(editor().page(), pasted).toBool(); },
                                LargePasteTimeoutMs));
    // The window takes input again, and the paste left nothing empty behind.
    typeText(u"!"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.textContent.endsWith('words.!')"_s));
    EXPECT_EQ(
        js(u"Array.from("_s + note()
           + u".querySelectorAll('li, h1, h2, h3, td, th')).filter(e => !e.textContent.trim())"
             ".length"_s)
            .toInt(),
        0);
    EXPECT_TRUE(jsUntil(u"document.getElementById('status-count').textContent == "_s + note()
                        + u".body.textContent.length + ' / 5000000'"_s));

    // With room for 100 more characters, a paste of 308 is refused whole and says so.
    const int count = js(note() + u".body.textContent.length"_s).toInt();
    editor().handler().SetEditorMaxChars(count + 100);
    js(u"window.before = "_s + note() + u".body.innerHTML"_s);
    ASSERT_TRUE(offerClipboard(u"text/html"_s,
                               "<h3>Too much</h3><ul><li>" + QByteArray(300, 'y') + "</li></ul>"));
    pressKeys(u"ctrl+v"_s);
    EXPECT_TRUE(jsUntil(u"document.getElementById('status-message').textContent == "
                        "'This paste is too long for the note: 208 characters over the limit'"_s));
    EXPECT_TRUE(js(u"window.before === "_s + note() + u".body.innerHTML"_s).toBool())
        << "the note changed";
    editor().handler().SetEditorMaxChars(MainWindow::NoteMaxChars);
    finishJourney();
}
