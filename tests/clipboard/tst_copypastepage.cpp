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
#include <QTest>
#include <QUrl>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// The program's own application folder holds the page, the icons and the store; each test
// works in notes of its own.
class CopyPastePage : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { stageEditorPage(GetAppDirectory()); }
    void SetUp() override
    {
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

} // namespace
