// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The editor in a host window on a real X server: the page's own popups, Tab, the focus moving
// between the host and the editor, the editor's menu, a renderer that stops, and a capture
// started from the page: a window with four coloured quarters is on the screen, the user drags
// a selection across it and completes, and the note gets the picture of what was selected.
#include "capture/cstip_p.h"
#include "capture/cstoolbar_p.h"
#include "capture/sticonbutton_p.h"
#include "capture/zorvanotescreencapture_p.h"
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notehtml/notehtmlrw.h"
#include "recordingprompts.h"
#include "session/sttabledata.h"
#include "testhelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

class EditorFocusTest : public AppFolderTest
{
protected:
    void SetUp() override
    {
        AppFolderTest::SetUp();
        auto *layout = new QVBoxLayout(&m_host);
        layout->addWidget(m_list = new QLineEdit);
        layout->addWidget(m_editor = new CZorvaEditorImpl);
        m_host.resize(900, 700);
        ASSERT_TRUE(openEditor(m_editor, &m_host));
        m_host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_host));
    }

    // One user action; taking seconds means it froze the window.
    template<typename Action> void step(const char *what, Action action)
    {
        QElapsedTimer timer;
        timer.start();
        action();
        EXPECT_LT(timer.elapsed(), 4000) << what << " froze the window";
        EXPECT_EQ(m_prompts.messages(), QStringList()) << "after " << what;
    }
    QWidget *inner() const { return m_editor->GetWebBrowseHwnd(); }
    size_t saves() const { return m_host.saves.size(); }
    QVariant js(const QString &script) { return runScript(m_editor->page(), script); }
    bool jsUntil(const QString &condition) { return waitForScript(m_editor->page(), condition); }
    // The centre of the first element matching `selector` in the note, or in the page.
    QPoint centreOf(const QString &selector, const QString &doc = u"Tavrik.editor.document()"_s)
    {
        const QVariantList xy
            = js(u"{const f=%1===document?{x:0,y:0}:Tavrik.editor.frame()"
                 ".getBoundingClientRect();const r=%1.querySelector('%2')"
                 ".getBoundingClientRect();[f.x+r.x+r.width/2,f.y+r.y+8]}"_s.arg(doc, selector))
                  .toList();
        return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
    }
    // The centre of characters `start` to `end` of the note's first text.
    QPoint wordAt(int start, int end)
    {
        const QVariantList xy
            = js(u"{const d=Tavrik.editor.document(),r=d.createRange(),"
                 "f=Tavrik.editor.frame().getBoundingClientRect();"
                 "r.setStart(d.body.firstChild.firstChild,%1);r.setEnd(r.startContainer,%2);"
                 "const b=r.getBoundingClientRect();[f.x+b.x+b.width/2,f.y+b.y+b.height/2]}"_s
                     .arg(start)
                     .arg(end))
                  .toList();
        return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
    }
    // Right-clicks `point` until the editor's menu lists `choice` (the checker marks words a
    // moment after they are shown), then chooses it; gives the texts of the last menu.
    QStringList choose(const QPoint &point, const QString &choice)
    {
        QStringList texts;
        for (int attempt = 0; attempt < 20 && !texts.contains(choice); ++attempt) {
            QTest::mouseClick(inner(), Qt::RightButton, {}, point);
            QMenu *menu = nullptr;
            if (!QTest::qWaitFor(
                    [&] { return menu = qobject_cast<QMenu *>(qApp->activePopupWidget()); }))
                return {};
            texts.clear();
            for (QAction *action : menu->actions())
                texts << action->text();
            QAction *wanted
                = texts.contains(choice) ? menu->actions().at(texts.indexOf(choice)) : nullptr;
            menu->close();
            if (wanted)
                wanted->trigger();
            else
                QTest::qWait(250);
        }
        return texts;
    }
    // The note's file as the host's last save lists it.
    QByteArray lastSavedNoteFile() const
    {
        return readBytes(m_host.saves.back().files.at(0).filePath);
    }

    RecordingPrompts m_prompts;
    EditorHost m_host;
    QLineEdit *m_list = nullptr;
    CZorvaEditorImpl *m_editor = nullptr;
    QString m_html;
};

