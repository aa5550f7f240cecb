// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The clipboard's byte layouts, their place on the system clipboard, the editor's keys, and
// the size limit of a paste.
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "clipboard/clipboardformats.h"
#include "clipboard/clipboardlayout_p.h"
#include "common/commonutils.h"
#include "fakebrowser.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "testhelpers.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

const QByteArray EmptyLayout
    = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000172\r\n"
      "StartFragment:00000111\r\nEndFragment:00000136\r\n<html><body>\r\n"
      "<!--StartFragment -->\r\n\r\n<!--EndFragment-->\r\n</body>\r\n</html>";
const QString HtmlFormat = u"application/x-qt-windows-mime;value=\"HTML Format\""_s;

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

TEST(ClipboardLayout, HtmlFormatBytes)
{
    EXPECT_EQ(ClipboardLayout::buildHtmlFormat(""), EmptyLayout);
    // Non-ASCII counts in bytes; a zero byte ends the fragment.
    const QByteArray fragment = u"<b>笔记</b>"_s.toUtf8();
    const QByteArray layout
        = *ClipboardLayout::buildHtmlFormat(QByteArray(fragment + '\0' + "lost"));
    EXPECT_EQ(layout.size(), 172 + 13);
    EXPECT_EQ(layout.mid(41, 8), "00000185");
    EXPECT_EQ(layout.mid(87, 8), "00000149");
    EXPECT_EQ(ClipboardLayout::htmlFragment(layout),
              QByteArray("<!--StartFragment -->\r\n" + fragment + "\r\n"));

    // The offsets have eight digits: the largest text is 99,999,999 bytes.
    QByteArray large(99999999 - 172, 'x');
    EXPECT_EQ(ClipboardLayout::buildHtmlFormat(large).value_or("").mid(41, 8), "99999999");
    large.append('x');
    EXPECT_FALSE(ClipboardLayout::buildHtmlFormat(large));
}

TEST(ClipboardLayout, FragmentOffsetsOutOfOrder)
{
    const QByteArray tail = "\r\n<html><body>abcdef</body></html>"; // 36 bytes of text
    const std::pair<const char *, const char *> rejected[] = {
        {"EndFragment:10", "no start label"},
        {"StartFragment:10\r\n", "no end label"},
        {"StartFragment:x EndFragment:10", "start without a number"},
        {"StartFragment:-1 EndFragment:10", "negative start"},
        {"StartFragment:20 EndFragment:10", "end before start"},
        {"StartFragment:10 EndFragment:67", "end past the text"},
        {"StartFragment:4294967306 EndFragment:10", "start past 32 bits"},
    };
    for (const auto &[header, why] : rejected)
        EXPECT_FALSE(ClipboardLayout::htmlFragment(QByteArray(QByteArray(header) + tail))) << why;
    EXPECT_EQ(ClipboardLayout::htmlFragment("StartFragment: +3\nEndFragment:\t7 <p>"), "rtFr");
    EXPECT_FALSE(
        ClipboardLayout::htmlFragment(QByteArray("StartFragment:0 EndFragment:31\0 long", 36)));
}

TEST(ClipboardLayout, FileListBlock)
{
    const QString first = u"/tmp/a.txt"_s, second = u"/home/笔记/b"_s;
    const QByteArray block = ClipboardLayout::buildFileList({first, second});
    ASSERT_EQ(block.size(), 22 + 2 * (first.size() + 1) + 2 * (second.size() + 1));
    EXPECT_EQ(block.left(20), QByteArray::fromHex("1400000000000000000000000000000001000000"));
    const QString both = first + QChar(0) + second;
    const QByteArray names(reinterpret_cast<const char *>(both.utf16()), 2 * both.size());
    EXPECT_EQ(block.mid(20, names.size()), names); // little-endian UTF-16
    EXPECT_EQ(block.right(4), QByteArray(4, '\0'));
    EXPECT_TRUE(ClipboardLayout::buildFileList({}).isEmpty());
    EXPECT_EQ(ClipboardLayout::dropEffect(), QByteArray::fromHex("01000000"));
}

