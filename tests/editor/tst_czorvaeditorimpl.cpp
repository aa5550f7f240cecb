// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "attach/iattachfilelistsource.h"
#include "common/commonutils.h"
#include "common/itavrikcoredata.h"
#include "common/ivarconfigmgr.h"
#include "editor/attachresync_p.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/savednotes_p.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/notehtmlrw.h"
#include "recordingprompts.h"
#include "skin/scriptbridge_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::Contains;

namespace {

constexpr int PageTimeoutMs = 30000;

// A host framework whose configuration names the editor page.
class FakeCore : public ITavrikCoreData, public IVarConfigMgr
{
public:
    IMgrObject *GetMgrObject(const QString &name) override
    {
        askedFor.push_back(name);
        return name == u"AppVarConfigMgr"_s ? static_cast<IVarConfigMgr *>(this) : nullptr;
    }
    QString GetVar(const QString &key) override
    {
        keys.push_back(key);
        return pagePath;
    }

    QString pagePath;
    QStringList askedFor;
    QStringList keys;
};

class EditorTest : public EditorInHostTest
{
protected:
    void SetUp() override
    {
        EditorInHostTest::SetUp();
        m_other = new QLineEdit;
        m_layout->insertWidget(0, m_other);
    }

    static QString attachRoot() { return GetAttachRootDir() + u'/'; }

    // The note's last HTML (a text the call leaves alone shows as "unset").
    QString lastHtml() const
    {
        QString html = u"unset"_s;
        m_editor->GetLastHtml(html);
        return html;
    }

    // Moves the keyboard focus from the editor to another widget of the host.
    void loseFocus()
    {
        focusEditor();
        m_other->setFocus(Qt::OtherFocusReason);
        settle();
    }

    void pressCtrlS()
    {
        QTest::keyClick(m_editor->GetWebBrowseHwnd(), Qt::Key_S, Qt::ControlModifier);
        settle();
    }

    static void writeNoteFile(const QString &name, const QString &content, int version)
    {
        ASSERT_EQ(NoteHtmlRW::WriteHtmlTextFile(attachRoot() + name, content, version), 1);
    }

    RecordingPrompts m_prompts;
    QLineEdit *m_other = nullptr;
};

TEST_F(EditorTest, FirstLoadTellsTheParentOnceAndTheHostConfigurationNamesThePage)
{
    EXPECT_TRUE(m_editor->pageLoaded());
    EXPECT_EQ(CZorvaEditorImpl::lastEditor(), m_editor);
    EXPECT_EQ(QDir::cleanPath(m_editor->url().toLocalFile()),
              QDir::cleanPath(qEnvironmentVariable("TAVRIK_PAGE_DIR") + u"/zveditor/index.html"_s));
    // A second Create fails and loads nothing.
    EXPECT_EQ(m_editor->Create(m_host.get(), QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible),
              0);
    QTest::qWait(200);
    EXPECT_EQ(m_host->pageLoadedEvents, 1);
    EXPECT_EQ(runInPage(u"Tavrik.editor.maxChars()"_s).toInt(), 10000);

    // Without the page among the program's files the log says where it was looked for.
    {
        QTemporaryDir empty;
        SetProgramDirectory(empty.path());
        const auto restore
            = qScopeGuard([] { SetProgramDirectory(qEnvironmentVariable("TAVRIK_PAGE_DIR")); });
        EXPECT_EQ(CZorvaEditorImpl::FindEditorPage(), QString());
        const std::vector<QString> folders = GetProgramFileFolders();
        EditorHost host;
        CZorvaEditorImpl editor;
        LogCapture log;
        EXPECT_EQ(editor.Create(&host, QRect(0, 0, 300, 200), 4, IEWebBrowser::StyleVisible), 1);
        EXPECT_EQ(log.lines(),
                  Lines{u"[ERROR] CZorvaEditorImpl::Create, the editor page zveditor/index.html "
                        "is in none of "_s
                        + QStringList(folders.begin(), folders.end()).join(u", "_s)});
        EXPECT_EQ(folders.front(), empty.path() + u'/');
        EXPECT_TRUE(editor.url().isEmpty());
    }

    // A host's configuration names the page.
    FakeCore core;
    core.pagePath = stageEditorPage(s_app->path(), u"custom"_s);
    EditorHost host;
    auto *editor = new CZorvaEditorImpl(&host);
    editor->SetTavrikCore(&core);
    ASSERT_TRUE(openEditor(editor, &host, QRect(0, 0, 300, 200), 3));
    EXPECT_EQ(editor->url().toLocalFile(), core.pagePath);
    EXPECT_EQ(core.askedFor, QStringList{u"AppVarConfigMgr"_s});
    EXPECT_EQ(core.keys, QStringList{u"AppTavrikEditorPath"_s});

    // An empty value is taken as it is: nothing can be loaded, and the log says so.
    core.pagePath.clear();
    LogCapture log;
    EditorHost unused;
    auto *blank = new CZorvaEditorImpl(&unused);
    blank->SetTavrikCore(&core);
    EXPECT_EQ(blank->Create(&unused, QRect(0, 0, 300, 200), 4, IEWebBrowser::StyleVisible), 1);
    EXPECT_THAT(log.lines(),
                Contains(u"[ERROR] CZorvaEditorImpl::Create, cannot load the editor page "_s));
    QTest::qWait(300);
    EXPECT_EQ(unused.pageLoadedEvents, 0);

    // A page that fails to load is tried three times in all and never counts as loaded.
    LogCapture retries;
    core.pagePath = s_app->filePath(u"missing/index.html"_s);
    auto *retried = new CZorvaEditorImpl(&unused);
    retried->SetTavrikCore(&core);
    retried->Create(&unused, QRect(0, 0, 300, 200), 5, IEWebBrowser::StyleVisible);
    EXPECT_TRUE(QTest::qWaitFor([&] { return retries.lines().size() >= 3; }, PageTimeoutMs));
    QTest::qWait(1500);
    EXPECT_EQ(retries.lines(),
              Lines(3,
                    u"[ERROR] CZorvaEditorImpl, the editor page did not load: "_s
                        + QUrl::fromLocalFile(core.pagePath).toString()));
    EXPECT_FALSE(retried->pageLoaded());
    EXPECT_EQ(unused.pageLoadedEvents, 0);
}

TEST_F(EditorTest, LoadJoinsTheStoresNoteFilesOpensTooLargeOnesReadOnlyAndSavesNoUnreadablePage)
{
    writeNoteFile(u"join-a.html"_s, u"<p>first part</p>"_s, 1);
    writeNoteFile(u"join-b.html"_s, u"<p>second 部分</p>"_s, 2);
    // files, joined note, version
    const std::tuple<std::vector<QString>, QString, int> cases[]
        = {{{u"join-a.html"_s, u"join-b.html"_s}, u"<p>first part</p><p>second 部分</p>"_s, 2},
           {{u"join-b.html"_s, QString(), u"join-a.html"_s},
            u"<p>second 部分</p><p>first part</p>"_s,
            1},
           {{u"missing.html"_s, u"join-b.html"_s, u"gone.html"_s}, u"<p>second 部分</p>"_s, 2}};
    for (const auto &[names, html, version] : cases) {
        m_editor->LoadEditor(u"n1"_s, names, {}, false);
        EXPECT_EQ(lastHtml(), html);
        EXPECT_EQ(m_editor->version(), version) << html.toStdString();
        EXPECT_EQ(m_editor->handler().GetCurNoteGuid(), u"n1"_s);
        EXPECT_EQ(pageText().simplified(),
                  QString(html).remove(u"<p>"_s).replace(u"</p>"_s, u" "_s).simplified());
    }

    // Without readable files, or new, the current note is empty.
    writeNoteFile(u"old.html"_s, u"<p>old</p>"_s, 1);
    for (const auto &names :
         {std::vector<QString>{}, std::vector<QString>{u"nope.html"_s, QString()}}) {
        m_editor->LoadEditor(u"old"_s, {u"old.html"_s}, {}, false);
        ASSERT_EQ(m_editor->version(), 1);
        m_editor->LoadEditor(u"n2"_s, names, {{u"a.png"_s, 7}}, false);
        EXPECT_EQ(lastHtml(), QString());
        EXPECT_EQ(m_editor->version(), 2);
        EXPECT_TRUE(pageText().isEmpty());
    }

    // A new note gets a fresh id each time.
    m_editor->LoadEditor(u"old"_s, {u"old.html"_s}, {}, false);
    QString first;
    QString second;
    m_editor->NewEditor(first, false);
    m_editor->NewEditor(second, false);
    EXPECT_TRUE(matches(u"[0-9a-f]{32}"_s, first)) << first.toStdString();
    EXPECT_NE(first, second);
    EXPECT_EQ(m_editor->handler().GetCurNoteGuid(), second);
    EXPECT_EQ(m_editor->version(), 2);
    EXPECT_TRUE(pageText().isEmpty());

    // Only the store is read, and too large notes open read-only.
    writeNoteFile(u"small.html"_s, u"<p>kept</p>"_s, 2);
    ASSERT_TRUE(writeBytes(s_app->path() + u"/userdata/outside.html"_s, "<p>outside</p>"));
    QFile::remove(Internal::SavedNotes::recordPath()); // no note saved yet: sanitised
    LogCapture log;
    m_editor->LoadEditor(u"n"_s, {u"../outside.html"_s, u"small.html"_s}, {}, false);
    EXPECT_EQ(lastHtml(), u"<p>kept</p>"_s);
    EXPECT_EQ(log.lines(),
              (Lines{u"[ERROR] CZorvaEditorImpl::LoadEditor, note file outside the "
                     "store refused: ../outside.html"_s,
                     u"[INFO] SavedNotes, no record of saved notes at "_s
                         + Internal::SavedNotes::recordPath() + u"; the note is sanitised"_s}));

    // Exactly at the limit a note is editable; one byte more shows its beginning read-only.
    const qint64 limit = CZorvaEditorImpl::MaxEditableNoteBytes;
    for (const qint64 extra : {0, 1}) {
        const QString content = u"<p>"_s + QString(limit - 30 + extra, u'a') + u"</p>"_s;
        writeNoteFile(u"big.html"_s, content, 2);
        m_prompts.clear();
        m_editor->LoadEditor(u"big"_s, {u"big.html"_s}, {}, false);
        m_editor->SetReadOnly(false);
        EXPECT_EQ(m_editor->handler().IsReadOnly(), extra);
        EXPECT_EQ(lastHtml(), extra ? content.left(limit - 23) : content);
        EXPECT_EQ(m_prompts.messages(),
                  extra ? QStringList{u"此笔记大小为4.00 MiB，超过编辑器可编辑的4.00 MiB，只以只读"
                                      "方式显示其开头部分；笔记本身不会被更改。"_s}
                        : QStringList{});
    }
    m_editor->handler().SetReadOnly(false);
    m_editor->SaveEditor();
    EXPECT_TRUE(m_host->saves.empty()) << "a note shown in part was saved";

    // Unreadable page content shows its message and saves nothing.
    m_prompts.clear();
    m_editor->LoadEditor(u"broken"_s, {}, {}, false);
    runInPage(u"window.jsProcessor = undefined; true"_s);
    LogCapture unreadable;
    m_editor->SaveEditor();
    EXPECT_TRUE(m_host->saves.empty());
    EXPECT_EQ(m_prompts.messages(), QStringList{u"获取笔记编辑器内容失败！"_s});
    EXPECT_THAT(
        unreadable.lines(),
        Contains(u"[ERROR] 获取笔记编辑器内容，js方法调用失败！，ErrMsg:unknow error ！"_s));
}

TEST_F(EditorTest, FocusLossSavesAChangedNoteOnceListingTheNoteFileFirst)
{
    loadNote(u"focusnote"_s, u"<p>Hello</p>"_s);
    loseFocus();
    EXPECT_TRUE(m_host->saves.empty()) << "an unchanged note was saved";

    typeAtEnd(u" world 你好"_s);
    loseFocus();
    ASSERT_EQ(m_host->saves.size(), 1u);
    const EditorHost::Save &save = m_host->saves.front();
    EXPECT_EQ(save.noteId, u"focusnote"_s);
    EXPECT_EQ(save.plainText.trimmed(), u"Hello world 你好"_s);
    ASSERT_FALSE(save.files.empty());
    const NewAttachFile &noteFile = save.files.front();
    EXPECT_EQ(noteFile.fileKind, 0);
    EXPECT_EQ(noteFile.fileExt, u"html"_s);
    EXPECT_EQ(noteFile.storeName, CalcFileMd5(attachRoot() + noteFile.storeName) + u".html"_s);
    EXPECT_FALSE(noteFile.modifyTime.isEmpty());

    QString stored;
    int version = 0;
    ASSERT_EQ(NoteHtmlRW::ReadHtmlTextFromFile(attachRoot() + noteFile.storeName, stored, version),
              1);
    EXPECT_EQ(version, 2);
    EXPECT_EQ(stored, lastHtml());
    EXPECT_TRUE(stored.contains(u"Hello world 你好"_s)) << stored.toStdString();

    loseFocus();
    EXPECT_EQ(m_host->saves.size(), 1u) << "a second focus loss without edits saved again";

    // A save lists the note file first, then the files the note shows.
    const QString exdata = u"{&quot;OrigName_B64&quot;:&quot;cmVwb3J0LnBkZg==&quot;}"_s;
    loadNote(u"att"_s,
             u"<p>see <img class=\"userdata\\attachment\\c3d4.pdf\" "
             "src=\"../userdata\\attachment\\e5f6.bmp\" zv_exdata=\""_s
                 + exdata + u"\"></p>"_s,
             {{u"c3d4.pdf"_s, 10}});
    typeAtEnd(u" now"_s);
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 2u);
    QStringList listed;
    for (const NewAttachFile &file : m_host->saves.back().files) {
        listed << QString::number(file.fileKind) + u':' + file.storeName + u':' + file.origName;
        EXPECT_FALSE(file.modifyTime.isEmpty()) << file.storeName.toStdString();
    }
    ASSERT_EQ(listed.size(), 3);
    listed[0] = listed[0].left(2);
    EXPECT_EQ(listed, (QStringList{u"0:"_s, u"2:c3d4.pdf:report.pdf"_s, u"1:e5f6.bmp:"_s}));
}

