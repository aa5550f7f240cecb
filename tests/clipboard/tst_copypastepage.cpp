// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Adding, copying and pasting attachments through the real editor page: files and an image
// dropped on the browser's inner window arrive in the store and in the page, whose content
// lists them in document order; copy and paste go through its keys and the clipboard, in one
// process and across two.
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <cstdio>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// The two sides of the copy across processes are tests of this program run in child
// processes, each named by this variable; a run without it skips them.
constexpr const char *SideVariable = "TAVRIK_CLIPBOARD_SIDE";
const QString AttachmentsOnly = u"setStartBefore(a[0]);r.setEndAfter(a[1])"_s;
const QString CaretAtStart = u"selectNodeContents(d.body);r.collapse(true)"_s;

// The program's own application folder holds the page, the icons and the store; each test
// works in notes of its own.
class CopyPastePage : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { stageEditorPage(GetAppDirectory()); }
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

TEST_F(CopyPastePage, AttachmentsCopiedOutArePastedIntoAnotherNoteAsFiles)
{
    copyOut();
    pasteIntoNewNote();
}

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

} // namespace