TEST(ClipboardFormats, EachWriteReplacesTheClipboard)
{
    clipboard()->setText(u"before"_s);
    EXPECT_FALSE(WriteClipboardFileList({}));
    EXPECT_EQ(clipboard()->text(), u"before"_s);

    ASSERT_TRUE(WriteClipboardFileList({u"/tmp/a b.txt"_s, u"/tmp/笔记"_s}));
    const QMimeData *files = clipboard()->mimeData();
    EXPECT_EQ(files->formats(),
              QStringList({u"text/uri-list"_s, u"x-special/gnome-copied-files"_s,
                           u"application/x-qt-windows-mime;value=\"CF_HDROP\""_s,
                           u"application/x-qt-windows-mime;value=\"Preferred DropEffect\""_s}));
    EXPECT_EQ(files->data(u"x-special/gnome-copied-files"_s),
              "copy\nfile:///tmp/a%20b.txt\nfile:///tmp/%E7%AC%94%E8%AE%B0");
    QByteArray fragment;
    EXPECT_FALSE(ReadClipboardHtmlFragment(fragment));

    ASSERT_TRUE(WriteClipboardHtml(""));
    EXPECT_EQ(clipboard()->mimeData()->formats(), QStringList({u"text/html"_s, HtmlFormat}));
    EXPECT_EQ(clipboard()->mimeData()->data(HtmlFormat), EmptyLayout);
    ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
    EXPECT_EQ(fragment, "<!--StartFragment -->\r\n\r\n");
}

TEST(ClipboardFormats, ReadsTheLayoutFirstThenPlainHtml)
{
    auto *data = new QMimeData;
    data->setHtml(u"<i>ü</i>"_s);
    clipboard()->setMimeData(data);
    QByteArray fragment;
    ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
    EXPECT_EQ(fragment, u"<i>ü</i>"_s.toUtf8());

    data = new QMimeData;
    data->setHtml(u"<i>kept out</i>"_s);
    data->setData(HtmlFormat, "StartFragment:5 EndFragment:2");
    clipboard()->setMimeData(data);
    EXPECT_FALSE(ReadClipboardHtmlFragment(fragment));
}

struct Keys : ZvWebNoteHandler
{
    using ZvWebNoteHandler::OnTranslateAccelerator;
    long key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        const QKeyEvent event(type, key, modifiers);
        return OnTranslateAccelerator(&event);
    }
};

// Counts the copy notifications posted to the browser's inner window.
int postedCopyNotifications(QWidget *inner)
{
    struct Counter : QObject
    {
        int seen = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            seen += event->type() == CopyNotifyEvent;
            return false;
        }
    } counter;
    inner->installEventFilter(&counter);
    QCoreApplication::sendPostedEvents(inner, CopyNotifyEvent);
    inner->removeEventFilter(&counter);
    return counter.seen;
}

TEST(EditorKeys, RoutedInTableOrder)
{
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    using P = QEvent::Type;
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_F5, Qt::NoModifier), S_OK);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A, Qt::ShiftModifier), S_OK) << "F5 still down";
    EXPECT_EQ(handler.key(P::KeyRelease, Qt::Key_F5, Qt::NoModifier), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A, Qt::NoModifier), E_NOTIMPL);
    for (const int swallowed : {Qt::Key_O, Qt::Key_P, Qt::Key_N}) {
        EXPECT_EQ(handler.key(P::KeyPress, swallowed), S_OK);
        EXPECT_EQ(handler.key(P::KeyRelease, swallowed), E_NOTIMPL);
    }
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_F), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyRelease, Qt::Key_F), E_NOTIMPL);
    EXPECT_EQ(postedCopyNotifications(&browser.inner), 0);

    // Control+C, then V pressed while C is held: both act as Control+C.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_C), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), E_NOTIMPL);
    EXPECT_EQ(postedCopyNotifications(&browser.inner), 2);
    handler.key(P::KeyRelease, Qt::Key_Control, Qt::NoModifier);

    // Read-only: paste and cut are the browser's (which refuses them).
    clipboard()->setImage(filledImage(2, 2, Qt::red));
    handler.SetReadOnly(1);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_D), E_NOTIMPL);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s), QStringList());
}