TEST_F(EditorTest, CtrlSAndSaveEditorSaveAHostRefusalIsRetriedAndReadOnlyBlocksThem)
{
    m_editor->LoadEditor(u"keys"_s, {}, {}, false);
    typeAtEnd(u"by key"_s);
    pressCtrlS();
    ASSERT_EQ(m_host->saves.size(), 1u);
    EXPECT_EQ(m_host->saves.back().plainText.trimmed(), u"by key"_s);

    m_host->acceptSaves = false;
    typeAtEnd(u" twice"_s);
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 2u);
    m_host->acceptSaves = true;
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 3u) << "a save the host refused was not tried again";
    EXPECT_EQ(m_host->saves.back().files.front().storeName,
              m_host->saves[1].files.front().storeName);
    m_editor->SaveEditor();
    EXPECT_EQ(m_host->saves.size(), 3u);

    // Read-only blocks every save.
    m_editor->LoadEditor(u"ro"_s, {}, {}, false);
    typeAtEnd(u"draft"_s);
    m_editor->SetReadOnly(true);
    EXPECT_TRUE(m_editor->handler().IsReadOnly());
    loseFocus();
    focusEditor();
    pressCtrlS();
    m_editor->SaveEditor();
    EXPECT_EQ(m_host->saves.size(), 3u);

    m_editor->SetReadOnly(false);
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 4u);
    EXPECT_EQ(m_host->saves.back().plainText.trimmed(), u"draft"_s);
}

TEST_F(EditorTest, TheNewestEditorTakesOverTheSaveKey)
{
    m_editor->LoadEditor(u"first"_s, {}, {}, false);
    {
        EditorHost otherHost;
        auto *second = new CZorvaEditorImpl(&otherHost);
        ASSERT_TRUE(openEditor(second, &otherHost, QRect(0, 0, 400, 300), 7));
        EXPECT_EQ(CZorvaEditorImpl::lastEditor(), second);
        second->LoadEditor(u"second"_s, {}, {}, false);
        runScript(second->page(),
                  u"Tavrik.editor.focus();Tavrik.editor.document()"
                  ".execCommand('insertText',false,'typed in second')"_s);

        // The save key pressed in the first editor's window saves the newest editor.
        pressCtrlS();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !otherHost.saves.empty(); }, 5000));
        EXPECT_TRUE(m_host->saves.empty());
        ASSERT_EQ(otherHost.saves.size(), 1u);
        EXPECT_EQ(otherHost.saves.front().noteId, u"second"_s);
        delete second;
    }
    EXPECT_EQ(CZorvaEditorImpl::lastEditor(), nullptr);
}

// The toolbar from the keyboard: one Tab stop, the arrow keys, Home and End move between its
// controls; a click between the controls leaves the focus in the note; another note closes
// the pop-up opened for the one before.
TEST_F(EditorTest, ToolbarIsOneTabStopWalkedWithArrowsAndLeavesTheFocusInTheNote)
{
    m_editor->LoadEditor(u"k1"_s, {}, {}, false);
    const QString stops = u"Array.from(document.querySelectorAll('#toolbar [tabindex=\"0\"]'))"
                          ".map(c => c.dataset.id).join()"_s;
    EXPECT_EQ(runInPage(stops).toString(), u"undo"_s);
    focusEditor();
    runInPage(u"document.querySelector('[data-id=undo]').focus()"_s);
    // The focus moves once the page has handled the key.
    const auto press = [&](Qt::Key key, const QString &to) {
        QTest::keyClick(m_editor->GetWebBrowseHwnd(), key);
        return waitForScript(m_editor->page(),
                             u"document.activeElement.dataset.id==='%1'"_s.arg(to));
    };
    EXPECT_TRUE(press(Qt::Key_Right, u"redo"_s));
    EXPECT_TRUE(press(Qt::Key_Right, u"block"_s));
    EXPECT_TRUE(press(Qt::Key_Right, u"size"_s)) << "the list keeps its value and lets go";
    EXPECT_EQ(runInPage(u"document.querySelector('[data-id=block]').value"_s).toString(), u"p"_s);
    EXPECT_TRUE(press(Qt::Key_Home, u"undo"_s));
    EXPECT_TRUE(press(Qt::Key_Left, u"capture-more"_s));
    EXPECT_TRUE(press(Qt::Key_Left, u"capture"_s));
    EXPECT_EQ(runInPage(stops).toString(), u"capture"_s) << "Tab comes back to the last one";
    EXPECT_TRUE(press(Qt::Key_End, u"capture-more"_s));
    m_editor->SetReadOnly(true);
    EXPECT_EQ(runInPage(stops).toString(), QString()) << "no stop while every control is off";
    m_editor->SetReadOnly(false);
    EXPECT_EQ(runInPage(stops).toString(), u"undo"_s);

    // A click on the toolbar's empty end, then typing: the text goes into the note.
    typeAtEnd(u"one"_s);
    const QVariantList empty
        = runInPage(
              u"(function(){const t=document.getElementById('toolbar').getBoundingClientRect();"
              "return [t.right-4,t.top+t.height/2];})()"_s)
              .toList();
    const QPoint spot(empty.value(0).toInt(), empty.value(1).toInt());
    QTest::mouseClick(m_editor->GetWebBrowseHwnd(), Qt::LeftButton, {}, spot);
    EXPECT_EQ(
        runInPage(u"document.elementFromPoint(%1,%2).id"_s.arg(spot.x()).arg(spot.y())).toString(),
        u"toolbar"_s);
    for (const QChar c : u"two"_s)
        QTest::sendKeyEvent(QTest::Click, m_editor->GetWebBrowseHwnd(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pageText() == u"onetwo"_s; }, 5000))
        << pageText().toStdString();

    runInPage(u"document.querySelector('[data-id=color-more]').click()"_s);
    EXPECT_EQ(runInPage(u"document.querySelectorAll('.popover').length"_s).toInt(), 1);
    m_editor->LoadEditor(u"k2"_s, {}, {}, false);
    EXPECT_TRUE(waitForScript(m_editor->page(), u"!document.querySelector('.popover')"_s));
}

// The dark theme draws pasted colours adapted; the note's markup stays byte for byte.
TEST_F(EditorTest, DarkThemeDrawsPastedBackgroundsAdaptedAndKeepsTheMarkup)
{
    m_editor->LoadEditor(u"d1"_s, {}, {}, false);
    runInPage(
        uR"(Tavrik.editor.setContent('<p><span style="color: rgb(32, 33, 36); background-color: rgb(255, 255, 255);">pasted</span> <span style="background:#fff">plain</span> <span style="background-color: rgb(255, 243, 163);">marked</span> <span style="color: rgb(217, 48, 37);">red</span></p><table><tr><td bgcolor="#ffffff">cell</td></tr></table>'))"_s);
    const QString markup = u"Tavrik.editor.content().html"_s;
    const QString light = runInPage(markup).toString();
    m_editor->SetTheme(CZorvaEditorImpl::Theme::Dark);
    const auto drawn = [&](const QString &selector) {
        return runInPage(u"(function(){const s=getComputedStyle(Tavrik.editor.document()"
                         ".querySelector('%1'));return s.color+'|'+s.backgroundColor;})()"_s.arg(
                             selector))
            .toString();
    };
    EXPECT_EQ(drawn(u"span"_s), u"rgb(227, 229, 232)|rgba(0, 0, 0, 0)"_s);
    EXPECT_EQ(drawn(u"span:nth-child(2)"_s), u"rgb(227, 229, 232)|rgba(0, 0, 0, 0)"_s);
    EXPECT_EQ(drawn(u"span:nth-child(3)"_s), u"rgb(31, 35, 40)|rgb(255, 243, 163)"_s);
    EXPECT_EQ(drawn(u"span:nth-child(4)"_s), u"rgb(217, 48, 37)|rgba(0, 0, 0, 0)"_s);
    EXPECT_EQ(drawn(u"td"_s), u"rgb(227, 229, 232)|rgba(0, 0, 0, 0)"_s);
    EXPECT_EQ(runInPage(markup).toString(), light);
    m_editor->SetTheme(CZorvaEditorImpl::Theme::Light);
    EXPECT_EQ(drawn(u"span"_s), u"rgb(32, 33, 36)|rgb(255, 255, 255)"_s);
}

// Search marks on the real editor page: which hits get marked, that each mark lies over its
// hit as the view scrolls, zooms, resizes and reflows, and that the note never changes.
class Highlight : public EditorTest
{
protected:
    int mark(const QString &keyword) { return m_editor->handler().HighlightText(keyword); }
    // The highlighter's view of its marks (in the frame's viewport coordinates).
    QVariantMap marks(bool countOnly = false)
    {
        return runScript(m_editor->page(),
                         u"window.tavrikHighlighter?tavrikHighlighter.describe(%1):{hits:0}"_s.arg(
                             countOnly),
                         QWebEngineScript::ApplicationWorld)
            .toMap();
    }
    // The boxes the frame lays out for the text at `offsets` (of the body's text), `length` long.
    QVariantList boxes(const QList<int> &offsets, int length)
    {
        QStringList list;
        for (int offset : offsets)
            list << QString::number(offset);
        return runInPage(uR"((function(offsets,n){const d=Tavrik.editor.document(),nodes=[];let s=0;
            const w=d.createTreeWalker(d.body,NodeFilter.SHOW_TEXT);
            for(let t=w.nextNode();t;t=w.nextNode()){nodes.push([t,s]);s+=t.data.length;}
            const at=(o,e)=>{for(const[t,b]of nodes)if(o<b+t.data.length||(e&&o==b+t.data.length))return[t,o-b];};
            const out=[];for(const o of offsets){const r=d.createRange();r.setStart(...at(o,0));r.setEnd(...at(o+n,1));
            for(const b of r.getClientRects())if(b.width>0&&b.height>0)out.push([b.left,b.top,b.width,b.height]);}
            return out;})([%1],%2))"_s.arg(list.join(u','))
                             .arg(length))
            .toList();
    }
    // True when the marks are drawn exactly over `expected`, within half a pixel.
    bool marksOver(const QVariantList &expected)
    {
        const QVariantMap now = marks();
        const QVariantList drawn = now.value(u"marks"_s).toList();
        if (!now.value(u"drawn"_s).toBool() || drawn.size() != expected.size())
            return false;
        for (qsizetype i = 0; i < drawn.size(); ++i) {
            for (int k = 0; k < 4; ++k) {
                if (std::abs(drawn[i].toList()[k].toDouble() - expected[i].toList()[k].toDouble())
                    > 0.5)
                    return false;
            }
        }
        return true;
    }
    bool marksFollow(const QList<int> &offsets, int length)
    {
        return QTest::qWaitFor([&] { return marksOver(boxes(offsets, length)); }, 5000);
    }
    void show(const QString &html) { m_editor->handler().SetEditorHtml(html); }
    // Puts `html` into the note as it is: the sanitiser takes hiding styles off.
    void showAsIs(const QString &html)
    {
        show(QString());
        runInPage(u"Tavrik.editor.document().body.innerHTML = "_s + jsString(html));
    }
    // The body's markup, character count and whether undo has anything to undo.
    QString noteState()
    {
        return runInPage(
                   u"(function(){const d=Tavrik.editor.document();return [d.body.innerHTML,"
                   "Tavrik.editor.charCount(),d.queryCommandEnabled('undo')].join('|');})()"_s)
            .toString();
    }
};

TEST_F(Highlight, MarksEveryVisibleHitAsPlainTextScrollsToTheFirstAndCoversIt)
{
    const QString longest(ZvWebNoteHandler::MaxHighlightKeywordLength, u'x');
    const std::tuple<QString, QString, QList<int>> cases[] = {
        {u"<p>abab</p>"_s, u"ab"_s, {0, 2}},
        {u"<p>aaa</p>"_s, u"aa"_s, {0, 1}},
        {u"<p>Abc abc</p>"_s, u"ABC"_s, {}},
        {u"<p>x<span style=\"display:none\">key</span><span style=\"visibility:hidden\">key</span>"
         "<i style=\"display:none\"><b>key</b></i>key</p>"_s,
         u"key"_s,
         {10}},
        {u"<p>x<span hidden>key</span><b><i>key</i></b></p>"_s, u"key"_s, {4}},
        {u"<p>a<b>b</b>c</p><p>d</p>"_s, u"abc"_s, {0}},
        {u"<p>a<b>b</b>c</p><p>d</p>"_s, u"cd"_s, {}},
        {u"<p>a<b>a</b>a<i>aab</i>ab<u>c</u></p>"_s, u"aa"_s, {0, 1, 2, 3}},
        {u"<p>1 a.*b axb &lt;b&gt; \"\\'\"</p>"_s, u"a.*b"_s, {2}},
        {u"<p>1 a.*b axb &lt;b&gt; \"\\'\"</p>"_s, u"<b>"_s, {11}},
        {u"<p>1 a.*b axb &lt;b&gt; \"\\'\"</p>"_s, u"\"\\'\""_s, {15}},
        {u"<p>\"+(window.hacked=1)+\"</p>"_s, u"\"+(window.hacked=1)+\""_s, {0}},
        {u"<p dir=\"rtl\">שלום עולם שלום</p>"_s, u"שלום"_s, {0, 10}},
        {u"<p>a\uFFFDb 😀</p>"_s, QString(QChar(0xD800)), {}},
        {u"<p>a\uFFFDb 😀</p>"_s, u"😀"_s, {4}},
        {u"<p>"_s + longest + u"x</p>"_s, longest, {0, 1}},
        {u"<p>"_s + longest + u"</p>"_s, longest.chopped(1) + u'y', {}},
    };
    for (const auto &[html, keyword, offsets] : cases) {
        showAsIs(html);
        LogCapture log;
        EXPECT_EQ(mark(keyword), 1);
        EXPECT_EQ(log.lines(), Lines{});
        EXPECT_EQ(marks().value(u"hits"_s).toInt(), offsets.size()) << html.left(120).toStdString();
        EXPECT_TRUE(marksFollow(offsets, int(keyword.size()))) << html.left(120).toStdString();
    }
    EXPECT_EQ(runInPage(u"typeof window.hacked"_s).toString(), u"undefined"_s);
    EXPECT_EQ(
        runScript(m_editor->page(), u"typeof window.hacked"_s, QWebEngineScript::ApplicationWorld)
            .toString(),
        u"undefined"_s);

    // The first visible hit is scrolled to the top and its mark covers its text.
    QString filler;
    for (int i = 0; i < 60; ++i)
        filler += u"<p>line</p>"_s;
    showAsIs(u"<p style=\"display:none\">key</p>"_s + filler + u"<p>the key here</p>"_s + filler);
    ASSERT_EQ(mark(u"key"_s), 1);
    const int first = 3 + 60 * 4 + 4;
    EXPECT_NEAR(boxes({first}, 3).value(0).toList().value(1).toDouble(), 0, 1);
    EXPECT_TRUE(marksFollow({first}, 3));

    runInPage(u"Tavrik.editor.frame().contentWindow.scrollBy(0,-37)"_s);
    ASSERT_TRUE(marksFollow({first}, 3));
    const QVariantList box = boxes({first}, 3).value(0).toList();
    const QVariantList origin
        = runInPage(u"(function(){const f=Tavrik.editor.frame(),r=f.getBoundingClientRect();"
                    "return [r.left+f.clientLeft,r.top+f.clientTop];})()"_s)
              .toList();
    const QRect hit
        = QRectF(box[0].toDouble() + origin[0].toDouble(), box[1].toDouble() + origin[1].toDouble(),
                 box[2].toDouble(), box[3].toDouble())
              .toAlignedRect()
              .adjusted(1, 1, -1, -1);
    QTest::qWait(300);
    const QImage shot = m_editor->grab().toImage();
    int yellow = 0, dark = 0, yellowBelow = 0;
    for (int y = hit.top(); y <= hit.bottom(); ++y) {
        for (int x = hit.left(); x <= hit.right(); ++x) {
            const QColor in = shot.pixelColor(x, y),
                         below = shot.pixelColor(x, y + hit.height() + 4);
            yellow += in.red() > 235 && in.green() > 235 && std::abs(in.blue() - 0x11) < 24;
            dark += in.red() < 140 && in.green() < 140;
            yellowBelow += below.blue() < 100;
        }
    }
    EXPECT_GT(yellow, hit.width() * hit.height() / 3) << "no #FFFF11 over the hit";
    EXPECT_GT(dark, 0) << "the hit's text is hidden by its mark";
    EXPECT_EQ(yellowBelow, 0);
}