TEST_F(EditorFocusTest, PopupsTabAndLeavingNeverBlockAndEverythingIsSaved)
{
    m_editor->LoadEditor(u"n1"_s, {}, {}, false);
    js(u"Tavrik.editor.setContent('<p>Title line</p><p>body</p>');Tavrik.editor.focus()"_s);
    step("opening the paragraph style list", [&] {
        QTest::mouseClick(inner(), Qt::LeftButton, {},
                          centreOf(u"[data-id=block]"_s, u"document"_s));
        ASSERT_TRUE(QTest::qWaitFor([] { return qApp->activePopupWidget(); }, 4000));
    });
    step("picking Heading 1", [&] {
        QTest::keyClick(qApp->activePopupWidget(), Qt::Key_Down);
        QTest::keyClick(qApp->activePopupWidget(), Qt::Key_Return);
        ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().querySelector('h1')"_s));
    });
    step("Tab in text", [&] {
        js(u"{const d=Tavrik.editor.document();d.getSelection().collapse(d.body.lastChild.firstChild,4)}"_s);
        QTest::keyClick(inner(), Qt::Key_Tab);
        ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().body.lastChild.textContent=='body\\t'"_s));
    });
    EXPECT_EQ(QApplication::focusWidget(), inner());
    m_editor->InsertTable(StTableData{2, 1, {}});
    step("Tab through a table", [&] {
        QTest::keyClicks(inner(), u"a"_s);
        QTest::keyClick(inner(), Qt::Key_Tab);
        QTest::keyClicks(inner(), u"b"_s);
        QTest::keyClick(inner(), Qt::Key_Tab); // the last cell: a new row
        QTest::keyClicks(inner(), u"c"_s);
        // Shift+Tab: the caret at the start of the cell before, its text not selected.
        QTest::keyClick(inner(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClicks(inner(), u"B"_s);
        ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().querySelector('table').innerText"
                            ".replace(/\\s+/g,' ').trim()=='a Bb c'"_s));
    });
    step("leaving for the host", [&] {
        m_list->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return saves() == 1; }, 4000));
    });
    step("tabbing from the host into the editor", [&] {
        QTest::keyClick(m_list, Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return inner()->hasFocus(); }, 4000));
    });
    step("Shift+Tab from the text to the toolbar, then out", [&] {
        js(u"{const d=Tavrik.editor.document();d.getSelection().collapse(d.body.lastChild,0)}"_s);
        QTest::keyClicks(inner(), u"!"_s);
        QTest::keyClick(inner(), Qt::Key_Tab, Qt::ShiftModifier);
        // The toolbar's one stop: the control used last (the paragraph style list).
        ASSERT_TRUE(jsUntil(u"document.activeElement.dataset.id=='block'"_s));
        EXPECT_EQ(saves(), 1u) << "the toolbar is part of the editor";
        js(u"document.querySelector('[data-id=undo]').focus()"_s);
        QTest::keyClick(inner(), Qt::Key_Tab, Qt::ShiftModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_list->hasFocus() && saves() == 2; }, 4000));
    });
    m_editor->GetLastHtml(m_html);
    EXPECT_TRUE(matches(u"<h1>Title line</h1><p>body<span [^>]*>\t</span></p><table .*<tr><td>a"
                        "</td><td>Bb</td></tr><tr><td>c</td><td><br></td></tr></tbody></table>"
                        "<p>!</p>"_s,
                        m_html))
        << m_html.toStdString();
}

