// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The clipboard's byte layouts, their place on the system clipboard, the editor's keys, and
// what a paste refuses.
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "clipboard/clipboardformats_p.h"
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

TEST(ClipboardLayout, HtmlFormatAndFileListBytes)
{
    EXPECT_EQ(ClipboardLayout::buildHtmlFormat(""), EmptyLayout);
    // Non-ASCII counts in bytes; a zero byte ends the fragment.
    const QByteArray fragment = u"<b>笔记</b>"_s.toUtf8();
    const QByteArray layout = *ClipboardLayout::buildHtmlFormat(QByteArray(fragment + '\0' + "x"));
    EXPECT_EQ(layout.mid(41, 8) + layout.mid(87, 8), "0000018500000149") << "172 + 13 bytes";
    EXPECT_EQ(ClipboardLayout::htmlFragment(layout),
              QByteArray("<!--StartFragment -->\r\n" + fragment + "\r\n"));
    // The offsets have eight digits: the largest text is 99,999,999 bytes.
    QByteArray large(99999999 - 172, 'x');
    EXPECT_EQ(ClipboardLayout::buildHtmlFormat(large).value_or("").mid(41, 8), "99999999");
    EXPECT_FALSE(ClipboardLayout::buildHtmlFormat(large.append('x')));

    const QString first = u"/tmp/a.txt"_s, both = first + QChar(0) + u"/home/笔记/b"_s;
    const QByteArray block = ClipboardLayout::buildFileList({first, both.mid(11)});
    const QByteArray names(reinterpret_cast<const char *>(both.utf16()), 2 * both.size());
    EXPECT_EQ(block,
              QByteArray::fromHex("1400000000000000000000000000000001000000") + names
                  + QByteArray(4, '\0'))
        << "22 + 2 x 11 + 2 x 11 bytes, little-endian UTF-16";
    EXPECT_EQ(ClipboardLayout::dropEffect(), QByteArray::fromHex("01000000"));
}

TEST(ClipboardLayout, FragmentOffsetsOutOfPlace)
{
    const QByteArray tail = "\r\n<html><body>abcdef</body></html>"; // 36 bytes of text
    for (const char *header :
         {"EndFragment:10", "StartFragment:x EndFragment:10", "StartFragment:-1 EndFragment:10",
          "StartFragment:20 EndFragment:10", "StartFragment:10 EndFragment:67",
          "StartFragment:4294967306 EndFragment:10"})
        EXPECT_FALSE(ClipboardLayout::htmlFragment(QByteArray(header + tail))) << header;
    EXPECT_EQ(ClipboardLayout::htmlFragment("StartFragment: +3\nEndFragment:\t7 <p>"), "rtFr");
    EXPECT_FALSE(
        ClipboardLayout::htmlFragment(QByteArray("StartFragment:0 EndFragment:31\0 x", 33)));
}

TEST(ClipboardFormats, EachWriteReplacesTheClipboardAndReadsBack)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"before"_s);
    EXPECT_FALSE(WriteClipboardFileList({}));
    EXPECT_EQ(clipboard->text(), u"before"_s);
    ASSERT_TRUE(WriteClipboardFileList({u"/tmp/a b.txt"_s, u"/tmp/笔记"_s}));
    EXPECT_EQ(clipboard->mimeData()->formats(),
              QStringList({u"text/uri-list"_s, u"x-special/gnome-copied-files"_s,
                           u"application/x-qt-windows-mime;value=\"CF_HDROP\""_s,
                           u"application/x-qt-windows-mime;value=\"Preferred DropEffect\""_s}));
    EXPECT_EQ(clipboard->mimeData()->data(u"x-special/gnome-copied-files"_s),
              "copy\nfile:///tmp/a%20b.txt\nfile:///tmp/%E7%AC%94%E8%AE%B0");
    QByteArray fragment;
    EXPECT_FALSE(ReadClipboardHtmlFragment(fragment));

    ASSERT_TRUE(WriteClipboardHtml(""));
    EXPECT_EQ(clipboard->mimeData()->formats(), QStringList({u"text/html"_s, HtmlFormat}));
    EXPECT_EQ(clipboard->mimeData()->data(HtmlFormat), EmptyLayout);
    ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
    EXPECT_EQ(fragment, "<!--StartFragment -->\r\n\r\n");

    // Without the layout, plain HTML is the fragment; a broken layout is not passed over.
    auto *data = new QMimeData;
    data->setHtml(u"<i>ü</i>"_s);
    clipboard->setMimeData(data);
    ASSERT_TRUE(ReadClipboardHtmlFragment(fragment));
    EXPECT_EQ(fragment, u"<i>ü</i>"_s.toUtf8());
    data->setData(HtmlFormat, "StartFragment:5 EndFragment:2");
    EXPECT_FALSE(ReadClipboardHtmlFragment(fragment));
}