TEST_F(Highlight, MarksFollowZoomResizeAndTypingButNeedThePageAndItsFrame)
{
    show(u"<p>one key two key</p>"_s);
    ASSERT_EQ(mark(u"key"_s), 1);
    m_editor->setZoomFactor(1.5);
    EXPECT_TRUE(marksFollow({4, 12}, 3));
    m_editor->resize(180, 600);
    EXPECT_TRUE(marksFollow({4, 12}, 3));
    runInPage(u"(function(){const d=Tavrik.editor.document();Tavrik.editor.focus();"
              "d.getSelection().collapse(d.body.firstChild.firstChild,0);"
              "d.execCommand('insertText',false,'more ');})()"_s);
    EXPECT_TRUE(marksFollow({9, 17}, 3));
    // A new search sees the typed text.
    EXPECT_EQ(mark(u"more"_s), 1);
    EXPECT_TRUE(marksFollow({0}, 4));

    // No page, or no editing frame, marks nothing.
    ZvWebNoteHandler bare;
    EXPECT_EQ(bare.CancleHighlight(), 1);
    EXPECT_EQ(bare.HighlightText(u"a"_s), 0);
    show(u"<p>a</p>"_s);
    runInPage(u"Tavrik.editor.frame().className='KE-Edit-IFRAME'"_s);
    EXPECT_EQ(mark(u"a"_s), 1);
    runInPage(u"Tavrik.editor.frame().className='ke-edit-iframe2'"_s);
    EXPECT_EQ(mark(u"a"_s), 0);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0);
}

TEST_F(Highlight, OnlyTheNewestKeywordIsMarkedAndTheNoteAndItsFileStayAsTheyWere)
{
    show(u"<p>one two one</p>"_s);
    const QString state = noteState();
    EXPECT_EQ(mark(u"one"_s), 1);
    EXPECT_EQ(mark(u"two"_s), 1);
    EXPECT_TRUE(marksFollow({4}, 3));
    EXPECT_EQ(mark(QString()), 1);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0);
    EXPECT_EQ(runInPage(u"document.querySelectorAll('tavrik-marks').length"_s).toInt(), 0);

    ASSERT_EQ(mark(u"one"_s), 1);
    QTest::keyClick(m_editor->GetWebBrowseHwnd(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0) << "Control+F keeps the marks";
    ASSERT_EQ(mark(u"one"_s), 1);
    EXPECT_EQ(m_editor->handler().CancleHighlight(), 1);
    EXPECT_EQ(m_editor->handler().CancleHighlight(), 1);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 0);
    EXPECT_EQ(noteState(), state);

    ASSERT_EQ(mark(u"one"_s), 1);
    show(u"<p>one</p>"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return marks().value(u"hits"_s).toInt() == 0; }, 5000));

    // The note and its saved file stay as they were.
    for (bool withMarks : {false, true}) {
        m_editor->LoadEditor(u"n1"_s, {}, {}, false);
        runInPage(u"(function(){const d=Tavrik.editor.document();Tavrik.editor.focus();"
                  "d.execCommand('insertText',false,'alpha beta alpha');})()"_s);
        const QString unmarked = noteState();
        if (withMarks)
            ASSERT_EQ(mark(u"alpha"_s), 1);
        EXPECT_EQ(noteState(), unmarked);
        m_editor->SaveEditor();
    }
    ASSERT_EQ(m_host->saves.size(), 2u);
    EXPECT_EQ(m_host->saves[1].files.at(0).filePath, m_host->saves[0].files.at(0).filePath);
    EXPECT_EQ(marks().value(u"hits"_s).toInt(), 2) << "saving removed the marks";
}

TEST_F(Highlight, IgnoringCaseFoldsBothSidesAndTheCurrentHitGoesRoundBothWays)
{
    // Offsets of the hits in the note's own text, whatever length folding gives a character.
    const std::tuple<QString, QString, QList<int>> cases[] = {
        {u"<p>Abc abc ABC aBC</p>"_s, u"aBc"_s, {0, 4, 8, 12}},
        {u"<p>\u0130stanbul ISTANBUL</p>"_s, u"stan"_s, {1, 10}},
        {u"<p>\u0130i \u0130</p>"_s, u"\u0130"_s, {0, 3}},
        {u"<p>\u039F\u0394\u039F\u03A3 \u03BF\u03B4\u03BF\u03C2</p>"_s,
         u"\u03BF\u03B4\u03BF\u03C3"_s,
         {0, 5}},
        {u"<p>stra\u00DFe STRASSE</p>"_s, u"strasse"_s, {7}},
    };
    for (const auto &[html, keyword, offsets] : cases) {
        show(html);
        EXPECT_EQ(m_editor->handler().HighlightText(keyword, false), 1);
        EXPECT_EQ(m_editor->handler().HighlightCount(), offsets.size()) << html.toStdString();
        EXPECT_TRUE(marksFollow(offsets, int(keyword.size()))) << html.toStdString();
    }

    QString filler;
    for (int i = 0; i < 60; ++i)
        filler += u"<p>line</p>"_s;
    show(u"<p>key</p>"_s + filler + u"<p>KEY</p><p>Key</p>"_s);
    ASSERT_EQ(m_editor->handler().HighlightText(u"kEY"_s, false), 1);
    EXPECT_EQ(marks().value(u"current"_s).toInt(), -1);
    const int second = 3 + 60 * 4;
    const auto inView = [&](int offset) {
        const double top = boxes({offset}, 3).value(0).toList().value(1).toDouble();
        return top >= 0 && top + 10 < m_editor->height();
    };
    EXPECT_EQ(m_editor->handler().HighlightNext(false), 0);
    EXPECT_TRUE(inView(0));
    EXPECT_EQ(m_editor->handler().HighlightNext(false), 1);
    EXPECT_TRUE(inView(second)) << "the current hit is scrolled into view";
    EXPECT_EQ(m_editor->handler().HighlightNext(false), 2);
    EXPECT_EQ(m_editor->handler().HighlightNext(false), 0) << "after the last comes the first";
    EXPECT_TRUE(inView(0));
    EXPECT_EQ(m_editor->handler().HighlightNext(true), 2);
    EXPECT_EQ(marks().value(u"current"_s).toInt(), 2);

    // The current hit's mark is orange, the others stay yellow.
    ASSERT_TRUE(marksFollow({0, second, second + 3}, 3));
    const QVariantList origin
        = runInPage(u"(function(){const f=Tavrik.editor.frame(),r=f.getBoundingClientRect();"
                    "return [r.left+f.clientLeft,r.top+f.clientTop];})()"_s)
              .toList();
    const auto colourOver = [&](int offset, const QImage &shot) {
        const QVariantList box = boxes({offset}, 3).value(0).toList();
        const QPoint centre
            = QRectF(box[0].toDouble() + origin[0].toDouble(),
                     box[1].toDouble() + origin[1].toDouble(), box[2].toDouble(), box[3].toDouble())
                  .center()
                  .toPoint();
        // The background next to the text's strokes: the lightest pixel of the hit's middle row.
        QColor lightest(Qt::black);
        for (int x = centre.x() - 6; x <= centre.x() + 6; ++x) {
            const QColor c = shot.pixelColor(x, centre.y());
            if (c.lightness() > lightest.lightness())
                lightest = c;
        }
        return lightest;
    };
    // Marks are drawn a frame or two after they are placed: the view is looked at until then.
    QColor current, other;
    const bool painted = QTest::qWaitFor(
        [&] {
            const QImage shot = m_editor->grab().toImage();
            current = colourOver(second + 3, shot);
            other = colourOver(second, shot);
            return current.red() > 235 && std::abs(current.green() - 0x96) < 24
                && current.blue() < 80 && other.red() > 235 && other.green() > 235
                && other.blue() < 60;
        },
        10000);
    EXPECT_TRUE(painted) << "current " << current.name().toStdString() << ", other "
                         << other.name().toStdString();

    EXPECT_EQ(m_editor->handler().HighlightText(u"kEY"_s), 1);
    EXPECT_EQ(m_editor->handler().HighlightCount(), 0) << "matching case by default";
    EXPECT_EQ(m_editor->handler().HighlightNext(false), -1);
    ZvWebNoteHandler bare;
    EXPECT_EQ(bare.HighlightNext(true), -1);
}

TEST_F(Highlight, HundredThousandHitsAreAllMarked)
{
    show(u"<p>"_s + QString(u"k "_s).repeated(100000) + u"</p>"_s);
    ASSERT_EQ(mark(u"k"_s), 1);
    EXPECT_EQ(runInPage(u"1+1"_s).toInt(), 2);
    EXPECT_EQ(marks(true).value(u"hits"_s).toInt(), 100000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return marks(true).value(u"drawn"_s).toBool(); }, 120000));
    EXPECT_EQ(marks(true).value(u"marks"_s).toInt(), 100000);
}

// Attachments edited outside the editor, end to end: the real editor page, the real store
// watcher, and other processes writing the kept copies.
//
// The host: records saves and answers the monitor from them, as a host's index would.
class Host : public EditorHost, public IAttachFileListSource
{
public:
    int OnSaveNote(const QString &noteId, const std::vector<NewAttachFile> &files,
                   const QString &text) override
    {
        std::lock_guard lock(mutex);
        return EditorHost::OnSaveNote(noteId, files, text);
    }
    int GetNoteFileList(const QString &noteId, std::vector<AttachmentFile> &files) override
    {
        std::lock_guard lock(mutex);
        for (auto save = saves.rbegin(); save != saves.rend(); ++save) {
            if (save->noteId == noteId) {
                files = Internal::AttachResync::monitorList(save->files, {});
                return 1;
            }
        }
        return 0;
    }
    size_t saveCount()
    {
        std::lock_guard lock(mutex);
        return saves.size();
    }
    std::mutex mutex;
};

// Runs a shell command in another process.
void shell(const QString &command)
{
    ASSERT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, command}), 0) << command.toStdString();
}

class AttachResyncTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = GetAttachRootDir() + u'/';
        m_editor = new CZorvaEditorImpl;
        m_editor->SetAttachFileListSource(&m_host);
        ASSERT_TRUE(openEditor(m_editor, &m_host, QRect(0, 0, 800, 600), 7));
        ASSERT_TRUE(m_editor->attachFileMonitor().isRunning());
    }
    void TearDown() override { delete m_editor; }

    // Starts a note holding copies of the given files, saved once. Gives its id.
    QString noteWith(const std::vector<std::pair<QString, QByteArray>> &files)
    {
        QString id;
        m_editor->NewEditor(id, false);
        std::vector<QString> paths;
        for (const auto &[name, bytes] : files) {
            paths.push_back(m_dir.filePath(name));
            EXPECT_TRUE(writeBytes(paths.back(), bytes));
        }
        m_editor->InsertLocalFile(paths);
        const size_t before = m_host.saveCount();
        m_editor->SaveEditor();
        EXPECT_EQ(m_host.saveCount(), before + 1);
        // Until its events are quiet, a file just placed counts as new, not as edited.
        QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 2);
        return id;
    }
    // Waits for `count` saves, then a while longer for any save too many.
    void waitForSaves(size_t count)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_host.saveCount() >= count; }, 10000));
        QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 3);
        EXPECT_EQ(m_host.saveCount(), count);
    }
    // "class|src" of the page's attachment with this original name.
    QString shown(const QString &name)
    {
        return runScript(m_editor->page(),
                         u"[...Tavrik.editor.document().querySelectorAll('img')]"
                         ".filter(i => i.getAttribute('zv_exdata') === '%1')"
                         ".map(i => i.className + '|' + i.getAttribute('src')).join(',')"_s.arg(
                             AttachMarkup::FormatOrigNameToJson(name)))
            .toString();
    }
    static QString storeNameOf(const Host::Save &save, const QString &origName)
    {
        for (const NewAttachFile &file : save.files) {
            if (file.fileKind == 2 && file.origName == origName)
                return file.storeName;
        }
        return {};
    }

    RecordingPrompts m_prompts;
    Host m_host;
    CZorvaEditorImpl *m_editor = nullptr;
    QTemporaryDir m_dir;
    QString m_root;
};

