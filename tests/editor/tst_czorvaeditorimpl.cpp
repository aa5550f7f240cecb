// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "common/itavrikcoredata.h"
#include "common/ivarconfigmgr.h"
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "logcapture.h"
#include "notehtml/notehtmlrw.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWebEnginePage>

#include <algorithm>
#include <memory>

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

class EditorTest : public EditorPageSuite
{
protected:
    void SetUp() override
    {
        m_host = std::make_unique<EditorHost>();
        m_host->resize(900, 700);
        auto *layout = new QVBoxLayout(m_host.get());
        m_other = new QLineEdit(m_host.get());
        layout->addWidget(m_other);
        m_editor = new CZorvaEditorImpl;
        layout->addWidget(m_editor);
        ASSERT_TRUE(openEditor(m_editor, m_host.get(), QRect(0, 0, 800, 600), 42))
            << "the editor page did not load";
        QApplication::setActiveWindow(m_host.get());
    }

    void TearDown() override { m_host.reset(); }

    static QString attachRoot() { return GetAttachRootDir() + u'/'; }

    QVariant runInPage(const QString &script) { return runScript(m_editor->page(), script); }
    void putCaretAtEnd()
    {
        runInPage(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
                  "const r=d.createRange();r.selectNodeContents(d.body);r.collapse(false);"
                  "const s=d.getSelection();s.removeAllRanges();s.addRange(r);})()"_s);
    }

    // Types at the end of the note with real key events, one per character with its text (so
    // any script works), and waits until the page shows them.
    void typeAtEnd(const QString &text)
    {
        focusEditor();
        putCaretAtEnd();
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, m_editor->GetWebBrowseHwnd(), Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return pageText().trimmed().endsWith(text.trimmed()); }, 5000))
            << "typing did not reach the page: " << pageText().toStdString();
    }

    QString pageText()
    {
        return runInPage(u"Tavrik.editor.document().body.innerText"_s).toString();
    }

    void focusEditor()
    {
        QWidget *inner = m_editor->GetWebBrowseHwnd();
        ASSERT_NE(inner, nullptr);
        inner->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return inner->hasFocus(); }, 2000));
    }

    // Lets a save that does not block the window finish (the page answers in order).
    void settle()
    {
        runInPage(u"0"_s);
        QCoreApplication::processEvents();
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
    // Stores `content` as the note `id`'s only file and opens it.
    void loadNote(const QString &id, const QString &content,
                  const std::map<QString, quint64> &sizes = {})
    {
        writeNoteFile(id + u".html"_s, content, 2);
        m_editor->LoadEditor(id, {id + u".html"_s}, sizes, false);
    }

    RecordingPrompts m_prompts;
    std::unique_ptr<EditorHost> m_host;
    QLineEdit *m_other = nullptr;
    CZorvaEditorImpl *m_editor = nullptr;
};

TEST_F(EditorTest, FirstLoadTellsTheParentOnceAndPointsAtThisEditor)
{
    EXPECT_TRUE(m_editor->pageLoaded());
    EXPECT_EQ(CZorvaEditorImpl::lastEditor(), m_editor);
    EXPECT_EQ(QDir::cleanPath(m_editor->url().toLocalFile()),
              QDir::cleanPath(GetAppDirectory() + u"zveditor/index.html"_s));
    // A second Create fails and loads nothing.
    EXPECT_EQ(m_editor->Create(m_host.get(), QRect(0, 0, 800, 600), 42, IEWebBrowser::StyleVisible),
              0);
    QTest::qWait(200);
    EXPECT_EQ(m_host->pageLoadedEvents, 1);
    EXPECT_EQ(runInPage(u"Tavrik.editor.maxChars()"_s).toInt(), 10000);
}

TEST_F(EditorTest, HostConfigurationNamesThePage)
{
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

TEST_F(EditorTest, LoadJoinsNoteFilesInOrderAndKeepsTheLastVersion)
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
        QString last;
        m_editor->GetLastHtml(last);
        EXPECT_EQ(last, html);
        EXPECT_EQ(m_editor->version(), version) << html.toStdString();
        EXPECT_EQ(m_editor->handler().GetCurNoteGuid(), u"n1"_s);
        EXPECT_EQ(pageText().simplified(),
                  QString(html).remove(u"<p>"_s).replace(u"</p>"_s, u" "_s).simplified());
    }
}