class PasteLimit : public AppFolderTest
{
};

TEST_F(PasteLimit, ListedFilesThatAreNoFiles)
{
    const QString file = m_app.filePath(u"a.txt"_s);
    writeBytes(file, "alpha");
    const QString climbing = m_app.path() + u"/x/../a.txt"_s;
    const struct
    {
        QList<QUrl> urls;
        long result;
        QStringList messages;
        Lines log;
    } cases[] = {
        {{QUrl::fromLocalFile(m_app.path())},
         S_OK,
         {u"暂不支持文件夹粘贴！"_s},
         {u"[MESSAGE] 暂不支持文件夹粘贴！"_s}},
        {{QUrl::fromLocalFile(file + u".gone"_s), QUrl(u"https://example.org/a.txt"_s)},
         E_NOTIMPL, {}, {}},
        {{QUrl::fromLocalFile(climbing)}, E_NOTIMPL, {},
         {u"[ERROR] File path with \"..\" skipped: "_s + climbing}},
    };
    for (const auto &[urls, result, messages, log] : cases) {
        FakeBrowser browser;
        Keys handler;
        handler.SetIEWebBrowser(&browser);
        auto *data = new QMimeData;
        data->setUrls(urls);
        clipboard()->setMimeData(data);
        RecordingPrompts prompts;
        LogCapture capture;
        EXPECT_EQ(handler.key(QEvent::KeyPress, Qt::Key_V), result) << urls.size();
        EXPECT_EQ(prompts.messages(), messages);
        EXPECT_EQ(capture.lines(), log);
        EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s), QStringList());
    }
}

const QString Attachment
    = uR"(<img class="userdata\attachment\0123.bin" zv_exdata='{"OrigName_B64":"YS5iaW4="}'>)"_s;

TEST_F(PasteLimit, ExactlyTenMebibytes)
{
    for (const qint64 size : {10485761, 10485760}) {
        // The note shows a.bin (recorded as one byte, which counts as none) and pastes it.
        FakeBrowser browser;
        browser.html = Attachment;
        Keys handler;
        handler.SetIEWebBrowser(&browser);
        handler.SetCurNoteGuid(u"note"_s);
        handler.InitAttachFileSize({{u"0123.bin"_s, 1}});
        QFile file(GetAttachFilePath(u"note"_s, u"0123.bin"_s, u"a.bin"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        WriteClipboardHtml(Attachment.toUtf8());
        RecordingPrompts prompts;
        const long pasted = handler.key(QEvent::KeyPress, Qt::Key_V);
        const QStringList added = QDir(m_root + u"note"_s).entryList(QDir::Files);
        if (size > 10485760) {
            EXPECT_EQ(pasted, S_OK);
            EXPECT_EQ(prompts.messages(), QStringList(u"最大支持上传10M附件！"_s));
            EXPECT_EQ(added, QStringList(u"a.bin"_s));
        } else {
            EXPECT_EQ(pasted, E_NOTIMPL) << "the browser pastes the fragment";
            EXPECT_EQ(prompts.messages(), QStringList());
            EXPECT_EQ(added, QStringList({u"a(1).bin"_s, u"a.bin"_s}));
            EXPECT_EQ(handler.attachFileSizes().size(), 3u) << "a.bin, the copy and its card";
            QByteArray fragment; // written back as it was read, start line included
            ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
            EXPECT_EQ(fragment,
                      QByteArray("<!--StartFragment -->\r\n<!--StartFragment -->\r\n"
                                 + Attachment.toUtf8() + "\r\n\r\n"));
        }
    }
}

} // namespace