TEST_F(AttachResyncTest, EditsByOtherProgramsReachThePageTheStoreAndTheHostOnce)
{
    const QByteArray png = pngBytes(filledImage(20, 10, Qt::red));
    const QString id = noteWith({{u"report.docx"_s, "first draft"}, {u"photo.PNG"_s, png}});
    const QString report = m_root + id + u"/report.docx"_s;
    const QString photo = m_root + id + u"/photo.PNG"_s;

    // Rewritten in place, in 50 pieces: one resync.
    shell(u"for i in $(seq 50); do printf 'second draft %s' $i > '%1'; done"_s.arg(report));
    waitForSaves(2);
    const QString docHash = CalcFileMd5(report);
    EXPECT_EQ(storeNameOf(m_host.saves.back(), u"report.docx"_s), docHash + u".docx"_s);
    const QStringList doc = shown(u"report.docx"_s).split(u'|');
    ASSERT_EQ(doc.size(), 2);
    EXPECT_EQ(doc[0], u"userdata\\attachment\\"_s + docHash + u".docx"_s);
    // The new card shows the new size at the current minute.
    const QString card = m_dir.filePath(u"card.bmp"_s);
    ASSERT_EQ(FileThumbnail::GenerateFileThumb(
                  FT_WORD, u"report.docx"_s,
                  QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s) + u" 15B"_s, card),
              1);
    const QString cardName = CalcFileMd5(card) + u".bmp"_s;
    EXPECT_EQ(doc[1], u"../userdata\\attachment\\"_s + cardName);
    EXPECT_EQ(m_editor->handler().GetAttachModifyCache().count(cardName), 1u);

    // Saved through a temporary file and a rename: the new picture is shown.
    const QByteArray png2 = pngBytes(filledImage(20, 10, Qt::blue));
    ASSERT_TRUE(writeBytes(m_dir.filePath(u"blue.png"_s), png2));
    shell(u"cp '%1' '%2.tmp' && mv '%2.tmp' '%2'"_s.arg(m_dir.filePath(u"blue.png"_s), photo));
    waitForSaves(3);
    const QString picHash = CalcFileMd5(photo);
    EXPECT_EQ(storeNameOf(m_host.saves.back(), u"photo.PNG"_s), picHash + u".PNG"_s);
    EXPECT_EQ(shown(u"photo.PNG"_s),
              u"userdata\\attachment\\%1.PNG|../userdata\\attachment\\%1.PNG"_s.arg(picHash));
    EXPECT_EQ(readBytes(m_root + picHash + u".PNG"_s), png2);

    // A file in the note's folder the page does not show: logged, nothing saved.
    const QString stray = m_root + id + u"/stray.txt"_s;
    ASSERT_TRUE(writeBytes(stray, "one"));
    QTest::qWait(int(AttachFileMonitor::QuietPeriod.count()) * 3);
    LogCapture log;
    ASSERT_TRUE(writeBytes(stray, "two"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.lines().size() >= 2; }, 10000));
    const Lines lines = log.lines(); // the page's refusal, then the resync's line
    EXPECT_TRUE(lines.size() == 2
                && lines[0].startsWith(u"[ERROR] 修改附件class属性值失败，错误信息："_s));
    EXPECT_EQ(lines.back(),
              u"[ERROR] CZorvaEditorImpl::DoAttachFileModify 更新笔记附件属性失败！"_s);
    EXPECT_EQ(m_host.saveCount(), 3u);
}

TEST_F(AttachResyncTest, AnEditToANoteNotOpenRewritesItsNoteFileAndTellsTheHostOnce)
{
    const QString other = noteWith({{u"plan.txt"_s, "plan A"}});
    const QString oldNoteFile = m_host.saves.back().files.front().filePath;
    noteWith({{u"list.txt"_s, "milk"}});
    QString openHtml;
    m_editor->GetLastHtml(openHtml);

    shell(u"printf 'plan B, much longer' > '%1'"_s.arg(m_root + other + u"/plan.txt"_s));
    waitForSaves(3);
    const Host::Save &save = m_host.saves.back();
    ASSERT_EQ(save.noteId, other);
    const NewAttachFile &noteFile = save.files.front();
    EXPECT_NE(noteFile.filePath, oldNoteFile);
    const QString content = QString::fromUtf8(readBytes(noteFile.filePath));
    const QString hash = CalcFileMd5(m_root + other + u"/plan.txt"_s);
    EXPECT_EQ(storeNameOf(save, u"plan.txt"_s), hash + u".txt"_s);
    EXPECT_TRUE(content.contains(u"userdata\\attachment\\"_s + hash + u".txt"_s));
    // The open note is untouched.
    QString html, text;
    ASSERT_EQ(m_editor->handler().GetEditorContent(html, text), 1);
    EXPECT_EQ(html, openHtml);
}

// Adding, copying and pasting attachments through the real editor page: files and an image
// dropped on the browser's inner window arrive in the store and in the page, whose content
// lists them in document order; copy and paste go through its keys and the clipboard, in one
// process and across two.
//
// The two sides of the copy across processes are tests of this program run in child
// processes, each named by this variable; a run without it skips them.
constexpr const char *SideVariable = "TAVRIK_CLIPBOARD_SIDE";
const QString AttachmentsOnly = u"setStartBefore(a[0]);r.setEndAfter(a[1])"_s;
const QString CaretAtStart = u"selectNodeContents(d.body);r.collapse(true)"_s;

// The program's own application folder holds the store; each test works in notes of its own.
class CopyPastePage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString side = qEnvironmentVariable(SideVariable);
        const char *test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (QByteArray(test).endsWith("Side") ? side != QLatin1String(test) : !side.isEmpty())
            GTEST_SKIP();
        editor = std::make_unique<CZorvaEditorImpl>();
        ASSERT_EQ(editor->Create(nullptr, QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor->isPageLoaded(); }, 30000));
        ASSERT_TRUE(waitForScript(editor->page(), u"window.Tavrik && Tavrik.ready === true"_s));
        editor->NewEditor(noteA, false);
        writeBytes(m_in.filePath(u"a.txt"_s), "alpha");
        writeBytes(m_in.filePath(u"b.png"_s), pngBytes(filledImage(4, 3, Qt::blue)));
    }

    QVariant js(const QString &script) { return runScript(editor->page(), script); }
    // Focuses the editor and selects what `range` sets on the range r (attachments in a).
    void select(const QString &range)
    {
        QApplication::setActiveWindow(editor.get());
        editor->GetWebBrowseHwnd()->setFocus();
        // Offscreen the widget may not get focus; the script below focuses the editing frame.
        (void)QTest::qWaitFor([&] { return editor->GetWebBrowseHwnd()->hasFocus(); }, 2000);
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           "const a=d.querySelectorAll('img[zv_exdata]');const r=d.createRange();r.%1;"
           "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s.arg(range));
    }
    void press(Qt::Key key)
    {
        QTest::keyClick(editor->GetWebBrowseHwnd(), key, Qt::ControlModifier);
    }
    // Waits until the original names of the page's attachments, joined, match `pattern`.
    bool attachmentsAre(const QString &pattern)
    {
        return QTest::qWaitFor(
            [&] {
                return matches(pattern,
                               js(u"Array.from(Tavrik.editor.document()"
                                  ".querySelectorAll('img[zv_exdata]')).map(i=>atob("
                                  "JSON.parse(i.getAttribute('zv_exdata')).OrigName_B64)"
                                  ").join()"_s)
                                   .toString());
            },
            10000);
    }
    void insertFiles()
    {
        editor->InsertLocalFile({m_in.filePath(u"a.txt"_s), m_in.filePath(u"b.png"_s)});
        ASSERT_TRUE(attachmentsAre(u"a.txt,b.png"_s));
    }
    // Copies the selection with Control+C and gives the clipboard after the copy notification.
    const QMimeData *copy(const QString &range)
    {
        select(range);
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        press(Qt::Key_C);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return clipboard->mimeData() && !clipboard->mimeData()->formats().isEmpty(); },
            5000));
        QTest::qWait(300); // the copy notification acts meanwhile
        static const QMimeData none;
        return clipboard->mimeData() ? clipboard->mimeData() : &none;
    }
    // Copies the note's two attachments alone: the clipboard holds their files.
    void copyOut()
    {
        insertFiles();
        const QString folder = m_root + noteA + u'/';
        EXPECT_EQ(copy(AttachmentsOnly)->urls(),
                  QList<QUrl>({QUrl::fromLocalFile(folder + u"a.txt"_s),
                               QUrl::fromLocalFile(folder + u"b.png"_s)}));
    }
    // Pastes them into another note, which gets copies of both.
    void pasteIntoNewNote()
    {
        QString noteB;
        editor->NewEditor(noteB, false);
        select(CaretAtStart);
        press(Qt::Key_V);
        ASSERT_TRUE(attachmentsAre(u"a.txt,b.png"_s));
        EXPECT_EQ(readBytes(m_root + noteB + u"/a.txt"_s), "alpha");
    }

    // Drags `data` over the editor's inner window and drops it, as the platform does.
    void dragAndDrop(QMimeData *data)
    {
        QWidget *inner = editor->GetWebBrowseHwnd();
        const QPoint at(200, 100);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(inner, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDragMoveEvent move(at + QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(inner, &move);
        QDropEvent drop(QPointF(at + QPoint(5, 5)), Qt::CopyAction, data, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(inner, &drop);
        EXPECT_TRUE(drop.isAccepted());
    }
    // Drags and drops the files as one batch.
    void dropFiles(const QStringList &paths)
    {
        QMimeData files;
        for (const QString &path : paths)
            files.setUrls(files.urls() << QUrl::fromLocalFile(path));
        dragAndDrop(&files);
    }
    // The page's content as the handler reads it.
    QString pageHtml()
    {
        QString html, text;
        EXPECT_EQ(editor->handler().GetEditorContent(html, text), 1);
        return html;
    }

    QTemporaryDir m_in;
    const QString m_root = GetAttachRootDir() + u'/';
    QString noteA;
    std::unique_ptr<CZorvaEditorImpl> editor;
};

TEST_F(CopyPastePage, TextOrAMissingFileKeepsTheBrowsersHtml)
{
    select(CaretAtStart);
    QTest::keyClicks(editor->GetWebBrowseHwnd(), u"Trip "_s);
    insertFiles();
    const QMimeData *copied = copy(u"selectNodeContents(d.body)"_s);
    EXPECT_TRUE(!copied->hasUrls() && copied->html().contains(u"Trip"_s))
        << copied->html().toStdString();
    ASSERT_TRUE(QFile::remove(m_root + noteA + u"/a.txt"_s));
    copied = copy(AttachmentsOnly);
    EXPECT_TRUE(!copied->hasUrls() && copied->html().contains(u"zv_exdata"_s));
}

TEST_F(CopyPastePage, FilesComeBeforeHtmlAndAPictureBecomesAJpeg)
{
    const QStringList before = QDir::temp().entryList({u"*.jpg"_s});
    auto *both = new QMimeData;
    both->setUrls({QUrl::fromLocalFile(m_in.filePath(u"a.txt"_s))});
    both->setHtml(u"<p>not pasted</p>"_s);
    QGuiApplication::clipboard()->setMimeData(both);
    select(CaretAtStart);
    press(Qt::Key_V);
    QGuiApplication::clipboard()->setImage(filledImage(5, 5, Qt::red));
    press(Qt::Key_V);
    ASSERT_TRUE(attachmentsAre(u"a\\.txt,[0-9a-f]{32}\\.jpg"_s));
    EXPECT_FALSE(
        js(u"Tavrik.editor.document().body.textContent"_s).toString().contains(u"not pasted"_s));
    EXPECT_EQ(QDir::temp().entryList({u"*.jpg"_s}), before) << "the temporary JPEG is deleted";
    EXPECT_EQ(readBytes(m_in.filePath(u"a.txt"_s)), "alpha") << "the pasted file is kept";
}

TEST_F(CopyPastePage, DroppedFilesAndImageAreStoredShownAndListed)
{
    const QString report = m_in.filePath(u"报告 final.pdf"_s);
    const QString notes = m_in.filePath(u"notes.txt"_s);
    ASSERT_TRUE(writeBytes(report, QByteArray(3000, 'p')));
    ASSERT_TRUE(writeBytes(notes, QByteArray(3000, 'n')));
    RecordingPrompts prompts;
    LogCapture log;
    dropFiles({report, notes});
    QMimeData image;
    image.setData(u"image/png"_s, pngBytes(filledImage(40, 30, QColor(30, 120, 200))));
    dragAndDrop(&image);
    ASSERT_EQ(editor->handler().dropFiles().size(), 1u);
    const DropFileInfo temp = editor->handler().dropFiles().at(0);
    EXPECT_EQ(log.lines(), std::vector<QString>{});
    EXPECT_TRUE(prompts.shown().empty());

    // The saved content lists the files and their thumbnails in document order for the host.
    std::vector<NewAttachFile> records;
    ASSERT_EQ(AttachMarkup::ParseAttList(editor->handler().GetCurNoteGuid(), pageHtml(), records),
              1);
    ASSERT_EQ(records.size(), 6u);
    const QString md5Image = CalcFileMd5(temp.srcPath);
    const QString thumbs[] = {records[1].storeName, records[3].storeName};
    QStringList listed;
    for (const NewAttachFile &record : records)
        listed.append(QString::number(record.fileKind) + u':' + record.storeName + u':'
                      + record.origName);
    EXPECT_EQ(listed,
              (QStringList{u"2:"_s + CalcFileMd5(report) + u".pdf:报告 final.pdf"_s,
                           u"1:"_s + thumbs[0] + u":"_s,
                           u"2:"_s + CalcFileMd5(notes) + u".txt:notes.txt"_s,
                           u"1:"_s + thumbs[1] + u":"_s,
                           u"2:"_s + md5Image + u".jpg:"_s + QFileInfo(temp.srcPath).fileName(),
                           u"1:"_s + md5Image + u".jpg:"_s}));

    // The files are in the store, and the page shows every image.
    const QString root = GetAttachRootDir() + u'/';
    const QString noteDir = root + editor->handler().GetCurNoteGuid() + u'/';
    EXPECT_TRUE(QFile::exists(noteDir + u"报告 final.pdf"_s));
    EXPECT_TRUE(QFile::exists(noteDir + u"notes.txt"_s));
    EXPECT_TRUE(QFile::exists(root + md5Image + u".jpg"_s));
    for (const QString &thumb : thumbs)
        EXPECT_EQ(QImage(root + thumb).height(), 48) << thumb.toStdString();
    ASSERT_TRUE(
        waitForScript(editor->page(),
                      u"Array.from(Tavrik.editor.document().querySelectorAll('img[zv_exdata]'))"
                      ".every(i => i.complete && i.naturalHeight > 0)"_s));
    QFile::remove(temp.srcPath);
}

TEST_F(CopyPastePage, NativeMarkupIsWhatThePageInserts)
{
    // A host writing a note without the page gets the element the page makes for the same file.
    const QString path = m_in.filePath(u"R&D \"plan\".txt"_s);
    ASSERT_TRUE(writeBytes(path, "plan"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    std::vector<DropFileInfo> files;
    ZvWebNoteHandler::GetFileList(&data, files);
    MAF_RESULT stored;
    ASSERT_EQ(files.size(), 1u);
    ASSERT_EQ(editor->handler().MoveAttFile(files.front(), stored), 1);
    const QString json = AttachMarkup::FormatOrigNameToJson(files.front().keptName);
    const QJsonArray arguments{stored.showSrc, stored.relPath, json};
    ASSERT_EQ(js(u"Tavrik.markup.insertAttachment(..."_s
                 + QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact))
                 + u')'),
              QVariant(true));
    EXPECT_EQ(
        js(u"Tavrik.editor.document().querySelector('img[zv_exdata]').outerHTML"_s).toString(),
        ZvWebNoteHandler::AttachmentMarkup(files.front(), stored));
}

TEST_F(CopyPastePage, DroppingTheSameNameAgainNumbersIt)
{
    const QString first = m_in.filePath(u"plan.txt"_s);
    const QString second = m_in.filePath(u"other/plan.txt"_s);
    ASSERT_TRUE(writeBytes(first, "first"));
    ASSERT_TRUE(writeBytes(second, "second"));
    dropFiles({first});
    dropFiles({second});
    std::vector<QString> names;
    ASSERT_EQ(AttachMarkup::ParseAttOrigFileNameList(pageHtml(), names), 1);
    EXPECT_EQ(names, (std::vector<QString>{u"plan.txt"_s, u"plan(1).txt"_s}));
}

// Copies in one editor process and pastes in another, on an X display of their own, so the
// file list really travels through the X clipboard.
TEST(ClipboardAcrossProcesses, AttachmentsCopiedInOneEditorArePastedInAnother)
{
    if (!qEnvironmentVariableIsEmpty(SideVariable))
        GTEST_SKIP();
    QProcess display; // picks a free display and prints its number
    display.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s});
    ASSERT_TRUE(display.waitForReadyRead(20000)) << "Xvfb did not start";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(display.readAllStandardOutput()).trimmed());
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    const auto side = [&](const QString &name) {
        auto *child = new QProcess(&display);
        env.insert(QString::fromLatin1(SideVariable), name);
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::MergedChannels);
        child->start(QCoreApplication::applicationFilePath(), {u"--gtest_filter=*."_s + name});
        return child;
    };
    QProcess *copier = side(u"CopySide"_s);
    QByteArray copied;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (copied += copier->readAll()).contains("file list on the clipboard"); },
        90000))
        << copied.toStdString();
    QProcess *paster = side(u"PasteSide"_s);
    EXPECT_TRUE(paster->waitForFinished(90000));
    const QByteArray pasted = paster->readAll();
    EXPECT_TRUE(pasted.contains("[  PASSED  ] 1 test")) << pasted.toStdString();
    copier->kill();
    copier->waitForFinished();
    display.terminate();
    display.waitForFinished();
}