TEST_F(EditorFocusTest, TheEditorsMenuEditsAndHandlesAttachments)
{
    // The kept copy is what its store name says, so no save (an autosave among them) takes it
    // for a copy edited outside the editor.
    writeBytes(m_root + u"n2/report.pdf"_s, "kept copy");
    NoteHtmlRW::WriteHtmlTextFile(
        m_root + u"n2.html"_s,
        u"<p>text <img width=40 height=40 src='../userdata\\attachment\\e5.bmp'"
        " class='userdata\\attachment\\3460bec82f453b37a3e6e940528defd1.pdf' "
        "zv_exdata='{\"OrigName_B64\":\"cmVwb3J0LnBkZg==\"}'></p>"_s,
        2);
    m_editor->LoadEditor(u"n2"_s, {u"n2.html"_s}, {}, false);
    const QStringList editing{u"Cut"_s,
                              u"Copy"_s,
                              u"Paste"_s,
                              u"Paste as plain text"_s,
                              u"Select all"_s,
                              QString(),
                              u"Copy as &Markdown"_s,
                              u"Paste as Mar&kdown"_s};
    auto *mime = new QMimeData;
    mime->setHtml(u"<b>bold</b>"_s);
    mime->setText(u"bold"_s);
    QGuiApplication::clipboard()->setMimeData(mime);
    EXPECT_EQ(choose(centreOf(u"p"_s) + QPoint(200, 0), u"Paste as plain text"_s), editing);
    ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().body.innerText.includes('bold')"_s));
    EXPECT_FALSE(js(u"!!Tavrik.editor.document().querySelector('b')"_s).toBool());

    const QString copy = m_app.filePath(u"copy.pdf"_s);
    m_prompts.answerPaths({copy});
    EXPECT_EQ(choose(centreOf(u"img"_s), u"Save a copy as…"_s),
              QStringList({u"Open"_s, u"Save a copy as…"_s, u"Remove"_s, QString()}) + editing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(copy); }, 4000));
    EXPECT_EQ(readBytes(copy), "kept copy");
    EXPECT_TRUE(m_prompts.shown().at(0).text.endsWith(u"/report.pdf"_s));

    choose(centreOf(u"img"_s), u"Open"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_host.opened.isEmpty(); }, 4000));
    EXPECT_EQ(m_host.opened, QStringList{u"n2|3460bec82f453b37a3e6e940528defd1.pdf|report.pdf"_s});
    choose(centreOf(u"img"_s), u"Remove"_s);
    ASSERT_TRUE(jsUntil(u"!Tavrik.editor.document().querySelector('img')"_s));
}

TEST_F(EditorFocusTest, AHungPageIsToldOnceAndAStoppedRendererIsReplaced)
{
    m_editor->LoadEditor(u"n3"_s, {}, {}, false);
    js(u"Tavrik.editor.setContent('<p>kept</p>')"_s);
    // A stopped page comes back with the limit the host set, not the library's default.
    m_editor->handler().SetEditorMaxChars(123456);
    m_editor->SaveEditor();
    m_editor->page()->runJavaScript(u"for(;;){}"_s);
    for (int i = 0; i < 2; ++i) {
        step("leaving a hung page", [&] {
            inner()->setFocus();
            m_list->setFocus();
        });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_prompts.messages().isEmpty(); }, 15000));
    QTest::qWait(500);
    EXPECT_EQ(m_prompts.messages(), QStringList{u"获取笔记编辑器内容失败！"_s});
    m_prompts.clear();

    LogCapture log;
    QSignalSpy loaded(m_editor, &QWebEngineView::loadFinished);
    ::kill(m_editor->page()->renderProcessPid(), SIGKILL);
    ASSERT_TRUE(loaded.wait(20000));
    ASSERT_TRUE(jsUntil(u"Tavrik.ready&&Tavrik.editor.document().body.innerText.trim()=='kept'"_s));
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] CZorvaEditorImpl, the editor page stopped (status 3, "
                    "exit code 9); loading it again"_s});
    EXPECT_EQ(js(u"Tavrik.editor.maxChars()"_s).toInt(), 123456);
    EXPECT_EQ(m_editor->handler().editorMaxChars(), 123456);
    js(u"Tavrik.editor.focus()"_s);
    inner()->setFocus();
    QTest::keyClicks(inner(), u"!"_s);
    ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().body.innerText.includes('!')"_s));
    step("Ctrl+S once the page is back",
         [&] { QTest::keyClick(inner(), Qt::Key_S, Qt::ControlModifier); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return saves() == 2; }, 4000));
    m_editor->GetLastHtml(m_html);
    EXPECT_EQ(m_html, u"<p>!kept</p>"_s);
}

