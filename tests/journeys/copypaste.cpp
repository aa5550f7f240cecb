// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Copying a block with a picture and two cards from one note into another with the keys, then
// deleting the first note and cleaning up the notebook.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"
#include "storeactions.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QRectF>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QColor Green(0, 200, 0);
// A paste hashes, copies and draws its files before the page inserts it, and a note's pictures
// are decoded when it opens: on a busy machine too.
constexpr int PasteTimeoutMs = 20000;

} // namespace

class CopyPaste : public Journey
{
protected:
    int pictures() { return js(note() + u".images.length"_s).toInt(); }
    // Pixels of the picture's colour where the page shows the picture of the last pasted block,
    // in the window as the X server shows it now, and the pixels of the picture in the note's
    // view (blanks aside).
    std::pair<int, int> lastPictureOnScreen()
    {
        const QVariantList box
            = js(u"(function(){const f=Tavrik.editor.frame(),w=f.contentWindow,b=f"
                 ".getBoundingClientRect(),r=%1.images[%1.images.length-3]"
                 ".getBoundingClientRect();const x0=Math.max(r.left,0),y0=Math.max(r.top,0),"
                 "x1=Math.min(r.right,w.innerWidth),y1=Math.min(r.bottom,w.innerHeight);"
                 "return [b.x+f.clientLeft+x0,b.y+f.clientTop+y0,x1-x0,y1-y0];})()"_s.arg(note()))
                  .toList();
        const QRect shown
            = QRectF(box.value(0).toDouble(), box.value(1).toDouble(), box.value(2).toDouble(),
                     box.value(3).toDouble())
                  .toAlignedRect()
                  .adjusted(1, 1, -1, -1)
                  .translated(editor().GetWebBrowseHwnd()->mapTo(&window(), QPoint()));
        if (shown.isEmpty())
            return {0, 0};
        const QImage shot = window().screen()->grabWindow(window().winId()).toImage();
        int count = 0;
        for (int y = shown.top(); y <= shown.bottom(); ++y) {
            for (int x = shown.left(); x <= shown.right(); ++x)
                count += shot.pixelColor(x, y) == Green;
        }
        return {count, shown.width() * shown.height()};
    }
    // The note's caret: whether it is collapsed in the focused note, the pictures before it,
    // the text after it (blanks aside) and the pictures after it.
    QString caret()
    {
        return js(u"(function(){const d=%1,s=d.getSelection();"
                  "const before=d.createRange(),after=d.createRange();"
                  "before.setStart(d.body,0);before.setEnd(s.focusNode,s.focusOffset);"
                  "after.setStart(s.focusNode,s.focusOffset);after.setEnd(d.body,"
                  "d.body.childNodes.length);return [d.hasFocus()&&s.isCollapsed,"
                  "before.cloneContents().querySelectorAll('img').length,after.toString().trim(),"
                  "after.cloneContents().querySelectorAll('img').length].join('|');})()"_s.arg(
                      note()))
            .toString();
    }
    QAction *cleanUpAction() { return window().findChild<StoreActions *>()->cleanAction(); }

    QTemporaryDir m_files;
    RecordingPrompts m_prompts;
};