TEST_F(CopyPastePage, CopySide)
{
    copyOut();
    std::printf("file list on the clipboard\n");
    std::fflush(stdout);
    QTest::qWait(120000); // serves the clipboard until the other side has pasted
}

TEST_F(CopyPastePage, PasteSide)
{
    pasteIntoNewNote();
}

// The editor page in a real browser view: every jsProcessor method with its replies, the
// attachment markup, tables, read-only mode, the character limit, the sanitiser and the
// commands the page sends to native code through a recording "tavrikBridge" object.
//
// Stands in for the browser host's bridge object: records every call the page makes, as the
// function's name followed by its arguments; the page's reports of a changed note apart, by
// their JSON argument.
class RecordingBridge : public QObject
{
    Q_OBJECT
public:
    std::vector<QStringList> calls;
    QStringList changes;

    Q_INVOKABLE void call(const QString &functionName, const QVariantList &arguments)
    {
        if (arguments.value(0).toString() == u"ContentChanged"_s) {
            changes << arguments.value(1).toString();
            return;
        }
        QStringList call{functionName};
        for (const QVariant &argument : arguments)
            call << argument.toString();
        calls.push_back(call);
    }
};

QString b64(const QString &name)
{
    return QString::fromLatin1(name.toUtf8().toBase64());
}

// zv_exdata text of an original name, as native code writes it.
QString exdata(const QString &name)
{
    return u"{\"OrigName_B64\":\""_s + b64(name) + u"\"}"_s;
}

QString attachmentHtml(const QString &store, const QString &shown, const QString &name)
{
    const QString src = u"../userdata\\attachment\\"_s + shown;
    return u"<img src=\""_s + src + u"\" class=\"userdata\\attachment\\"_s + store
        + u"\" zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;"_s + b64(name)
        + u"&quot;}\" data-ke-src=\""_s + src + u"\" zvimgsrc=\""_s + src + u"\">"_s;
}

// The argument of AddPicToEditor as native code writes it: indented JSON, doubled backslashes.
QString added(const QString &name, const QString &shown, const QString &store)
{
    return u"{\n   \"exdata\" : \"{\\\"OrigName_B64\\\":\\\""_s + b64(name)
        + u"\\\"}\",\n   \"picpath\" : \"../userdata\\\\attachment\\\\"_s + shown
        + u"\",\n   \"strData\" : \"userdata\\\\attachment\\\\"_s + store
        + u"\",\n   \"type\" : \""_s + store.section(u'.', -1) + u"\"\n}\n"_s;
}

// A command the page sends to native code.
QStringList command(const QString &name, const QString &json, const QString &exdata = QString())
{
    return {u"CppProcessor"_s, name, json, exdata};
}

const QString kJsonReplyOk = u"{\"result\":true,\"errmsg\":\"\"}"_s;
const QString kReadOnlyReply = u"{\"result\":false,\"errmsg\":\"the editor is read-only\"}"_s;

class EditorPage : public ::testing::Test
{
protected:
    void SetUp() override { open(true); }

    void open(bool withChannel)
    {
        m_view = std::make_unique<QWebEngineView>();
        if (withChannel) {
            auto *channel = new QWebChannel(m_view.get());
            channel->registerObject(u"tavrikBridge"_s, &m_bridge);
            TAVRIKCORE::RICHEDITOR::InstallWebChannel(m_view->page(), channel);
        }
        m_view->resize(960, 640);
        m_view->show();
        QSignalSpy loaded(m_view.get(), &QWebEngineView::loadFinished);
        m_pageUrl = QUrl::fromLocalFile(qEnvironmentVariable("TAVRIK_PAGE_DIR")
                                        + u"/zveditor/index.html"_s);
        m_view->load(m_pageUrl);
        ASSERT_TRUE(loaded.wait(30000));
        ASSERT_TRUE(loaded.first().first().toBool()) << "the page did not load";
        ASSERT_TRUE(waitUntil(u"window.Tavrik && Tavrik.ready === true"_s));
    }

    QVariant js(const QString &script) { return runScript(m_view->page(), script); }
    bool waitUntil(const QString &condition) { return waitForScript(m_view->page(), condition); }
    // An expression evaluated with `d` the editing frame's document.
    QString frameJs(const QString &expr)
    {
        return js(u"(function(d){return "_s + expr + u";})(Tavrik.editor.document())"_s).toString();
    }
    QString status(const QString &id)
    {
        return js(u"document.getElementById('"_s + id + u"').textContent"_s).toString();
    }

    QString rawCall(const QString &method, const QString &arg = QString())
    {
        return js(u"jsProcessor("_s + jsString(method) + u", "_s + jsString(arg) + u")"_s)
            .toString();
    }
    QString setContent(const QString &html) { return rawCall(u"SetEditorContent"_s, html); }
    QString html()
    {
        return QJsonDocument::fromJson(rawCall(u"GetEditorContent"_s, u"{}"_s).toUtf8())
            .object()
            .value(u"ehtml"_s)
            .toString();
    }

    bool waitForCalls(size_t count)
    {
        return QTest::qWaitFor([&] { return m_bridge.calls.size() >= count; }, 10000);
    }
    // Waits for the page's `n`th call to native code and gives it.
    QStringList call(size_t n)
    {
        EXPECT_TRUE(waitForCalls(n)) << "call " << n << " did not come";
        return m_bridge.calls.size() >= n ? m_bridge.calls[n - 1] : QStringList();
    }
    // Sends a marker command and waits for it: every call the page made before is recorded by then.
    void flushCalls()
    {
        const size_t before = m_bridge.calls.size();
        js(u"CppProcessor('Marker', '{}', '')"_s);
        ASSERT_TRUE(waitForCalls(before + 1));
        ASSERT_EQ(m_bridge.calls.back(), command(u"Marker"_s, u"{}"_s));
        m_bridge.calls.pop_back();
    }

    // Waits until the note's text is `text`.
    bool textIs(const QString &text)
    {
        return waitUntil(u"Tavrik.editor.document().body.textContent === "_s + jsString(text));
    }
    void putCaretAtEnd() { select(u"d.body"_s, -1, -1); }
    // Selects from `start` to `end` in the node the expression gives (-1: its end).
    void select(const QString &node, int start, int end)
    {
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();const n=%1;"
           u"const last=n.nodeType===3?n.length:n.childNodes.length;const r=d.createRange();"
           u"r.setStart(n,%2<0?last:%2);r.setEnd(n,%3<0?last:%3);"
           u"d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s.arg(node)
               .arg(start)
               .arg(end));
    }
    void type(const QString &keys) { QTest::keyClicks(m_view->focusProxy(), keys); }

    // Pastes `data` of `type` (and `plain` as text/plain when given) at the caret.
    void paste(const QString &type, const QString &data, const QString &plain = QString())
    {
        js(u"(function(){const dt=new DataTransfer();dt.setData(%1,%2);"
           u"if(%3)dt.setData('text/plain',%3);Tavrik.editor.document().body.dispatchEvent("
           u"new ClipboardEvent('paste',{clipboardData:dt,bubbles:true,cancelable:true}));})()"_s
               .arg(jsString(type), jsString(data), jsString(plain)));
    }
    // Pastes `payload` as HTML at the end of the note, then inserts it as a one-cell table;
    // gives the note's markup.
    QString pasteAndInsertAsCell(const QString &payload)
    {
        putCaretAtEnd();
        paste(u"text/html"_s, payload);
        rawCall(u"InsertTable"_s,
                uR"({"colNum":1,"rowNum":1,"rowList":[{"colList":[{"value":)"_s + jsString(payload)
                    + u"}]}]}"_s);
        return html();
    }
    // Sends a mouse event of `type` (with the `extra` properties) to the element.
    void mouse(const QString &selector, const QString &type, const QString &extra = QString())
    {
        js(u"(function(){const t=Tavrik.editor.document().querySelector(%1);"
           u"const r=t.getBoundingClientRect();t.dispatchEvent(new MouseEvent('%2',"
           u"{bubbles:true,cancelable:true,clientX:r.x+2,clientY:r.y+2%3}));})()"_s.arg(
               jsString(selector), type, extra));
    }

    RecordingBridge m_bridge;
    std::unique_ptr<QWebEngineView> m_view;
    QUrl m_pageUrl;
};

TEST_F(EditorPage, ContentRoundTripKeepsNoteMarkupExactlyAndEveryMethodAnswers)
{
    const QString picture = u"0cc175b9c0f1b6a831c399e269772661.png"_s;
    const QString note
        = u"<h1>Reisebericht – 旅行笔记</h1><p>Erster Tag, <b>fett</b> und <i>kursiv</i>, "
          "<span style=\"color: rgb(217, 48, 37);\">rot</span>.</p><p>"_s
        + attachmentHtml(picture, picture, u"海边 照片.png"_s) + u"</p><p>"_s
        + attachmentHtml(u"92eb5ffee6ae2fec3ad71c777531578f.docx"_s,
                         u"4a8a08f09d37b73795649038408b5f33.bmp"_s, u"Bericht (final).docx"_s)
        + u"</p><table border=\"1\"><tbody><tr><td width=\"50%\">a</td></tr></tbody></table>"
          "<p><a href=\"https://example.com/?a=1&amp;b=2\">Link</a></p>"_s;
    EXPECT_EQ(setContent(note), kJsonReplyOk);
    const QJsonObject content
        = QJsonDocument::fromJson(rawCall(u"GetEditorContent"_s, u"{}"_s).toUtf8()).object();
    EXPECT_EQ(content.value(u"result"_s), QJsonValue(true));
    EXPECT_EQ(content.value(u"ehtml"_s).toString(), note);
    const QString text = content.value(u"etext"_s).toString();
    EXPECT_TRUE(text.startsWith(u"Reisebericht – 旅行笔记\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Erster Tag, fett und kursiv, rot."_s)) << text.toStdString();
    // The picture path resolves against the page folder, backslashes and all.
    EXPECT_TRUE(frameJs(u"d.images[0].src"_s).endsWith(u"/userdata/attachment/"_s + picture));

    // A note of nothing but line breaks is empty.
    setContent(u"<p><br></p><div> &nbsp;</div>"_s);
    EXPECT_EQ(rawCall(u"GetEditorContent"_s, u"{}"_s),
              uR"({"result":true,"errmsg":"","ehtml":"","etext":""})"_s);
    // A whole document is reduced to its body; the count shows the text length.
    setContent(u"<html><head><title>t</title></head><body><p>ab𝄞c</p></body></html>"_s);
    EXPECT_EQ(html(), u"<p>ab𝄞c</p>"_s);
    EXPECT_EQ(status(u"status-count"_s), u"4 / 10000"_s);

    // Every method answers with its reply keys.
    const char *size = R"(bad argument: \"size\" must be a whole number from 1 to 2147483647)";
    const char *colNum = R"(bad argument: \"colNum\" must be a whole number from 1 to 64)";
    const struct
    {
        const char *method, *arg, *error; // no error: accepted
    } cases[] = {
        {"SetEditorMode", R"({"readonly":1})",
         R"(bad argument: \"readonly\" must be true or false)"},
        {"SetEditorMode", R"({"readonly":)", "bad argument: not JSON"},
        {"SetEditorMaxChars", R"({"size":1})", nullptr},
        {"SetEditorMaxChars", R"({"size":0})", size},
        {"SetEditorMaxChars", R"({"size":2.5})", size},
        {"SetEditorMaxChars", "[10]", "bad argument: not a JSON object"},
        {"SelectedAttach", R"({"keyword":""})",
         R"(bad argument: \"keyword\" must be a non-empty text)"},
        {"ModifyAttachAtrr", R"({"zv_exdata":"x","ClassValue":"a","SrcValue":"b"})",
         R"(bad argument: \"zv_exdata\" must be an object with \"OrigName_B64\")"},
        {"ModifyAttachAtrr", R"({"zv_exdata":{"OrigName_B64":""},"SrcValue":"b"})",
         R"(bad argument: \"ClassValue\" must be a non-empty text)"},
        {"ModifyAttachAtrr",
         R"({"zv_exdata":{"OrigName_B64":"YQ=="},"ClassValue":"a","SrcValue":"b"})",
         "no attachment carries this original name"},
        {"InsertTable", R"({"colNum":0,"rowNum":1})", colNum},
        {"InsertTable", R"({"colNum":65,"rowNum":1})", colNum},
        {"InsertTable", R"({"colNum":64,"rowNum":1001})",
         R"(bad argument: \"rowNum\" must be a whole number from 1 to 1000)"},
        {"InsertTable", R"({"colNum":1,"rowNum":1,"rowList":[null,null]})",
         R"(bad argument: \"rowList\" must be a list of at most rowNum rows)"},
        {"InsertTable", R"({"colNum":1,"rowNum":1,"rowList":[{"colList":[{},{}]}]})",
         R"(bad argument: \"colList\" must be a list of at most colNum cells)"},
        {"AddPicToEditor", R"({"picpath":"","strData":"s","exdata":"","type":"png"})",
         R"(bad argument: \"picpath\" must be a non-empty text)"},
        {"AddPicToEditor",
         R"x({"picpath":"javascript:CppProcessor('x','','')","strData":"s","exdata":"","type":"png"})x",
         R"(bad argument: \"picpath\" is not an image path)"},
        {"SetSpellCheck", R"({"enabled":"yes"})",
         R"(bad argument: \"enabled\" must be true or false)"},
        {"SetEditorTheme", R"({"theme":"Dark"})",
         R"(bad argument: \"theme\" must be \"light\" or \"dark\")"},
        {"NoSuchMethod", "{}", "unknown method: NoSuchMethod"},
        {"getEditorContent", "{}", "unknown method: getEditorContent"},
        {"toString", "{}", "unknown method: toString"}};
    for (const auto &c : cases) {
        setContent(QString());
        const QString reply = c.error
            ? u"{\"result\":false,\"errmsg\":\""_s + QString::fromUtf8(c.error) + u"\"}"_s
            : kJsonReplyOk;
        EXPECT_EQ(rawCall(QString::fromUtf8(c.method), QString::fromUtf8(c.arg)), reply)
            << c.method << " " << c.arg;
    }
    // jsProcessor takes whatever script values it gets and still answers.
    EXPECT_EQ(js(u"jsProcessor(undefined, null)"_s).toString(),
              uR"({"result":false,"errmsg":"unknown method: undefined"})"_s);
    EXPECT_EQ(js(u"jsProcessor('SetEditorMode')"_s).toString(),
              uR"({"result":false,"errmsg":"bad argument: not JSON"})"_s);
    flushCalls();
    EXPECT_TRUE(m_bridge.calls.empty()) << "bad arguments are refused quietly";
}