struct Keys : ZvWebNoteHandler, QObject
{
    long key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        const QKeyEvent event(type, key, modifiers);
        return OnTranslateAccelerator(&event);
    }
    // Presses and releases `key` with Control; the press's answer.
    long click(int key)
    {
        const long pressed = this->key(QEvent::KeyPress, key);
        this->key(QEvent::KeyRelease, key);
        return pressed;
    }
    // Counts the copy notifications posted to the browser's inner window.
    bool eventFilter(QObject *, QEvent *event) override
    {
        copyNotifications += event->type() == CopyNotifyEvent;
        return false;
    }
    int copyNotifications = 0;
};

TEST(EditorKeys, RoutedInTableOrder)
{
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    browser.inner.installEventFilter(&handler);
    using P = QEvent::Type;
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_F5, Qt::NoModifier), S_OK);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A, Qt::ShiftModifier), S_OK) << "F5 still down";
    EXPECT_EQ(handler.key(P::KeyRelease, Qt::Key_F5, Qt::NoModifier), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A, Qt::NoModifier), E_NOTIMPL);
    for (const int key : {Qt::Key_O, Qt::Key_P, Qt::Key_N, Qt::Key_F}) {
        EXPECT_EQ(handler.click(key), key == Qt::Key_F ? E_NOTIMPL : S_OK) << key;
        EXPECT_EQ(handler.key(P::KeyRelease, key), E_NOTIMPL);
    }
    // Control+C, then V pressed while C is held: both act as Control+C.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_C), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), E_NOTIMPL);
    QCoreApplication::sendPostedEvents(&browser.inner, CopyNotifyEvent);
    EXPECT_EQ(handler.copyNotifications, 2);
    handler.key(P::KeyRelease, Qt::Key_Control, Qt::NoModifier);

    // A listed path that climbs out is not taken, so nothing is added.
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(u"/tmp/x/../a.txt"_s)});
    QGuiApplication::clipboard()->setMimeData(data);
    LogCapture log;
    EXPECT_EQ(handler.click(Qt::Key_V), E_NOTIMPL);
    EXPECT_EQ(log.lines(), Lines({u"[ERROR] File path with \"..\" skipped: /tmp/x/../a.txt"_s}));

    // Read-only: paste and cut are the browser's (which refuses them).
    QGuiApplication::clipboard()->setImage(filledImage(2, 2, Qt::red));
    handler.SetReadOnly(1);
    EXPECT_EQ(handler.click(Qt::Key_V), E_NOTIMPL);
    EXPECT_EQ(handler.click(Qt::Key_D), E_NOTIMPL);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s), QStringList());
}

class PasteLimit : public AppFolderTest
{
};

TEST_F(PasteLimit, ExactlyTenMebibytes)
{
    const QString attachment
        = uR"(<img class="userdata\attachment\0123.bin" zv_exdata='{"OrigName_B64":"YS5iaW4="}'>)"_s;
    for (const qint64 size : {10485761, 10485760}) {
        // The note shows a.bin (recorded as one byte, which counts as none) and pastes it.
        FakeBrowser browser;
        browser.html = attachment;
        Keys handler;
        handler.SetIEWebBrowser(&browser);
        handler.SetCurNoteGuid(u"note"_s);
        handler.InitAttachFileSize({{u"0123.bin"_s, 1}});
        QFile file(GetAttachFilePath(u"note"_s, u"0123.bin"_s, u"a.bin"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        WriteClipboardHtml(attachment.toUtf8());
        RecordingPrompts prompts;
        const long pasted = handler.click(Qt::Key_V);
        const QStringList added = QDir(m_root + u"note"_s).entryList(QDir::Files);
        QByteArray fragment; // written back as it was read, start line included
        ReadClipboardHtmlFragment(fragment);
        if (size > 10485760) {
            EXPECT_EQ(pasted, S_OK);
            EXPECT_EQ(prompts.messages(), QStringList(u"最大支持上传10M附件！"_s));
            EXPECT_EQ(added, QStringList(u"a.bin"_s));
        } else {
            EXPECT_EQ(pasted, E_NOTIMPL) << "the browser pastes the fragment";
            EXPECT_EQ(prompts.messages(), QStringList());
            EXPECT_EQ(added, QStringList({u"a(1).bin"_s, u"a.bin"_s}));
            EXPECT_EQ(handler.attachFileSizes().size(), 3u) << "a.bin, the copy and its card";
            EXPECT_EQ(fragment,
                      QByteArray("<!--StartFragment -->\r\n<!--StartFragment -->\r\n"
                                 + attachment.toUtf8() + "\r\n\r\n"));
        }
    }
}

} // namespace