TEST_F(CopyPaste, ABlockPastedTwiceIntoAnotherNoteIsItsOwnAndOutlivesItsSource)
{
    const QString picture = m_files.filePath(u"pic.png"_s);
    ASSERT_TRUE(writeBytes(picture, pngBytes(filledImage(60, 40, Green))));
    ASSERT_TRUE(writeBytes(m_files.filePath(u"doc.pdf"_s), "%PDF-1.4 packing"));
    ASSERT_TRUE(writeBytes(m_files.filePath(u"notes.txt"_s), "tent, torch"));

    // The source: a new note with a line of text, then the picture and two files attached.
    window().newNote();
    ASSERT_TRUE(jsUntil(note() + u".body.textContent === ''"_s));
    typeText(u"Packing list"_s);
    pressKeys(u"Return"_s);
    typeText(u"Zanzibar"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('Zanzibar')"_s));
    editor().InsertLocalFile(
        {picture, m_files.filePath(u"doc.pdf"_s), m_files.filePath(u"notes.txt"_s)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures() == 3; }));
    editor().SaveEditor();
    const QString source = window().currentNoteId();

    // The block holding them selected and copied with Control+C.
    js(u"(function(){const d=%1,block=d.images[0].parentNode,r=d.createRange();"
       "r.selectNodeContents(block);d.getSelection().removeAllRanges();"
       "d.getSelection().addRange(r);})()"_s.arg(note()));
    QClipboard *clipboard = QGuiApplication::clipboard();
    pressKeys(u"ctrl+c"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return clipboard->mimeData() && clipboard->mimeData()->html().count(u"zv_exdata"_s) == 3;
    }));

    // Pasted twice at the end of another note: each block drawn at once, the caret after it.
    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    const QString target = window().currentNoteId();
    const QStringList ownFiles = QDir(GetAttachRootDir() + u'/' + target).entryList(QDir::Files);
    const int before = pictures();
    caretToNoteEnd();
    for (const int pasted : {1, 2}) {
        pressKeys(u"ctrl+v"_s);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return pictures() == before + 3 * pasted; }, PasteTimeoutMs))
            << "paste " << pasted << ": " << pictures() << " pictures, before " << before << " "
            << js(note() + u".body.innerHTML"_s).toString().toStdString() << " "

            << m_prompts.messages().join(u'|').toStdString();
        EXPECT_EQ(caret(), u"true|%1||0"_s.arg(before + 3 * pasted)) << "paste " << pasted;
        // Drawn without another key: the picture's part in the note's view is on the screen.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const auto [green, shown] = lastPictureOnScreen();
            return shown > 0 && green * 100 >= shown * 95; // its edges may blend
        })) << "paste "
            << pasted << " is not on screen";
    }
    // A key typed afterwards is that key alone: the browser kept no paste of its own for it.
    typeText(u"Done"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.trim().endsWith('Done')"_s));
    EXPECT_EQ(pictures(), before + 6);
    EXPECT_EQ(js(note() + u".body.innerText.split('Zanzibar').length"_s), QVariant(3));
    QStringList expected = ownFiles + QStringList{u"doc.pdf"_s, u"notes.txt"_s, u"pic.png"_s};
    expected.sort();
    EXPECT_EQ(QDir(GetAttachRootDir() + u'/' + target).entryList(QDir::Files), expected);

    // The source deleted, and everything no note refers to cleaned up (files from before the
    // last hour only, so all of them here).
    ASSERT_TRUE(openNoteTitled(u"Packing list"_s));
    m_prompts.answerButton(QMessageBox::Yes);
    window().deleteCurrentNote();
    EXPECT_TRUE(window().noteIdByTitle(u"Packing list"_s).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(GetAttachRootDir() + u'/' + source));
    ageTree(GetAttachRootDir(), 7200);
    m_prompts.answerButton(QMessageBox::Yes);
    cleanUpAction()->trigger();
    const QStringList messages = m_prompts.messages();
    ASSERT_EQ(messages.size(), 3) << messages.join(u'\n').toStdString();
    EXPECT_TRUE(messages[0].startsWith(u"Delete the note “Packing list”?"_s));
    EXPECT_TRUE(messages[2].startsWith(u"Removed "_s)) << messages[2].toStdString();
    EXPECT_EQ(QDir(GetAttachRootDir() + u'/' + target).entryList(QDir::Files), expected);

    ASSERT_TRUE(openNoteTitled(u"Weekly plan"_s));
    EXPECT_TRUE(jsUntil(
        u"Array.from(%1.images).every(i => i.complete && i.naturalHeight > 0)"_s.arg(note()),
        PasteTimeoutMs))
        << js(u"Array.from(%1.images).map(i => [i.getAttribute('src'), i.complete, "
              "i.naturalHeight].join(' ')).join('\\n')"_s.arg(note()))
               .toString()
               .toStdString();
    finishJourney();
}