TEST_F(EditorPage, AttachmentsAreInsertedRepointedAndSelectedAndTablesBuiltExactly)
{
    const QString jpg = u"d41d8cd98f00b204e9800998ecf8427e.JPG"_s;
    const QString card = u"c4ca4238a0b923820dcc509a6f75849b.bmp"_s;
    const QString xlsx = u"e4da3b7fbbce2345d7772b0674a318d5.xlsx"_s;
    setContent(u"<p>Vorher</p>"_s);
    putCaretAtEnd();
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, added(u"Урлауб.JPG"_s, jpg, jpg)), kJsonReplyOk);
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, added(u"Plan 2026.xlsx"_s, card, xlsx)), kJsonReplyOk);
    const QString a = attachmentHtml(xlsx, card, u"Plan 2026.xlsx"_s);
    const QString b = attachmentHtml(jpg, jpg, u"Урлауб.JPG"_s);
    EXPECT_EQ(html(), u"<p>Vorher"_s + b + a + u"</p>"_s);
    // Each insertion is one step of the note's undo history, and typing goes on after it.
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>Vorher"_s + b + u"</p>"_s);
    js(u"Tavrik.editor.exec('redo')"_s);
    EXPECT_EQ(html(), u"<p>Vorher"_s + b + a + u"</p>"_s);
    type(u"!"_s);
    EXPECT_TRUE(textIs(u"Vorher!"_s));
    EXPECT_EQ(html(), u"<p>Vorher"_s + b + a + u"!</p>"_s);

    // Every element with the original name is repointed.
    setContent(u"<p>"_s + a + b + a + u"</p>"_s);
    EXPECT_EQ(
        rawCall(
            u"ModifyAttachAtrr"_s,
            u"{\"zv_exdata\":"_s + exdata(u"Plan 2026.xlsx"_s)
                + uR"(,"ClassValue":"userdata\\attachment\\new.xlsx","SrcValue":"../userdata\\attachment\\new.bmp"})"_s),
        kJsonReplyOk);
    const QString changed = attachmentHtml(u"new.xlsx"_s, u"new.bmp"_s, u"Plan 2026.xlsx"_s);
    EXPECT_EQ(html(), u"<p>"_s + changed + b + changed + u"</p>"_s);

    // Selected by store name, class or original name.
    for (const QString &key :
         {u"new.xlsx"_s, u"userdata\\\\attachment\\\\new.xlsx"_s, u"Plan 2026.xlsx"_s}) {
        setContent(u"<p>x"_s + b + u"y"_s + changed + u"</p>"_s);
        EXPECT_EQ(rawCall(u"SelectedAttach"_s, u"{\"keyword\":\""_s + key + u"\"}"_s),
                  kJsonReplyOk);
        EXPECT_EQ(js(u"Tavrik.editor.document().getSelection().getRangeAt(0).cloneContents()"
                     ".firstChild.getAttribute('class')"_s)
                      .toString(),
                  u"userdata\\attachment\\new.xlsx"_s)
            << key.toStdString();
    }
    EXPECT_EQ(rawCall(u"SelectedAttach"_s, u"{\"keyword\":\"new\"}"_s),
              uR"({"result":false,"errmsg":"no attachment matches \"new\""})"_s);

    // InsertTable builds the exact table.
    setContent(u"<p>Davor</p><p><br></p>"_s);
    select(u"d.body.lastChild"_s, 0, 0);
    const QString table = uR"({ "colNum" : 2, "rowList" : [ { "colList" : [
            { "style" : "font-weight: bold;", "value" : "Name", "width" : "120" },
            { "style" : "", "value" : "Wert <b>fett</b><img src=x onerror=alert(1)>", "width" : "" } ] },
            null ], "rowNum" : 3 })"_s;
    EXPECT_EQ(rawCall(u"InsertTable"_s, table), kJsonReplyOk);
    const QString head = u"<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\" "
                         "style=\"border-collapse: collapse; width: 100%;\"><tbody>"_s;
    const QString empty = u"<tr><td><br></td><td><br></td></tr>"_s;
    EXPECT_EQ(html(),
              u"<p>Davor</p>"_s + head
                  + u"<tr><td width=\"120\" style=\"font-weight: bold;\">Name</td><td>Wert "
                    "<b>fett</b><img src=\"x\"></td></tr>"_s
                  + empty + empty + u"</tbody></table><p><br></p>"_s);

    // Without rows: an empty grid of the given size, after the paragraph holding the caret.
    setContent(u"<p>Text</p>"_s);
    putCaretAtEnd();
    EXPECT_EQ(rawCall(u"InsertTable"_s, u"{\"colNum\":1,\"rowNum\":1}"_s), kJsonReplyOk);
    EXPECT_EQ(html(),
              u"<p>Text</p>"_s + head + u"<tr><td><br></td></tr></tbody></table><p><br></p>"_s);
}

TEST_F(EditorPage, PastesAndDropsKeepAttachmentsAndTheCharacterLimitRefusesWhatPassesIt)
{
    const QString att = attachmentHtml(u"aaa.png"_s, u"aaa.png"_s, u"Bild 1.png"_s);
    setContent(u"<p>Anfang</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s,
          u"<meta charset=utf-8><span>Mitte </span>"_s + att
              + u"<script>CppProcessor('XSS','','')</script>"_s,
          u"x"_s);
    EXPECT_EQ(html(), QString(u"<p>AnfangMitte "_s + att + u"</p>"_s));

    // A drop of HTML lands where it is dropped; a drop of files alone is left to native code.
    setContent(u"<p>Ende</p>"_s);
    const QString drop = u"(function(type,data){const d=Tavrik.editor.document();"
                         "const r=d.querySelector('p').getBoundingClientRect();const dt=new "
                         "DataTransfer();if(type)dt.setData(type,data);else dt.items.add(new "
                         "File(['x'],'a.txt'));return d.body.dispatchEvent(new DragEvent('drop',"
                         "{dataTransfer:dt,bubbles:true,cancelable:true,clientX:r.x+1,"
                         "clientY:r.y+r.height/2}));})"_s;
    EXPECT_FALSE(
        js(drop + u"('text/html', "_s + jsString(att + u"<img src=x onerror=alert(1)>"_s) + u")"_s)
            .toBool());
    EXPECT_EQ(html(), u"<p>"_s + att + u"<img src=\"x\">Ende</p>"_s);
    EXPECT_FALSE(js(drop + u"('', '')"_s).toBool()) << "the browser must not open a dropped file";
    EXPECT_EQ(html(), u"<p>"_s + att + u"<img src=\"x\">Ende</p>"_s);
    EXPECT_EQ(m_view->url(), m_pageUrl);

    // The character limit refuses typing past it, one character at a time.
    rawCall(u"SetEditorMaxChars"_s, u"{\"size\":5 }"_s);
    setContent(u"<p>abcd</p>"_s);
    EXPECT_EQ(status(u"status-count"_s), u"4 / 5"_s);
    putCaretAtEnd();
    // x reaches the limit, y is one past it and refused; the backspace then makes room for z.
    type(u"xy"_s);
    EXPECT_TRUE(textIs(u"abcdx"_s)) << html().toStdString();
    EXPECT_EQ(status(u"status-message"_s),
              u"Character limit reached: the typed text was not inserted"_s);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Backspace);
    type(u"z"_s);
    EXPECT_TRUE(textIs(u"abcdz"_s)) << html().toStdString();
    EXPECT_EQ(status(u"status-count"_s), u"5 / 5"_s);

    // A paste that would pass the limit is refused whole, plain text and HTML alike, and says
    // by how much; one that reaches it exactly goes in, also in place of a selection.
    rawCall(u"SetEditorMaxChars"_s, u"{\"size\":10}"_s);
    setContent(u"<p>abcdefgh</p>"_s);
    putCaretAtEnd();
    paste(u"text/plain"_s, u"123"_s);
    EXPECT_EQ(html(), u"<p>abcdefgh</p>"_s);
    EXPECT_EQ(status(u"status-message"_s),
              u"This paste is too long for the note: 1 character over the limit"_s);
    paste(u"text/plain"_s, u"12"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefgh12"_s);
    EXPECT_EQ(status(u"status-count"_s), u"10 / 10"_s);
    setContent(u"<p>abcdefg</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s,
          u"<h1>1</h1><ul><li><b>2</b></li><li>3</li></ul><table><tr><td>4</td><td>5😀</td>"
          "</tr></table>"_s);
    EXPECT_EQ(html(), u"<p>abcdefg</p>"_s) << "no empty heading, bullet or cell is left";
    EXPECT_EQ(status(u"status-message"_s),
              u"This paste is too long for the note: 3 characters over the limit"_s);
    paste(u"text/html"_s, u"<b>123</b>"_s);
    EXPECT_EQ(html(), u"<p>abcdefg<b>123</b></p>"_s);
    paste(u"text/plain"_s, u"6"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"abcdefg123"_s) << "one past the limit";
    select(u"d.body.firstChild.firstChild"_s, 0, 3);
    paste(u"text/plain"_s, u"XY😀"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"XY😀defg123"_s)
        << "a picture character counts once";
    select(u"d.body.firstChild.firstChild"_s, 0, 2);
    paste(u"text/plain"_s, u"pqr"_s);
    EXPECT_EQ(frameJs(u"d.body.textContent"_s), u"XY😀defg123"_s);

    // Content from native code is never cut; the count shows it is over.
    setContent(u"<p>abcdefghijkl</p>"_s);
    EXPECT_EQ(status(u"status-count"_s), u"12 / 10"_s);
    EXPECT_TRUE(
        js(u"document.getElementById('status-count').classList.contains('over')"_s).toBool());
}