TEST_F(EditorFocusTest, SpellingAndThemeShowOnlyInThePageAndCorrectionsComeFromTheMenu)
{
    const QString note = u"<p>Hello wrold</p><p style=\"color: rgb(217, 48, 37);\">red</p>"_s;
    const QString bodyColour = u"getComputedStyle(Tavrik.editor.document().body).color"_s;
    const QString checked = u"Tavrik.editor.document().body.spellcheck"_s;
    m_editor->NewEditor(m_html, false);
    js(u"Tavrik.editor.setContent('%1')"_s.arg(note));
    m_editor->SaveEditor();
    const QByteArray plain = lastSavedNoteFile();
    EXPECT_EQ(js(bodyColour), u"rgb(31, 35, 40)"_s);
    EXPECT_FALSE(js(checked).toBool()) << "off for hosts that do not ask";

    LogCapture log;
    EXPECT_EQ(m_editor->SetSpellCheckLanguages({u"xx-XX"_s}), 0);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] CZorvaEditorImpl::SetSpellCheckLanguages, no spelling "
                    "dictionary for xx-XX in "_s
                    + qEnvironmentVariable("QTWEBENGINE_DICTIONARIES_PATH")
                    + u"; no spell checking in it"_s});
    EXPECT_EQ(m_editor->spellCheckLanguages(), std::vector<QString>());
    ASSERT_EQ(CZorvaEditorImpl::AvailableSpellCheckLanguages(), std::vector<QString>{u"en-US"_s});
    EXPECT_EQ(m_editor->SetSpellCheckLanguages({u"en-US"_s, u"xx-XX"_s}), 1);
    EXPECT_EQ(m_editor->spellCheckLanguages(), std::vector<QString>{u"en-US"_s});
    m_editor->SetTheme(CZorvaEditorImpl::Theme::Dark);
    EXPECT_TRUE(js(checked).toBool());
    EXPECT_EQ(js(bodyColour), u"rgb(227, 229, 232)"_s);
    EXPECT_EQ(js(u"getComputedStyle(document.getElementById('toolbar')).backgroundColor"_s),
              u"rgb(38, 40, 44)"_s);
    EXPECT_EQ(js(u"getComputedStyle(Tavrik.editor.document().querySelectorAll('p')[1]).color"_s),
              u"rgb(217, 48, 37)"_s);
    m_editor->NewEditor(m_html, false);
    js(u"Tavrik.editor.setContent('%1')"_s.arg(note));
    m_editor->SaveEditor();
    EXPECT_EQ(lastSavedNoteFile(), plain) << "checked and dark, the note is stored the same";

    // The misspelt word gets corrections first in the menu; a correct one gets none.
    js(u"Tavrik.editor.focus()"_s);
    inner()->setFocus();
    const QPoint hello = centreOf(u"p"_s) - QPoint(30, 0);
    const QStringList texts = choose(wordAt(6, 11), u"world"_s);
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.first(), u"world"_s);
    EXPECT_EQ(
        texts.mid(texts.indexOf(QString()) + 1),
        QStringList({u"Cut"_s, u"Copy"_s, u"Paste"_s, u"Paste as plain text"_s, u"Select all"_s,
                     QString(), u"Copy as &Markdown"_s, u"Paste as Mar&kdown"_s}));
    ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().body.firstChild.textContent=='Hello world'"_s));
    EXPECT_EQ(choose(hello, u"Select all"_s).first(), u"Cut"_s);

    // A word added to the dictionary is kept in the personal word list; an ignored one only
    // until the program ends. Neither is marked again, nor is the note changed.
    js(u"Tavrik.editor.setContent('<p>Zorvaqq and Blorptix</p>')"_s);
    js(u"Tavrik.editor.focus()"_s);
    const QStringList spelling = choose(wordAt(0, 7), u"Add to dictionary"_s);
    ASSERT_TRUE(spelling.contains(u"Ignore"_s)) << spelling.join(u'|').toStdString();
    const QString words = m_app.filePath(u"userdata/spelling/words.txt"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return readBytes(words) == "Zorvaqq\n"; }))
        << readBytes(words).toStdString();
    EXPECT_TRUE(choose(wordAt(12, 20), u"Ignore"_s).contains(u"Ignore"_s));
    // Marked words open the menu with their corrections; others with the editing commands.
    const auto unmarked = [&](const QPoint &word) {
        return QTest::qWaitFor(
            [&] {
                QTest::mouseClick(inner(), Qt::RightButton, {}, word);
                QMenu *menu = nullptr;
                if (!QTest::qWaitFor(
                        [&] { return menu = qobject_cast<QMenu *>(qApp->activePopupWidget()); }))
                    return false;
                const QString first = menu->actions().value(0)->text();
                menu->close();
                return first == u"Cut"_s;
            },
            15000);
    };
    EXPECT_TRUE(unmarked(wordAt(0, 7))) << "the added word is still marked";
    EXPECT_TRUE(unmarked(wordAt(12, 20))) << "the ignored word is still marked";
    EXPECT_EQ(readBytes(words), "Zorvaqq\n");
    EXPECT_EQ(js(u"Tavrik.editor.document().body.innerHTML"_s).toString(),
              u"<p>Zorvaqq and Blorptix</p>"_s);

    js(u"Tavrik.editor.setContent('<p>Hello wrold</p>')"_s);
    m_editor->SetReadOnly(true);
    EXPECT_FALSE(js(checked).toBool()) << "a read-only note is not underlined";
    m_editor->SetTheme(CZorvaEditorImpl::Theme::Light);
    EXPECT_EQ(js(bodyColour), u"rgb(31, 35, 40)"_s);
    EXPECT_EQ(m_editor->SetSpellCheckLanguages({}), 0);
    EXPECT_EQ(m_editor->spellCheckLanguages(), std::vector<QString>());
}