TEST_F(EditorTest, LoadReadsOnlyTheStoreAndOpensTooLargeNotesReadOnly)
{
    writeNoteFile(u"small.html"_s, u"<p>kept</p>"_s, 2);
    ASSERT_TRUE(writeBytes(s_app->path() + u"/userdata/outside.html"_s, "<p>outside</p>"));
    LogCapture log;
    m_editor->LoadEditor(u"n"_s, {u"../outside.html"_s, u"small.html"_s}, {}, false);
    QString last;
    m_editor->GetLastHtml(last);
    EXPECT_EQ(last, u"<p>kept</p>"_s);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] CZorvaEditorImpl::LoadEditor, note file outside the "
                    "store refused: ../outside.html"_s});

    // Exactly at the limit a note is editable; one byte more shows its beginning read-only.
    const qint64 limit = CZorvaEditorImpl::MaxEditableNoteBytes;
    for (const qint64 extra : {0, 1}) {
        const QString content = u"<p>"_s + QString(limit - 30 + extra, u'a') + u"</p>"_s;
        writeNoteFile(u"big.html"_s, content, 2);
        m_prompts.clear();
        m_editor->LoadEditor(u"big"_s, {u"big.html"_s}, {}, false);
        m_editor->SetReadOnly(false);
        m_editor->GetLastHtml(last);
        EXPECT_EQ(m_editor->handler().IsReadOnly(), extra);
        EXPECT_EQ(last, extra ? content.left(limit - 23) : content);
        EXPECT_EQ(m_prompts.messages(),
                  extra ? QStringList{u"此笔记大小为4.00 MiB，超过编辑器可编辑的4.00 MiB，只以只读"
                                      "方式显示其开头部分；笔记本身不会被更改。"_s}
                        : QStringList{});
    }
    m_editor->handler().SetReadOnly(false);
    m_editor->SaveEditor();
    EXPECT_TRUE(m_host->saves.empty()) << "a note shown in part was saved";
}

TEST_F(EditorTest, LoadWithoutReadableFilesOrNewShowsAnEmptyCurrentNote)
{
    writeNoteFile(u"old.html"_s, u"<p>old</p>"_s, 1);
    for (const auto &names :
         {std::vector<QString>{}, std::vector<QString>{u"nope.html"_s, QString()}}) {
        m_editor->LoadEditor(u"old"_s, {u"old.html"_s}, {}, false);
        ASSERT_EQ(m_editor->version(), 1);
        m_editor->LoadEditor(u"n2"_s, names, {{u"a.png"_s, 7}}, false);
        QString last = u"x"_s;
        m_editor->GetLastHtml(last);
        EXPECT_TRUE(last.isEmpty());
        EXPECT_EQ(m_editor->version(), 2);
        EXPECT_TRUE(pageText().trimmed().isEmpty());
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
    EXPECT_TRUE(pageText().trimmed().isEmpty());
}

TEST_F(EditorTest, FocusLossSavesAChangedNoteOnce)
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
    QString last;
    m_editor->GetLastHtml(last);
    EXPECT_EQ(stored, last);
    EXPECT_TRUE(stored.contains(u"Hello world 你好"_s)) << stored.toStdString();

    loseFocus();
    EXPECT_EQ(m_host->saves.size(), 1u) << "a second focus loss without edits saved again";
}

TEST_F(EditorTest, CtrlSAndSaveEditorSaveAndAHostRefusalIsRetried)
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
}

TEST_F(EditorTest, ReadOnlyBlocksEverySave)
{
    m_editor->LoadEditor(u"ro"_s, {}, {}, false);
    typeAtEnd(u"draft"_s);
    m_editor->SetReadOnly(true);
    EXPECT_TRUE(m_editor->handler().IsReadOnly());
    loseFocus();
    focusEditor();
    pressCtrlS();
    m_editor->SaveEditor();
    EXPECT_TRUE(m_host->saves.empty());

    m_editor->SetReadOnly(false);
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 1u);
    EXPECT_EQ(m_host->saves.front().plainText.trimmed(), u"draft"_s);
}

TEST_F(EditorTest, SaveListsTheNoteFileFirstThenTheFilesItShows)
{
    const QString exdata = u"{&quot;OrigName_B64&quot;:&quot;cmVwb3J0LnBkZg==&quot;}"_s;
    loadNote(u"att"_s,
             u"<p>see <img class=\"userdata\\attachment\\c3d4.pdf\" "
             "src=\"../userdata\\attachment\\e5f6.bmp\" zv_exdata=\""_s
                 + exdata + u"\"></p>"_s,
             {{u"c3d4.pdf"_s, 10}});
    typeAtEnd(u" now"_s);
    m_editor->SaveEditor();
    ASSERT_EQ(m_host->saves.size(), 1u);
    QStringList listed;
    for (const NewAttachFile &file : m_host->saves.front().files) {
        listed << QString::number(file.fileKind) + u':' + file.storeName + u':' + file.origName;
        EXPECT_FALSE(file.modifyTime.isEmpty()) << file.storeName.toStdString();
    }
    ASSERT_EQ(listed.size(), 3);
    listed[0] = listed[0].left(2);
    EXPECT_EQ(listed, (QStringList{u"0:"_s, u"2:c3d4.pdf:report.pdf"_s, u"1:e5f6.bmp:"_s}));
}

TEST_F(EditorTest, UnreadablePageContentShowsItsMessageAndSavesNothing)
{
    m_editor->LoadEditor(u"broken"_s, {}, {}, false);
    runInPage(u"window.jsProcessor = undefined; true"_s);
    LogCapture log;
    m_editor->SaveEditor();
    EXPECT_TRUE(m_host->saves.empty());
    EXPECT_EQ(m_prompts.messages(), QStringList{u"获取笔记编辑器内容失败！"_s});
    EXPECT_THAT(
        log.lines(),
        Contains(u"[ERROR] 获取笔记编辑器内容，js方法调用失败！，ErrMsg:unknow error ！"_s));
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

} // namespace