TEST_F(EditorPage, HostileContentIsNeutralisedAndNoteScriptsCannotRunEvenPastTheSanitiser)
{
    // Each payload would call CppProcessor('XSS', ...) if any of it survived.
    const std::pair<QString, QString> cases[] = {
        {uR"x(<img src="x" onerror="CppProcessor('XSS','{}','')">)x"_s, uR"x(<img src="x">)x"_s},
        {uR"x(<svg onload="CppProcessor('XSS','{}','')"><circle r="4"></circle></svg>)x"_s, {}},
        {uR"x(<embed src="javascript:CppProcessor('XSS','{}','')">)x"_s, {}},
        {uR"x(<iframe src="javascript:parent.CppProcessor('XSS','{}','')"></iframe>)x"_s, {}},
        {uR"x(<object data="javascript:CppProcessor('XSS','{}','')"><p>fallback</p></object>)x"_s,
         u"<p>fallback</p>"_s},
        {uR"x(<a href="JaVaScRiPt:CppProcessor('XSS','{}','')">a</a>)x"_s, u"<a>a</a>"_s},
        {u"<a href=\"java\tscript:CppProcessor('XSS','{}','')\">a</a>"_s, u"<a>a</a>"_s},
        {uR"x(<a href="&#106;avascript:CppProcessor('XSS','{}','')">a</a>)x"_s, u"<a>a</a>"_s},
        {uR"x(<a href=" &#x6A;ava&#x0A;script&colon;CppProcessor('XSS','{}','')">a</a>)x"_s,
         u"<a>a</a>"_s},
        {uR"x(<a href="vbscript:msgbox(1)">a</a>)x"_s, u"<a>a</a>"_s},
        {uR"x(<a href="data:text/html,&lt;script&gt;parent.CppProcessor('XSS','{}','')&lt;/script&gt;">a</a>)x"_s,
         u"<a>a</a>"_s},
        {uR"x(<img src="data:image/svg+xml;base64,PHN2ZyBvbmxvYWQ9YWxlcnQoMSk+">)x"_s, u"<img>"_s},
        {uR"x(<meta http-equiv="refresh" content="0;url=javascript:CppProcessor('XSS','{}','')"><p>t</p>)x"_s,
         u"<p>t</p>"_s},
        {uR"x(<base href="javascript:/"><p>t</p>)x"_s, u"<p>t</p>"_s},
        {uR"x(<form action="javascript:CppProcessor('XSS','{}','')"><button>go</button></form>)x"_s,
         u"go"_s},
        {uR"x(<p onclick="CppProcessor('XSS','{}','')" onmouseover="CppProcessor('XSS','{}','')">t</p>)x"_s,
         u"<p>t</p>"_s},
        {uR"x(<script>CppProcessor('XSS','{}','')</script><p>t</p>)x"_s, u"<p>t</p>"_s},
        {uR"x(<style>@import 'javascript:x';</style><p>t</p>)x"_s, u"<p>t</p>"_s},
        {uR"x(<math><mtext><table><mglyph><style><img src=x onerror="CppProcessor('XSS','{}','')">)x"_s,
         {}},
        {uR"x(<details open ontoggle="CppProcessor('XSS','{}','')"><summary>s</summary></details>)x"_s,
         uR"x(<details open=""><summary>s</summary></details>)x"_s}};
    const QString fire = u"(function(){for(const e of Tavrik.editor.document().body"
                         ".querySelectorAll('*'))for(const t of ['click','dblclick','mouseover',"
                         "'focus','toggle'])e.dispatchEvent(new MouseEvent(t,{bubbles:true,"
                         "cancelable:true}));})()"_s;
    for (const auto &[payload, clean] : cases) {
        SCOPED_TRACE(payload.toStdString());
        EXPECT_EQ(setContent(payload), kJsonReplyOk);
        EXPECT_EQ(html(), clean);
        // The same payload pasted and as a table cell.
        const QString after = pasteAndInsertAsCell(payload);
        EXPECT_FALSE(after.contains(u"XSS"_s) || after.contains(u" on"_s)
                     || after.contains(u"script"_s, Qt::CaseInsensitive))
            << after.toStdString();
        EXPECT_TRUE(
            waitUntil(u"Array.from(Tavrik.editor.document().images).every(i => i.complete)"_s));
        js(fire);
    }
    EXPECT_EQ(m_view->url(), m_pageUrl);
    flushCalls();
    for (const QStringList &call : m_bridge.calls)
        ADD_FAILURE() << "unexpected call " << call.join(u' ').toStdString();

    // Large notes opened again are trusted only when they came out clean.
    const QString paragraphs = u"<p>A paragraph of a long note.</p>"_s.repeated(200);
    const QString hostile
        = paragraphs + u"<img src=\"x\" onerror=\"CppProcessor('XSS','{}','')\">"_s;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(setContent(paragraphs), kJsonReplyOk);
        EXPECT_EQ(html(), paragraphs);
        EXPECT_EQ(setContent(hostile), kJsonReplyOk);
        EXPECT_EQ(html(), paragraphs + u"<img src=\"x\">"_s);
    }

    // Markup put straight into the frame, as if the sanitiser had missed it: the frame's
    // content policy still stops every script.
    js(uR"x(Tavrik.editor.document().body.innerHTML = '<img src="x" onerror="parent.CppProcessor(\'XSS\',\'{}\',\'\')"><a id="l" href="javascript:parent.CppProcessor(\'XSS\',\'{}\',\'\')">l</a>')x"_s);
    js(uR"x((function(){const d=Tavrik.editor.document();const s=d.createElement('script');s.textContent="parent.CppProcessor('XSS','{}','')";d.body.appendChild(s);
})())x"_s);
    // The page itself runs no script but its own, whose hash its policy names.
    js(uR"x((function(){document.body.insertAdjacentHTML('beforeend','<img id="xss" src="x" onerror="CppProcessor(\'XSS\',\'{}\',\'\')">');
const s=document.createElement('script');s.textContent="CppProcessor('XSS','{}','')";document.body.appendChild(s);})())x"_s);
    EXPECT_TRUE(waitUntil(
        u"Tavrik.editor.document().images[0].complete && document.getElementById('xss').complete"_s));
    mouse(u"#l"_s, u"click"_s);
    flushCalls();
    EXPECT_TRUE(m_bridge.calls.empty()) << m_bridge.calls.front().join(u' ').toStdString();
    // The channel's sending end is out of reach of both windows once taken.
    EXPECT_EQ(js(u"typeof window.qt.webChannelTransport.send + ',' + typeof QWebChannel + ','"
                 " + typeof Tavrik.editor.frame().contentWindow.qt"_s)
                  .toString(),
              u"undefined,undefined,undefined"_s);
}

TEST_F(EditorPage, InlineStylesKeepOnlyWhatANoteNeedsAndNothingComesFromTheNetwork)
{
    // Every address points at this server: nothing may ever ask it for anything.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString remote = u"http://127.0.0.1:%1/"_s.arg(server.serverPort());
    const QString overlay = u"<div style=\"position:fixed;top:0;left:0;width:100%;height:100%;"
                            "z-index:2147483647;background:#fff\">You won!</div>"_s;
    const std::pair<QString, QString> cases[] = {
        {overlay, u"<div style=\"background-color: rgb(255, 255, 255);\">You won!</div>"_s},
        {u"<p style=\"position:absolute;left:-9999px;color:red\">t</p>"_s,
         u"<p style=\"color: red;\">t</p>"_s},
        {u"<span style=\"transform:scale(40);filter:blur(9px);opacity:0\">t</span>"_s,
         u"<span>t</span>"_s},
        {u"<span style=\"display:none\">a</span><b style=\"visibility:hidden\">b</b>"_s,
         u"<span>a</span><b>b</b>"_s},
        {u"<p style=\"background:url("_s + remote + u"bg.png) #ff0\">t</p>"_s,
         u"<p style=\"background-color: rgb(255, 255, 0);\">t</p>"_s},
        {u"<p style=\"background-image:\\75 rl("_s + remote + u"e.png);color:blue\">t</p>"_s,
         u"<p style=\"color: blue;\">t</p>"_s},
        {u"<p style=\"width:expression(alert(1));color:blue\">t</p>"_s,
         u"<p style=\"color: blue;\">t</p>"_s},
        {u"<p STYLE=\"POSITION:FIXED;COLOR:RED\">t</p>"_s, u"<p style=\"color: red;\">t</p>"_s},
        {u"<p style=\"position:fixed !important;color:green !important\">t</p>"_s,
         u"<p style=\"color: green !important;\">t</p>"_s},
        {u"<p style=\"color:/* c */red;/* d */z-index:9\">t</p>"_s,
         u"<p style=\"color: red;\">t</p>"_s},
        {u"<p style=\"--u:url("_s + remote + u"v.png);color:var(--c)\">t</p>"_s, u"<p>t</p>"_s},
        {u"<p style=\"behavior:url(x.htc);-moz-binding:url(x.xml#b)\">t</p>"_s, u"<p>t</p>"_s},
        {u"<p style=\"margin:0 0 0 40px;padding:8px;width:9999px;mso-bidi-font-family:Arial\">"
         "t</p>"_s,
         u"<p style=\"margin-left: 40px; padding-left: 8px;\">t</p>"_s},
        {u"<span style=\"font:bold 12px Arial;cursor:pointer\">t</span>"_s,
         u"<span style=\"font: bold 12px Arial;\">t</span>"_s},
        {u"<p style=\"\">t</p><p style=\"  \">u</p>"_s, u"<p>t</p><p>u</p>"_s},
        {u"<style>p{position:fixed}</style><link rel=\"stylesheet\" href=\""_s + remote
             + u"s.css\"><p onclick=\"alert(1)\">t</p><script src=\""_s + remote
             + u"s.js\"></script>"_s,
         u"<p>t</p>"_s},
        {u"<svg style=\"position:fixed\"><image href=\""_s + remote + u"i.svg\"></image></svg>"_s,
         u""_s},
        // A remote picture keeps its address and is never loaded: the page loads nothing
        // from the network.
        {u"<img src=\""_s + remote + u"pixel.gif\" style=\"position:fixed;width:1px\">"_s,
         u"<img src=\""_s + remote + u"pixel.gif\" style=\"width: 1px;\">"_s},
        // What a note needs stays exactly as written.
        {u"<p style=\"color:#c00000;\">t</p><p style=\"text-align: center; margin-left: 40px; "
         "font-size: 11pt; text-decoration: underline;\">u</p>"_s,
         {}},
        {u"<table style=\"border-collapse:collapse;width:100%\"><tbody><tr>"
         "<td style=\"border:1px solid #000;width:50%;vertical-align:top\">c</td></tr></tbody>"
         "</table><img src=\"x.png\" style=\"width: 120px; height: 80px; border: 0px;\">"_s,
         {}},
    };
    for (const auto &[payload, expected] : cases) {
        SCOPED_TRACE(payload.toStdString());
        const QString clean = expected.isNull() ? payload : expected; // null: kept as written
        EXPECT_EQ(setContent(payload), kJsonReplyOk);
        EXPECT_EQ(html(), clean);
        // Pasted and as a table cell, the same styles are dropped.
        setContent(QString());
        const QString after = pasteAndInsertAsCell(payload);
        for (const char *gone : {"position", "z-index", "transform", "filter", "opacity", "display",
                                 "visibility", "url(", "expression", "var(", "--u", "behavior",
                                 "binding", "onclick", "<style", "<script", "<svg"})
            EXPECT_FALSE(after.contains(QLatin1String(gone)))
                << gone << " in " << after.toStdString();
    }

    // The fixed overlay, pasted, does not cover the note: a click in the middle of the
    // editing frame reaches the note's own paragraph.
    setContent(u"<p>mine</p>"_s);
    putCaretAtEnd();
    paste(u"text/html"_s, overlay);
    EXPECT_EQ(frameJs(u"[((r) => d.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2))("
                      "d.querySelector('p').getBoundingClientRect()).nodeName,"
                      " Array.from(d.body.querySelectorAll('*'), e => getComputedStyle(e).position)"
                      ".every(p => p === 'static'), d.body.textContent].join()"_s),
              u"P,true,mineYou won!"_s);
    EXPECT_TRUE(waitUntil(u"Array.from(Tavrik.editor.document().images).every(i => i.complete)"_s));
    QTest::qWait(300);
    EXPECT_FALSE(server.hasPendingConnections()) << "something was asked of the network";

    // A note the editor saved opens again exactly, also a long one seen before.
    const QString saved
        = QString(cases[std::size(cases) - 2].first + cases[std::size(cases) - 1].first)
              .repeated(40);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(setContent(saved), kJsonReplyOk);
        EXPECT_EQ(html(), saved) << "round " << round;
    }
}