TEST_F(EditorFocusTest, AWordMisspeltWhileTypingInALongNoteGetsItsCorrections)
{
    ASSERT_EQ(m_editor->SetSpellCheckLanguages({u"en-US"_s}), 1);
    m_editor->NewEditor(m_html, false);
    js(u"Tavrik.editor.setMaxChars(100000);Tavrik.editor.setContent('<p>Hello</p>'"
       "+'<p>Filler text of a long note, one of many lines.</p>'.repeat(500))"_s);
    ASSERT_TRUE(jsUntil(u"Tavrik.editor.charCount() > 20000"_s));
    js(u"Tavrik.editor.focus();(d => d.getSelection().collapse(d.body.firstChild.firstChild, 5))"
       "(Tavrik.editor.document())"_s);
    inner()->setFocus();
    QTest::keyClicks(inner(), u" wrold and"_s);
    ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().body.firstChild.textContent"
                        "==='Hello wrold and'"_s));
    EXPECT_TRUE(
        js(u"Tavrik.editor.document().documentElement.classList.contains('narrow')"_s).toBool())
        << "typed in the block alone";
    const QStringList texts = choose(wordAt(6, 11), u"world"_s);
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.first(), u"world"_s);
    EXPECT_TRUE(jsUntil(u"Tavrik.editor.document().body.firstChild.outerHTML"
                        "==='<p>Hello world and</p>'"_s));
    EXPECT_EQ(m_editor->SetSpellCheckLanguages({}), 0);
}

// Quarters of the pattern: top-left, top-right, bottom-left, bottom-right.
const QRgb Quarters[4]
    = {qRgb(220, 40, 40), qRgb(40, 200, 60), qRgb(40, 60, 220), qRgb(230, 220, 40)};

class Pattern : public QWidget
{
public:
    Pattern() { setWindowFlags(Qt::FramelessWindowHint); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int w = width() / 2, h = height() / 2;
        for (int i = 0; i < 4; ++i)
            painter.fillRect((i % 2) * w, (i / 2) * h, w, h, QColor(Quarters[i]));
    }
};

int distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
        + std::abs(qBlue(a) - qBlue(b));
}

} // namespace

