// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Opening notes on the real page: a note file this editor saved goes in as it is, any other
// bytes are sanitised; the page starts with the limit and mode given with its load.
#include "common/appdirectory.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/pagestart_p.h"
#include "editor/savednotes_p.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;
using Internal::SavedNotes;

namespace {

// A paragraph whose style the sanitiser cuts to its colour: what the page shows tells whether
// the note went through it.
const QString Marked = u"<p style=\"position: fixed; color: red;\">outside</p>"_s;
const QString MarkedClean = u"<p style=\"color: red;\">outside</p>"_s;

class NoteOpeningTest : public EditorInHostTest
{
protected:
    void SetUp() override
    {
        EditorInHostTest::SetUp();
        QFile::remove(SavedNotes::recordPath());
    }

    QString pageHtml()
    {
        return runInPage(u"Tavrik.editor.document().body.innerHTML"_s).toString();
    }
    // Writes `bytes` as the note file `name` of the store and opens it.
    QString open(const QString &name, const QByteArray &bytes)
    {
        EXPECT_TRUE(writeBytes(GetAttachRootDir() + u'/' + name, bytes));
        m_editor->LoadEditor(u"note"_s, {name}, {}, false);
        return pageHtml();
    }
};

TEST_F(NoteOpeningTest, SavedNoteIsRecordedAndChangedBytesAreSanitised)
{
    open(u"first.html"_s, NoteHtmlRW::header(2) + "<p>first line</p>");
    ASSERT_TRUE(runInPage(u"Tavrik.editor.document().body.insertAdjacentHTML('beforeend', "
                          "'<p>second line</p>'); true"_s)
                    .toBool());
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 1u);
    const QString savedPath = m_host->saves.back().files.front().filePath;
    const QByteArray saved = readBytes(savedPath);
    EXPECT_EQ(saved, NoteHtmlRW::header(2) + "<p>first line</p><p>second line</p>");
    EXPECT_EQ(readBytes(SavedNotes::recordPath()), SavedNotes::hashOf(saved) + '\n');

    // The saved file opens as it was saved; the same file with a paragraph added elsewhere is
    // sanitised.
    EXPECT_EQ(open(QFileInfo(savedPath).fileName(), saved),
              u"<p>first line</p><p>second line</p>"_s);
    const QByteArray changed = saved + Marked.toUtf8();
    EXPECT_EQ(open(u"changed.html"_s, changed),
              u"<p>first line</p><p>second line</p>"_s + MarkedClean);

    // The record decides by the exact bytes: once these bytes are in it, they go in as they are.
    ASSERT_TRUE(SavedNotes::remember(changed));
    EXPECT_EQ(open(u"changed-again.html"_s, changed),
              u"<p>first line</p><p>second line</p>"_s + Marked);
    QByteArray oneByte = changed;
    oneByte[oneByte.lastIndexOf("outside")] = 'O';
    EXPECT_EQ(open(u"one-byte.html"_s, oneByte),
              u"<p>first line</p><p>second line</p><p style=\"color: red;\">Outside</p>"_s);
}

TEST_F(NoteOpeningTest, MissingOrDamagedRecordMeansSanitising)
{
    const QByteArray marked = NoteHtmlRW::header(2) + Marked.toUtf8();
    {
        LogCapture log;
        EXPECT_EQ(open(u"marked.html"_s, marked), MarkedClean);
        EXPECT_EQ(log.lines(),
                  Lines{u"[INFO] SavedNotes, no record of saved notes at "_s
                        + SavedNotes::recordPath() + u"; the note is sanitised"_s});
    }
    // The hash with its last digit lost and the next line joined to it.
    const QByteArray hash = SavedNotes::hashOf(marked);
    ASSERT_TRUE(writeBytes(SavedNotes::recordPath(), hash.chopped(1) + hash + '\n'));
    LogCapture log;
    EXPECT_EQ(open(u"marked.html"_s, marked), MarkedClean);
    EXPECT_EQ(
        log.lines(),
        Lines{u"[WARN] SavedNotes, 1 damaged line(s) skipped in "_s + SavedNotes::recordPath()});
}

// A large saved note: the first frame gets its first screen only, while whatever reads the note
// sees it whole; putting the rest in is no change (no save, no count of a cut note).
TEST_F(NoteOpeningTest, LargeSavedNoteShowsItsBeginningFirstAndIsWholeToEveryReader)
{
    QString html = u"<p>first screen</p>"_s;
    for (int i = 0; i < 5000; ++i)
        html += u"<p>paragraph %1 of the note</p>"_s.arg(i);
    html += u"<p><img src=\"a.png\" class=\"a.png\" zv_exdata=\"e\"></p>"_s;
    const QString inPage = runInPage(uR"((function (text) {
    jsProcessor('SetSavedEditorContent', text);
    const body = document.querySelector('iframe.ke-edit-iframe').contentDocument.body;
    const shown = body.childNodes.length;
    const read = JSON.parse(jsProcessor('GetEditorContent', '{}')).ehtml === text;
    return [shown, read, body.childNodes.length].join();
})()"_s + jsString(html) + u")"_s)
                               .toString();
    EXPECT_EQ(inPage, u"60,true,5002"_s);

    const QByteArray bytes = NoteHtmlRW::header(2) + html.toUtf8();
    ASSERT_TRUE(SavedNotes::remember(bytes));
    open(u"large.html"_s, bytes);
    EXPECT_TRUE(waitForScript(m_editor->page(),
                              u"document.querySelector('iframe.ke-edit-iframe').contentDocument"
                              ".body.childNodes.length === 5002"_s));
    // "first screen", then 5000 times "paragraph " + the number + " of the note".
    const int characters = 12 + 5000 * 22 + (10 * 1 + 90 * 2 + 900 * 3 + 4000 * 4);
    EXPECT_TRUE(
        waitForScript(m_editor->page(), u"Tavrik.editor.charCount() === %1"_s.arg(characters)));
    EXPECT_EQ(pageHtml(), html);
    QTest::qWait(300);
    EXPECT_TRUE(m_host->saves.empty()) << "putting the rest in was taken for a change";
}

// The limit and mode go in with the page's load, read by the page before anything calls it.
TEST(PageStartTest, PageStartsWithTheLimitAndModeGivenWithItsLoad)
{
    QWebEngineView view;
    Internal::installPageStart(view.page(), 1234, false);
    Internal::installPageStart(view.page(), 4321, true); // the last one given counts
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    view.load(QUrl::fromLocalFile(CZorvaEditorImpl::FindEditorPage()));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(runScript(view.page(),
                        u"[Tavrik.editor.maxChars(), Tavrik.editor.isReadOnly(), "
                        "Tavrik.editor.document().body.contentEditable].join()"_s)
                  .toString(),
              u"4321,true,false"_s);
}

} // namespace
