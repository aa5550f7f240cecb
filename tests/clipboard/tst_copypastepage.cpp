// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Copy and paste with attachments through the real editor page, its keys and the clipboard.
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <cstdio>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// The two sides of the copy across processes run as tests of this program in child
// processes, each named by this variable; a run without it skips them.
constexpr const char *SideVariable = "TAVRIK_CLIPBOARD_SIDE";

// The program's own application folder holds the page, the icons and the store; each test
// works in notes of its own.
class CopyPastePage : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { stageEditorPage(GetAppDirectory()); }
    void SetUp() override
    {
        const QString test
            = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        const QString side = qEnvironmentVariable(SideVariable);
        if (test.endsWith(u"Side"_s) ? side != test : !side.isEmpty())
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
    // Focuses the editor and selects what `range` sets on the range r (with the attachments
    // in `a`).
    void select(const QString &range)
    {
        QApplication::setActiveWindow(editor.get());
        editor->GetWebBrowseHwnd()->setFocus();
        QTest::qWaitFor([&] { return editor->GetWebBrowseHwnd()->hasFocus(); }, 2000);
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           "const a=d.querySelectorAll('img[zv_exdata]');const r=d.createRange();r.%1;"
           "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s.arg(range));
    }
    void press(Qt::Key key)
    {
        QTest::keyClick(editor->GetWebBrowseHwnd(), key, Qt::ControlModifier);
    }
    // The original names of the page's attachments, in order.
    QString attachmentNames()
    {
        return js(u"Array.from(Tavrik.editor.document().querySelectorAll('img[zv_exdata]'))"
                  ".map(i=>atob(JSON.parse(i.getAttribute('zv_exdata')).OrigName_B64)).join()"_s)
            .toString();
    }
    bool attachmentsAre(const QString &names)
    {
        return QTest::qWaitFor([&] { return attachmentNames() == names; }, 10000);
    }
    void insertFiles()
    {
        editor->InsertLocalFile({m_in.filePath(u"a.txt"_s), m_in.filePath(u"b.png"_s)});
        ASSERT_TRUE(attachmentsAre(u"a.txt,b.png"_s));
    }
    // Copies with Control+C and waits for the copy notification's outcome.
    const QMimeData *copy()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        press(Qt::Key_C);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const QMimeData *data = clipboard->mimeData();
                return data && (data->hasHtml() || data->hasUrls());
            },
            5000));
        QTest::qWait(300);
        static const QMimeData none;
        return clipboard->mimeData() ? clipboard->mimeData() : &none;
    }

    QTemporaryDir m_in;
    const QString m_root = GetAttachRootDir() + u'/';
    QString noteA;
    std::unique_ptr<CZorvaEditorImpl> editor;
};

TEST_F(CopyPastePage, AttachmentsCopiedOutArePastedIntoAnotherNoteAsFiles)
{
    insertFiles();
    select(u"setStartBefore(a[0]);r.setEndAfter(a[1])"_s);
    const QMimeData *copied = copy();
    const QString folder = m_root + noteA + u'/';
    EXPECT_EQ(copied->urls(),
              QList<QUrl>({QUrl::fromLocalFile(folder + u"a.txt"_s),
                           QUrl::fromLocalFile(folder + u"b.png"_s)}));
    EXPECT_EQ(copied->data(u"x-special/gnome-copied-files"_s),
              QByteArray("copy\n" + QUrl::fromLocalFile(folder + u"a.txt"_s).toEncoded() + '\n'
                         + QUrl::fromLocalFile(folder + u"b.png"_s).toEncoded()));

    // Another note: the file route adds both, and the browser pastes nothing itself.
    QString noteB;
    editor->NewEditor(noteB, false);
    select(u"selectNodeContents(d.body);r.collapse(true)"_s);
    press(Qt::Key_V);
    ASSERT_TRUE(attachmentsAre(u"a.txt,b.png"_s));
    EXPECT_EQ(readBytes(m_root + noteB + u"/a.txt"_s), "alpha");
}

TEST_F(CopyPastePage, TextOrAMissingFileKeepsTheBrowsersHtml)
{
    select(u"selectNodeContents(d.body)"_s);
    QTest::keyClicks(editor->GetWebBrowseHwnd(), u"Trip "_s);
    insertFiles();
    select(u"selectNodeContents(d.body)"_s);
    const QMimeData *copied = copy();
    EXPECT_FALSE(copied->hasUrls());
    EXPECT_TRUE(copied->html().contains(u"Trip"_s)) << copied->html().toStdString();

    ASSERT_TRUE(QFile::remove(m_root + noteA + u"/a.txt"_s));
    select(u"setStartBefore(a[0]);r.setEndAfter(a[1])"_s);
    copied = copy();
    EXPECT_FALSE(copied->hasUrls());
    EXPECT_TRUE(copied->html().contains(u"zv_exdata"_s)) << copied->html().toStdString();
}

TEST_F(CopyPastePage, FilesComeBeforeHtmlAndAPictureBecomesAJpeg)
{
    const auto tempJpegs = [] {
        return QDir::temp().entryList({u"*.jpg"_s});
    };
    const QStringList before = tempJpegs();
    auto *both = new QMimeData;
    both->setUrls({QUrl::fromLocalFile(m_in.filePath(u"a.txt"_s))});
    both->setHtml(u"<p>not pasted</p>"_s);
    QGuiApplication::clipboard()->setMimeData(both);
    select(u"selectNodeContents(d.body);r.collapse(true)"_s);
    press(Qt::Key_V);
    ASSERT_TRUE(attachmentsAre(u"a.txt"_s));

    QGuiApplication::clipboard()->setImage(filledImage(5, 5, Qt::red));
    press(Qt::Key_V);
    ASSERT_TRUE(QTest::qWaitFor([&] { return attachmentNames().endsWith(u".jpg"_s); }, 10000));
    EXPECT_FALSE(
        js(u"Tavrik.editor.document().body.textContent"_s).toString().contains(u"not pasted"_s));
    EXPECT_EQ(tempJpegs(), before) << "the temporary JPEG is deleted";
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
    const QString number = QString::fromLatin1(display.readAllStandardOutput()).trimmed();
    const auto side = [&](const char *name) {
        auto *child = new QProcess(&display);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"DISPLAY"_s, u':' + number);
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.insert(QString::fromLatin1(SideVariable), QString::fromLatin1(name));
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::MergedChannels);
        child->start(QCoreApplication::applicationFilePath(),
                     {u"--gtest_filter=CopyPastePage."_s + QString::fromLatin1(name)});
        return child;
    };
    QProcess *copier = side("CopySide");
    QByteArray copied;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (copied += copier->readAll()).contains("file list on the clipboard"); },
        90000))
        << copied.toStdString();
    QProcess *paster = side("PasteSide");
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
    insertFiles();
    select(u"setStartBefore(a[0]);r.setEndAfter(a[1])"_s);
    ASSERT_TRUE(copy()->hasUrls());
    std::printf("file list on the clipboard\n");
    std::fflush(stdout);
    QTest::qWait(120000); // serves the clipboard until the other side has pasted
}

TEST_F(CopyPastePage, PasteSide)
{
    select(u"selectNodeContents(d.body);r.collapse(true)"_s);
    press(Qt::Key_V);
    ASSERT_TRUE(attachmentsAre(u"a.txt,b.png"_s));
    EXPECT_EQ(readBytes(m_root + noteA + u"/a.txt"_s), "alpha");
}

} // namespace