TEST_F(EditorPage, AttachmentAndLinkEventsSendTheirCommands)
{
    const QString att
        = attachmentHtml(u"5d41402abc4b2a76b9719d911017c592.pdf"_s,
                         u"7d793037a0760186574b0282f2f435e7.bmp"_s, u"Vertrag Müller.pdf"_s);
    setContent(u"<p>vor "_s + att
               + u" nach <a href=\" https://example.com/a?b=1&amp;c=2 \">Seite</a></p>"_s);
    const QString classValue = u"userdata\\attachment\\5d41402abc4b2a76b9719d911017c592.pdf"_s;

    mouse(u"img"_s, u"dblclick"_s);
    EXPECT_EQ(call(1),
              command(u"DbClickAttachment"_s,
                      uR"({"path":"userdata\\attachment\\5d41402abc4b2a76b9719d911017c592.pdf"})"_s,
                      exdata(u"Vertrag Müller.pdf"_s)));

    mouse(u"img"_s, u"contextmenu"_s, u",button:2"_s);
    const QJsonObject expected{{u"current_attach"_s,
                                QJsonObject{{u"class_value"_s, classValue},
                                            {u"exdata_value"_s, exdata(u"Vertrag Müller.pdf"_s)}}},
                               {u"range_html"_s, att}};
    EXPECT_EQ(call(2),
              command(u"OnRightClickAttach"_s,
                      QString::fromUtf8(QJsonDocument(expected).toJson(QJsonDocument::Compact))));

    // While editing a plain click only places the caret; Ctrl+click opens the link.
    mouse(u"a"_s, u"click"_s);
    mouse(u"a"_s, u"click"_s, u",ctrlKey:true"_s);
    const QStringList open
        = command(u"OpenHyperLink"_s, uR"({"url":"https://example.com/a?b=1&c=2"})"_s);
    EXPECT_EQ(call(3), open);
    // In read-only mode a real click opens it.
    rawCall(u"SetEditorMode"_s, u"{\"readonly\":true }"_s);
    const QVariantList link
        = js(u"(function(){const f=Tavrik.editor.frame().getBoundingClientRect();"
             "const r=Tavrik.editor.document().querySelector('a').getBoundingClientRect();"
             "return [Math.round(f.x+r.x+r.width/2), Math.round(f.y+r.y+r.height/2)];})()"_s)
              .toList();
    ASSERT_EQ(link.size(), 2);
    QTest::mouseClick(m_view->focusProxy(), Qt::LeftButton, {},
                      QPoint(link[0].toInt(), link[1].toInt()));
    EXPECT_EQ(call(4), open);
    flushCalls();
    EXPECT_EQ(m_bridge.calls.size(), 4u);
    EXPECT_EQ(m_view->url(), m_pageUrl) << "the editor never navigates";
}

TEST_F(EditorPage, ToolbarFormatsAndSendsItsCommandsAndPageErrorsAreLogged)
{
    setContent(u"<p><b>fett</b> normal</p>"_s);
    const QString click = u"document.querySelector('[data-id=\"%1\"]').click()"_s;
    const QString active
        = u"document.querySelector('[data-id=\"%1\"]').classList.contains('active')"_s;
    select(u"d.querySelector('b').firstChild"_s, 2, 2);
    EXPECT_TRUE(waitUntil(active.arg(u"bold"_s)));
    select(u"d.querySelector('p').lastChild"_s, 1, 7);
    EXPECT_TRUE(waitUntil(u"!"_s + active.arg(u"bold"_s)));
    js(click.arg(u"italic"_s));
    js(click.arg(u"bullets"_s));
    js(u"Tavrik.editor.exec('foreColor', '#d93025')"_s);
    EXPECT_EQ(html(),
              u"<ul><li><b>fett</b> <i style=\"color: rgb(217, 48, 37);\">normal</i></li></ul>"_s);
    EXPECT_TRUE(waitUntil(active.arg(u"bullets"_s)));
    flushCalls();
    EXPECT_EQ(m_bridge.changes, QStringList{u"{}"_s}) << "one report for three changes";

    js(click.arg(u"attach"_s));
    EXPECT_EQ(call(1), command(u"AddAttachment"_s, u"{}"_s));
    // The choice is remembered by the browser profile: start from the default, then untick
    // "hide this window" in the capture menu.
    js(u"localStorage.removeItem('tavrik.capture.hideMainWnd')"_s);
    js(click.arg(u"capture"_s));
    EXPECT_EQ(call(2), command(u"SreenCapture"_s, u"{\"hideMainWnd\":true}"_s));
    js(click.arg(u"capture-more"_s));
    js(u"document.querySelector('.capture-options input[type=checkbox]').click()"_s);
    js(u"document.querySelector('.capture-options .primary').click()"_s);
    EXPECT_EQ(call(3), command(u"SreenCapture"_s, u"{\"hideMainWnd\":false}"_s));

    // A script run from outside the page has its error text hidden by the browser.
    js(u"setTimeout(function(){ throw new Error('boom'); }, 0)"_s);
    EXPECT_EQ(call(4),
              command(u"WriteEditorLog"_s, uR"({"type":"error","msg":"Script error."})"_s));
    js(u"Tavrik.editor.onChange(function () { throw new Error('kaputt'); });"
       "Tavrik.editor.setMaxChars(7)"_s);
    EXPECT_EQ(
        call(5),
        command(u"WriteEditorLog"_s, uR"({"type":"error","msg":"state listener: kaputt"})"_s));
}

TEST_F(EditorPage, TheToolbarWorksFromTheKeyboardWithItsLabelsAndShortcuts)
{
    const QString focused = u"(function(a){return a===Tavrik.editor.frame()?'note':a.dataset.id+'|'"
                            "+a.getAttribute('aria-label')+'|'+(a.getAttribute('aria-keyshortcuts')"
                            "||'')})(document.activeElement)"_s;
    const QStringList order
        = u"undo|Undo|Control+Z;redo|Redo|Control+Y;block|Paragraph style|;size|Font size|;"
          "bold|Bold|Control+B;italic|Italic|Control+I;underline|Underline|Control+U;"
          "strike|Strikethrough|;color|Text colour|;color-more|Text colour choices|;"
          "highlight|Highlight|;highlight-more|Highlight choices|;"
          "bullets|Bulleted list|Control+Shift+8;numbers|Numbered list|Control+Shift+7;"
          "checklist|Checklist|Control+Shift+9;outdent|Decrease indent|;indent|Increase "
          "indent|;alignLeft|Align left|;"
          "alignCenter|Centre|;alignRight|Align right|;alignJustify|Justify|;link|Link|Control+K;"
          "rule|Horizontal line|;table|Table|;attach|Attach files|;capture|Screen capture|;"
          "capture-more|Screen capture options|;note"_s.split(u';');
    QWidget *keys = m_view->focusProxy();
    const auto press = [&](Qt::Key key, const QString &until, Qt::KeyboardModifiers with = {}) {
        QTest::keyClick(keys, key, with);
        return waitUntil(until);
    };
    const auto isFocused = [&](const QString &what) -> QString {
        return focused + u"==="_s + jsString(what);
    };
    setContent(u"<p>fett</p>"_s);
    js(u"document.querySelector('[data-id=undo]').focus()"_s);
    EXPECT_EQ(js(focused).toString(), order.first());
    // The arrow key walks the controls; Tab leaves the toolbar for the note.
    for (qsizetype i = 1; i < order.size(); ++i)
        ASSERT_TRUE(press(i + 1 < order.size() ? Qt::Key_Right : Qt::Key_Tab, isFocused(order[i])))
            << "after " << order[i - 1].toStdString() << " came "
            << js(focused).toString().toStdString();

    select(u"d.querySelector('p').firstChild"_s, 0, 4);
    js(u"document.querySelector('[data-id=bold]').focus()"_s);
    EXPECT_TRUE(press(Qt::Key_Return, u"!!Tavrik.editor.document().querySelector('b')"_s));
    js(u"document.querySelector('[data-id=italic]').focus()"_s);
    EXPECT_TRUE(press(Qt::Key_Space, u"!!Tavrik.editor.document().querySelector('i')"_s));
    EXPECT_TRUE(press(Qt::Key_7, u"!!Tavrik.editor.document().querySelector('ol')"_s,
                      Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(html(), u"<ol><li><b><i>fett</i></b></li></ol>"_s);

    // A pop-up opened with the keyboard takes the focus; Escape leads back, then to the text.
    const QString expanded = u"document.querySelector('[data-id=color-more]').ariaExpanded"_s;
    js(u"document.querySelector('[data-id=color-more]').focus()"_s);
    EXPECT_TRUE(press(Qt::Key_Return, u"document.activeElement.ariaLabel==='Black'"_s));
    EXPECT_EQ(js(expanded), u"true"_s);
    EXPECT_TRUE(press(Qt::Key_Escape, isFocused(u"color-more|Text colour choices|"_s)));
    EXPECT_EQ(js(expanded), u"false"_s);
    EXPECT_TRUE(press(Qt::Key_Escape, isFocused(u"note"_s)));

    putCaretAtEnd();
    js(u"document.querySelector('[data-id=table]').focus()"_s);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(keys, key);
    EXPECT_TRUE(
        press(Qt::Key_Return, u"Tavrik.editor.document().querySelectorAll('td').length===4"_s))
        << frameJs(u"d.body.innerHTML"_s).toStdString();

    // "Automatic" takes the colour off, so the text follows the theme.
    setContent(u"<p><span style=\"color: rgb(217, 48, 37);\">rot</span> x</p>"_s);
    select(u"d.querySelector('span').firstChild"_s, 0, 3);
    js(u"document.querySelector('[data-id=color-more]').click();"
       "document.querySelector('.palette .text-button').click()"_s);
    EXPECT_EQ(html(), u"<p>rot x</p>"_s);
}

TEST_F(EditorPage, TypingStartsParagraphsAndIndentedItemsNestInsideTheItemBefore)
{
    // Keys reach the page a moment after they are sent.
    const auto htmlIs = [&](const QString &markup) {
        return waitUntil(u"Tavrik.editor.document().body.innerHTML === "_s + jsString(markup));
    };
    // The first line of a new note, and of a note emptied, is a paragraph.
    setContent(QString());
    putCaretAtEnd();
    type(u"First"_s);
    ASSERT_TRUE(textIs(u"First"_s));
    EXPECT_TRUE(htmlIs(u"<p>First</p>"_s)) << html().toStdString();
    js(u"Tavrik.editor.exec('selectAll')"_s);
    QTest::keyClick(m_view->focusProxy(), Qt::Key_Delete);
    type(u"Again"_s);
    ASSERT_TRUE(textIs(u"Again"_s));
    EXPECT_TRUE(htmlIs(u"<p>Again</p>"_s)) << html().toStdString();

    // Tab and Shift+Tab in a list give valid nesting, kept through a second indent.
    setContent(u"<ul><li>a</li><li>b</li><li>c</li></ul>"_s);
    const auto tabIn = [&](const QString &item, Qt::KeyboardModifiers with) {
        select(u"Array.from(d.querySelectorAll('li')).find(l => l.firstChild.data === '%1')"
               u".firstChild"_s.arg(item),
               1, 1);
        QTest::keyClick(m_view->focusProxy(), Qt::Key_Tab, with);
    };
    tabIn(u"b"_s, {});
    EXPECT_TRUE(htmlIs(u"<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul>"_s))
        << html().toStdString();
    tabIn(u"c"_s, {});
    EXPECT_TRUE(htmlIs(u"<ul><li>a<ul><li>b</li><li>c</li></ul></li></ul>"_s))
        << html().toStdString();
    type(u"!"_s);
    EXPECT_TRUE(htmlIs(u"<ul><li>a<ul><li>b</li><li>c!</li></ul></li></ul>"_s))
        << html().toStdString() << " the caret moved";
    tabIn(u"b"_s, Qt::ShiftModifier);
    EXPECT_TRUE(htmlIs(u"<ul><li>a</li><li>b<ul><li>c!</li></ul></li></ul>"_s))
        << html().toStdString();
    // The toolbar's indent does the same; a first item has no item to go into.
    setContent(u"<ol><li>x</li><li>y</li></ol>"_s);
    select(u"d.querySelectorAll('li')[1].firstChild"_s, 1, 1);
    js(u"Tavrik.editor.exec('indent')"_s);
    EXPECT_TRUE(htmlIs(u"<ol><li>x<ol><li>y</li></ol></li></ol>"_s)) << html().toStdString();
    tabIn(u"x"_s, {});
    type(u"z"_s); // after the Tab has been handled
    EXPECT_TRUE(waitUntil(u"Tavrik.editor.document().body.textContent.startsWith('xz')"_s));
    EXPECT_FALSE(html().contains(u"<ol><ol>"_s)) << html().toStdString();
    EXPECT_FALSE(html().contains(u"<ol><ul>"_s)) << html().toStdString();
}

TEST_F(EditorPage, NewContentAndClearEditorCacheDropTheUndoHistoryAndThePageWorksAlone)
{
    setContent(u"<p>alt</p>"_s);
    putCaretAtEnd();
    type(u"er"_s);
    ASSERT_TRUE(textIs(u"alter"_s));
    setContent(u"<p>neu</p>"_s);
    EXPECT_EQ(rawCall(u"ClearEditorCache"_s), kJsonReplyOk);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>neu</p>"_s);

    putCaretAtEnd();
    type(u"e"_s);
    ASSERT_TRUE(textIs(u"neue"_s));
    EXPECT_EQ(rawCall(u"ClearEditorCache"_s), kJsonReplyOk);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_EQ(html(), u"<p>neue</p>"_s);

    // Read-only mode stops editing and disables the toolbar.
    setContent(u"<p>abc</p>"_s);
    const QString enabledTools = u"Array.from(document.querySelectorAll('#toolbar button.tool'))"
                                 ".filter(b => !b.disabled).length"_s;
    ASSERT_GT(js(enabledTools).toInt(), 20);

    EXPECT_EQ(rawCall(u"SetEditorMode"_s, u"{\"readonly\":true }"_s), kJsonReplyOk);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"false"_s);
    EXPECT_EQ(js(enabledTools).toInt(), 0);
    EXPECT_EQ(status(u"status-mode"_s), u"Read-only"_s);
    putCaretAtEnd();
    type(u"xyz"_s);
    EXPECT_FALSE(js(u"Tavrik.editor.exec('bold')"_s).toBool());
    EXPECT_EQ(rawCall(u"InsertTable"_s, u"{\"colNum\":1,\"rowNum\":1}"_s), kReadOnlyReply);
    EXPECT_EQ(rawCall(u"AddPicToEditor"_s, added(u"a.png"_s, u"a.png"_s, u"a.png"_s)),
              kReadOnlyReply);

    EXPECT_EQ(rawCall(u"SetEditorMode"_s, u"{\"readonly\":false }"_s), kJsonReplyOk);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"true"_s);
    EXPECT_EQ(status(u"status-mode"_s), u"Editing"_s);
    EXPECT_GT(js(enabledTools).toInt(), 20);
    putCaretAtEnd();
    type(u"d"_s);
    EXPECT_TRUE(textIs(u"abcd"_s)) << html().toStdString();
    // The clear of the editing state keeps the mode.
    rawCall(u"SetEditorMode"_s, u"{\"readonly\":true}"_s);
    rawCall(u"ClearEditorCache"_s);
    EXPECT_EQ(frameJs(u"d.body.contentEditable"_s), u"false"_s);

    // Without the native side the page still works and queues its commands.
    open(false);
    EXPECT_EQ(js(u"Tavrik.bridge.pendingCount()"_s).toInt(), 0);
    js(u"document.querySelector('[data-id=\"attach\"]').click()"_s);
    EXPECT_EQ(js(u"Tavrik.bridge.pendingCount()"_s).toInt(), 1);
    EXPECT_EQ(setContent(u"<p>x</p>"_s), kJsonReplyOk);
    EXPECT_EQ(html(), u"<p>x</p>"_s);
}

// A long note is counted while typing without reading its whole text again: typed text adds
// its length, and only what may have removed text (a replaced selection, undo) is counted anew,
// once the page is idle. The status and the toolbar follow as well.
TEST_F(EditorPage, TypingInALongNoteAddsToItsCountAndTheLimitHoldsAtItsEdge)
{
    QString note;
    for (int i = 0; i < 600; ++i)
        note += u"<p>"_s + QString(100, u'a') + u"</p>"_s;
    setContent(note + u"<p><b>bold</b></p>"_s);
    rawCall(u"SetEditorMaxChars"_s, u"{\"size\":60006}"_s);
    const QString count = u"document.getElementById('status-count').textContent === "_s;
    ASSERT_TRUE(waitUntil(count + u"'60004 / 60006'"_s));
    // Every read of the whole note's text is counted from here on.
    js(u"(function(){const b=Tavrik.editor.document().body;window.noteReads=0;"
       "const text=Object.getOwnPropertyDescriptor(Node.prototype,'textContent');"
       "Object.defineProperty(b,'textContent',{configurable:true,"
       "get(){++window.noteReads;return text.get.call(this);}});})()"_s);

    select(u"d.querySelector('b').firstChild"_s, -1, -1);
    EXPECT_TRUE(
        waitUntil(u"document.querySelector('[data-id=\"bold\"]').classList.contains('active')"_s));
    // x and y reach the limit; z is one past it.
    type(u"xyz"_s);
    const QString last = u"Tavrik.editor.document().querySelector('b').textContent === "_s;
    EXPECT_TRUE(waitUntil(last + u"'boldxy'"_s));
    EXPECT_TRUE(waitUntil(u"document.getElementById('status-message').textContent === "
                          "'Character limit reached: the typed text was not inserted'"_s));
    EXPECT_TRUE(waitUntil(count + u"'60006 / 60006'"_s));
    EXPECT_EQ(js(u"window.noteReads"_s).toInt(), 0) << "typing read the whole note";

    // Typed over ten characters: the note is counted again, and the text fits.
    select(u"d.body.firstChild.firstChild"_s, 0, 10);
    type(u"q"_s);
    EXPECT_TRUE(waitUntil(count + u"'59997 / 60006'"_s));
    EXPECT_EQ(js(u"window.noteReads"_s).toInt(), 1);
    js(u"Tavrik.editor.exec('undo')"_s);
    EXPECT_TRUE(waitUntil(count + u"'60006 / 60006'"_s));
    EXPECT_EQ(frameJs(u"d.body.firstChild.textContent.length"_s), u"100"_s);
}

} // namespace

#include "tst_czorvaeditorimpl.moc"