using CaptureOnScreen = AppFolderTest;

TEST_F(CaptureOnScreen, DragAndCompleteInsertsTheSelectedPicture)
{
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    RecordingPrompts prompts;
    EditorHost host;
    CZorvaEditorImpl editor;
    host.setGeometry(700, 560, 520, 400);
    ASSERT_TRUE(openEditor(&editor, &host, QRect(0, 0, 500, 380)));
    QString noteId = u"shot"_s;
    editor.NewEditor(noteId, false);

    Pattern pattern;
    pattern.setGeometry(100, 100, 300, 200);
    pattern.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pattern));
    QTest::qWait(300);

    // The user, once the capture window is up.
    bool hostHidden = false;
    QPointer<ZorvaNoteScreenCapture> first;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<ZorvaNoteScreenCapture *>(QApplication::activeModalWidget());
        if (!capture || !capture->isVisible())
            return;
        user.stop();
        first = capture;
        hostHidden = !host.isVisible();
        QCursor::setPos(116, 116);
        QTest::mousePress(capture, Qt::LeftButton, {}, {116, 116});
        for (int step = 1; step <= 8; ++step) {
            QCursor::setPos(116 + step * 30, 116 + step * 20);
            QTest::mouseMove(capture, {116 + step * 30, 116 + step * 20});
        }
        QTest::mouseRelease(capture, Qt::LeftButton, {}, {356, 276});
        EXPECT_EQ(capture->selection(), (TrackRect{120, 120, 356, 276}));
        QTest::mouseClick(capture->toolbar()->buttons().at(3), Qt::LeftButton);
    });
    user.start(50);
    runScript(editor.page(),
              u"CppProcessor('SreenCapture', JSON.stringify({hideMainWnd: true}), '')"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !user.isActive() && host.isVisible(); }, 20000));
    EXPECT_TRUE(hostHidden) << "the editor's window leaves the screen during the capture";
    EXPECT_EQ(prompts.messages(), QStringList());

    ASSERT_TRUE(waitForScript(editor.page(),
                              u"Tavrik.editor.document().querySelectorAll('img').length === 1"_s));
    const QStringList stored = QDir(m_root).entryList({u"*.jpg"_s}, QDir::Files);
    ASSERT_EQ(stored.size(), 1);
    const QImage picture(m_root + stored[0]);
    ASSERT_EQ(picture.size(), QSize(236, 156));
    // Picture (x, y) is screen (120 + x, 120 + y); the quarters meet at screen (250, 200).
    const struct
    {
        QPoint at;
        int quarter;
    } samples[] = {{{10, 10}, 0}, {{124, 10}, 0},  {{136, 10}, 1},  {{230, 70}, 1},
                   {{10, 86}, 2}, {{124, 150}, 2}, {{136, 150}, 3}, {{230, 90}, 3}};
    for (const auto &s : samples)
        EXPECT_LE(distance(picture.pixel(s.at), Quarters[s.quarter]), 30)
            << "at " << s.at.x() << ',' << s.at.y();
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // The next capture opens in the same window, kept hidden without the screen's picture,
    // and starts without a selection; leaving it adds nothing.
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(first->hasSnapshot());
    bool fresh = false;
    QObject::disconnect(&user, nullptr, nullptr, nullptr);
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *capture = qobject_cast<ZorvaNoteScreenCapture *>(QApplication::activeModalWidget());
        if (!capture || !capture->isVisible())
            return;
        user.stop();
        fresh = capture == first && !capture->hasSelection() && capture->hasSnapshot()
            && !capture->toolbar()->isVisible() && capture->tip()->side() == 1;
        QTest::keyClick(capture, Qt::Key_Escape);
    });
    user.start(50);
    runScript(editor.page(),
              u"CppProcessor('SreenCapture', JSON.stringify({hideMainWnd: false}), '')"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !user.isActive() && !first->isVisible(); }, 20000));
    EXPECT_TRUE(fresh);
    EXPECT_EQ(QDir(m_root).entryList({u"*.jpg"_s}, QDir::Files), stored);
    qunsetenv("TMPDIR");
}
