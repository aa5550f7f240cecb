// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Adding files to a note (drops, the file dialog, pasted files) without a page; the clipboard's
// byte layouts, their place on the system clipboard, the editor's keys, and what a paste refuses.
#include "attach/attachadder_p.h"
#include "attach/dropfiles_p.h"
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "clipboard/clipboardformats_p.h"
#include "clipboard/clipboardlayout_p.h"
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "common/uilanguage.h"
#include "fakebrowser.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "testhelpers.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

// The kept names of the files the page was asked to insert, in order.
QStringList addedNames(const FakeBrowser &browser)
{
    QStringList names;
    for (const QString &arg : browser.argsOf(u"AddPicToEditor"_s)) {
        const qsizetype at = arg.indexOf(u"\"exdata\" : \""_s) + 12;
        QString exdata = arg.mid(at, arg.indexOf(u'\n', at) - at - 2);
        exdata.replace(u"\\\""_s, u"\""_s);
        names.append(AttachMarkup::GetOrigNameFromJson(exdata.toUtf8()));
    }
    return names;
}

class Handler : public ZvWebNoteHandler
{
public:
    using ZvWebNoteHandler::OnDragEnter;
    using ZvWebNoteHandler::OnDragLeave;
    using ZvWebNoteHandler::OnDragOver;
    using ZvWebNoteHandler::OnDrop;
};

// An attachment element as the page keeps it.
QString attachElement(const QString &storeName, const QString &showName, const QString &origName)
{
    return u"<img class=\"userdata\\attachment\\"_s + storeName
        + u"\" src=\"../userdata\\attachment\\"_s + showName + u"\" zv_exdata='"_s
        + AttachMarkup::FormatOrigNameToJson(origName) + u"'>"_s;
}

class AddingTest : public ::testing::Test
{
protected:
    void SetUp() override { attach(handler); }
    // Connects a handler to the page, with a fresh note folder.
    void attach(ZvWebNoteHandler &h)
    {
        h.SetIEWebBrowser(&browser);
        h.SetCurNoteGuid(CreateGuidString());
    }

    QString makeFile(const QString &name, qint64 size, char fill = 'x')
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, QByteArray(size, fill)));
        return path;
    }
    DropFileInfo record(const QString &path)
    {
        DropFileInfo info;
        EXPECT_TRUE(DropFiles::BuildDropFileInfo(path, info)) << path.toStdString();
        return info;
    }
    // Puts one non-picture attachment into the page, recorded at `size` bytes.
    void holdAttachment(ZvWebNoteHandler &h, const QString &origName, quint64 size)
    {
        const QString store
            = QString::number(qHash(origName), 16).rightJustified(32, u'0') + u".txt"_s;
        browser.html += attachElement(store, store.left(32) + u".bmp"_s, origName);
        h.InitAttachFileSize({{store, size}, {store.left(32) + u".bmp"_s, 1}});
    }

    QTemporaryDir dir;
    FakeBrowser browser;
    Handler handler;
    RecordingPrompts prompts;
};

const QString TooLarge = u"最大支持上传10M附件！"_s;
const QString Folder = u"暂不支持文件夹粘贴！"_s;
const QString Empty = u"不能上传文件大小为0的附件！"_s;

TEST_F(AddingTest, BatchKeepsTheNoteWithinTenMebibytesSayingSoInTheChosenLanguage)
{
    const struct
    {
        quint64 existingRecorded; // recorded size of one attachment already in the note; 0: none
        std::vector<qint64> sizes; // -1: a folder
        QStringList added;
        QStringList messages;
    } cases[]
        = {{0, {10485760}, {u"f0.dat"_s}, {}},
           {0, {10485761}, {}, {TooLarge}},
           // 10,485,000 counted (recorded one more): 1,000 more passes the limit, 700 does not.
           {10485001, {1000, 700}, {u"f1.dat"_s}, {TooLarge}},
           {0, {5, -1, 7}, {u"f0.dat"_s, u"f2.dat"_s}, {Folder}},
           // each message once, in order
           {10485001, {0, 2000, -1, 0, -1, 3000, 9}, {u"f6.dat"_s}, {Folder, Empty, TooLarge}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sizes.front());
        Handler fresh;
        attach(fresh);
        browser.html.clear();
        browser.calls.clear();
        prompts.clear();
        if (c.existingRecorded)
            holdAttachment(fresh, u"old.txt"_s, c.existingRecorded);
        std::vector<DropFileInfo> batch;
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            const QString path = dir.filePath(u"f%1.dat"_s.arg(i));
            QFile::remove(path);
            QDir(path).removeRecursively();
            if (c.sizes[i] < 0)
                QDir().mkpath(path);
            else
                makeFile(u"f%1.dat"_s.arg(i), c.sizes[i], char('a' + i));
            batch.push_back(record(path));
        }
        fresh.AddDropFileToEditor(batch);
        EXPECT_EQ(addedNames(browser), c.added);
        EXPECT_EQ(prompts.messages(), c.messages);
    }

    // The limit's message is shown in the chosen language and logged as written.
    const DropFileInfo tooLarge = record(makeFile(u"big.dat"_s, 10485761));
    const std::pair<QString, QString> cases[] = {
        {u"en_GB"_s, u"A note can hold at most 10 MB of attachments."_s}, {u"zh_TW"_s, TooLarge}};
    for (const auto &[locale, shown] : cases) {
        EXPECT_EQ(UiLanguage::Set(locale), locale == u"en_GB" ? u"en"_s : u"zh_CN"_s);
        prompts.clear();
        LogCapture log;
        handler.AddDropFileToEditor({tooLarge});
        EXPECT_EQ(prompts.messages(), QStringList{shown}) << locale.toStdString();
        EXPECT_EQ(log.lines(), Lines{u"[MESSAGE] 最大支持上传10M附件！"_s});
    }
    UiLanguage::Reset();
    prompts.clear();
    handler.AddDropFileToEditor({tooLarge});
    EXPECT_EQ(prompts.messages(), QStringList{TooLarge});
}

TEST_F(AddingTest, ExistingTotalCountsEachFileOneByteLessAndAnUnknownSizeRefusesTheBatch)
{
    // Three cards of 100 bytes with 2,000-byte thumbnails, and a picture listed twice.
    for (int i = 0; i < 3; ++i) {
        const QString store = u"%1.doc"_s.arg(i, 32, 10, QLatin1Char('0'));
        const QString thumb = u"%1.bmp"_s.arg(i + 10, 32, 10, QLatin1Char('0'));
        browser.html += attachElement(store, thumb, u"r%1.doc"_s.arg(i));
        handler.InitAttachFileSize({{store, 100}, {thumb, 2000}});
    }
    quint64 total = 7;
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    EXPECT_EQ(total, 6294u);

    const QString picture = u"%1.png"_s.arg(99, 32, 10, QLatin1Char('0'));
    browser.html += attachElement(picture, picture, u"p.png"_s);
    handler.InitAttachFileSize({{picture, 1000}});
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    EXPECT_EQ(total, 6294u + 1998u);

    browser.html.clear();
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    EXPECT_EQ(total, 0u);

    const QString store = u"%1.txt"_s.arg(1, 32, 10, QLatin1Char('0'));
    const QString thumb = u"%1.bmp"_s.arg(2, 32, 10, QLatin1Char('0'));
    browser.html = attachElement(store, thumb, u"报告.txt"_s);
    const DropFileInfo file = record(makeFile(u"new.txt"_s, 3));

    // Absent, then low 32 bits zero, then negative as a 32-bit number.
    for (const std::optional<quint64> size :
         {std::optional<quint64>(), std::optional<quint64>(0x100000000ull),
          std::optional<quint64>(0x80000000ull)}) {
        Handler fresh;
        attach(fresh);
        if (size)
            fresh.InitAttachFileSize({{store, *size}, {thumb, 10}});
        prompts.clear();
        LogCapture log;
        quint64 known = 5;
        EXPECT_EQ(fresh.GetExistAttTotalSize(known), 0);
        fresh.AddDropFileToEditor({file});
        EXPECT_EQ(
            log.lines(),
            (Lines{u"[ERROR] 查询报告.txt附件大小失败！"_s, u"[ERROR] 查询报告.txt附件大小失败！"_s,
                   u"[ERROR] 获取笔记编辑器附件总大小失败！"_s,
                   u"[MESSAGE] 获取笔记编辑器附件总大小失败！"_s}));
        EXPECT_EQ(prompts.messages(), QStringList{u"获取笔记编辑器附件总大小失败！"_s});
    }
    EXPECT_TRUE(browser.argsOf(u"AddPicToEditor"_s).isEmpty());
}

TEST_F(AddingTest, PageCallTextBookkeepingAndRefusals)
{
    const QString png = dir.filePath(u"红.png"_s);
    ASSERT_TRUE(filledImage(4, 3, Qt::red).save(png));
    const QString txt = makeFile(u"notes.txt"_s, 300);
    const QString md5Png = CalcFileMd5(png);
    const QString md5Txt = CalcFileMd5(txt);

    browser.replies[u"AddPicToEditor"_s]
        = {std::nullopt, u"not json"_s, u"{\"result\":false,\"errmsg\":\"full\"}"_s};
    LogCapture log;
    handler.AddDropFileToEditor({record(png), record(txt), record(makeFile(u"z.txt"_s, 1))});

    const QStringList added = browser.argsOf(u"AddPicToEditor"_s);
    ASSERT_EQ(added.size(), 3);
    EXPECT_EQ(added.at(0),
              u"{\n\t\"exdata\" : \"{\\\"OrigName_B64\\\":\\\"57qiLnBuZw==\\\"}\",\n"
              "\t\"picpath\" : \"../userdata\\\\attachment\\\\"_s
                  + md5Png + u".png\",\n\t\"strData\" : \"userdata\\\\attachment\\\\"_s + md5Png
                  + u".png\",\n\t\"type\" : \"png\"\n}\n"_s);
    EXPECT_EQ(log.lines(),
              (Lines{u"添加附件到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！"_s,
                     u"添加附件到笔记编辑器，解析js返回json字符串失败！"_s,
                     u"添加附件到笔记编辑器，错误信息：full"_s}));

    // Sizes and times: the picture once, the card file and its thumbnail.
    const auto &sizes = handler.attachFileSizes();
    EXPECT_EQ(sizes.at(md5Png + u".png"_s), quint64(QFileInfo(png).size()));
    EXPECT_EQ(sizes.at(md5Txt + u".txt"_s), 300u);
    const auto &times = handler.GetAttachModifyCache();
    EXPECT_TRUE(times.count(md5Png + u".png红.png"_s));
    EXPECT_TRUE(times.count(md5Txt + u".txtnotes.txt"_s));
    int thumbs = 0;
    for (const auto &[name, size] : sizes) {
        if (name.endsWith(u".bmp"_s)) {
            ++thumbs;
            EXPECT_EQ(size, quint64(QFileInfo(GetAttachRootDir() + u'/' + name).size()));
            EXPECT_TRUE(times.count(name + name));
        }
    }
    EXPECT_EQ(thumbs, 2);
    EXPECT_EQ(sizes.size(), 5u);
}

TEST_F(AddingTest, BackslashNamesAreKeptAndStoreFailuresAreShown)
{
    // An ordinary Linux name: stored under a safe name, the markup keeps the name itself.
    const QString path = makeFile(u"report\\2024.txt"_s, 3);
    handler.AddDropFileToEditor({record(path)});
    EXPECT_EQ(addedNames(browser), QStringList{u"report\\2024.txt"_s});
    EXPECT_EQ(readBytes(GetAttachRootDir() + u'/' + handler.GetCurNoteGuid()
                        + u"/report\uFF3C2024.txt"_s),
              "xxx");
    EXPECT_EQ(prompts.messages(), QStringList{});

    // A full store: the user is told which file and why, and the page gets nothing.
    const auto restore = qScopeGuard([] { Internal::setWriteCallForTesting(nullptr); });
    Internal::setWriteCallForTesting([](int, const void *, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    handler.AddDropFileToEditor({record(makeFile(u"a.txt"_s, 4))});
    EXPECT_EQ(prompts.messages(),
              QStringList{u"附件未能添加：\u201Ca.txt\u201D (No space left on device)"_s});
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);
}

TEST_F(AddingTest, ListStopsAtTheFirstFileInUseOrInvalid)
{
    const QString first = makeFile(u"1.txt"_s, 4, '1');
    const QString second = makeFile(u"2.txt"_s, 4, '2');
    const QString third = makeFile(u"3.txt"_s, 4, '3');

    const int fd = ::open(QFile::encodeName(second).constData(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    handler.InsertLocalFile({first, second, third});
    ::close(fd);
    EXPECT_EQ(addedNames(browser), QStringList{u"1.txt"_s});
    EXPECT_EQ(prompts.messages(), QStringList{u"不能添加正在编辑的文件作为附件！"_s});

    // A record lock counts too.
    const int rfd = ::open(QFile::encodeName(third).constData(), O_RDWR);
    struct flock lock = {.l_type = F_RDLCK, .l_whence = SEEK_SET, .l_start = 0, .l_len = 0};
    ASSERT_EQ(::fcntl(rfd, F_SETLK, &lock), 0);
    EXPECT_EQ(DropFiles::CheckExclusiveOpen(third), DropFiles::OpenInUse);
    ::close(rfd);
    EXPECT_EQ(DropFiles::CheckExclusiveOpen(third), DropFiles::OpenOk);

    prompts.clear();
    const QString missing = dir.filePath(u"gone.txt"_s);
    handler.InsertLocalFile({missing, third});
    handler.InsertLocalFile({dir.path()});
    EXPECT_EQ(prompts.messages(),
              (QStringList{u"无效文件路径:"_s + missing, u"无效文件路径:"_s + dir.path()}));
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);

    // The dialog: chosen files in its order; cancelling adds nothing.
    prompts.clear();
    prompts.answerPaths({second, third});
    handler.OnAddAttachment();
    handler.OnAddAttachment();
    EXPECT_EQ(addedNames(browser), (QStringList{u"1.txt"_s, u"2.txt"_s, u"3.txt"_s}));
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown().at(1).kind, RecordingPrompts::Shown::OpenFiles);
}

TEST_F(AddingTest, DragsOfFilesAndImagesAreTakenOthersGoToThePage)
{
    const QString file = makeFile(u"d.txt"_s, 8);
    QDir().mkpath(dir.filePath(u"sub"_s));
    Qt::DropActions effect = Qt::CopyAction;

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.filePath(u"sub"_s)),
                   QUrl(u"https://example.org/x.txt"_s)});
    EXPECT_EQ(handler.OnDragEnter(&files, {}, {}, effect), S_OK);
    ASSERT_EQ(handler.dropFiles().size(), 2u);
    EXPECT_EQ(handler.dropFiles().at(1).displayName, u"sub"_s);
    EXPECT_EQ(handler.dropFiles().at(1).fileExt, u"dir"_s);
    EXPECT_EQ(handler.OnDragOver({}, {}, effect), S_OK);
    EXPECT_EQ(handler.OnDrop(&files, {}, {}, effect), S_OK);
    EXPECT_EQ(addedNames(browser), QStringList{u"d.txt"_s});
    EXPECT_EQ(prompts.messages(), QStringList{Folder});

    // An image leaves a temporary JPEG even when the drag leaves without a drop.
    QMimeData picture;
    picture.setData(u"image/png"_s, pngBytes(filledImage(5, 5, Qt::blue)));
    EXPECT_EQ(handler.OnDragEnter(&picture, {}, {}, effect), S_OK);
    EXPECT_EQ(handler.OnDragLeave(), S_OK);
    ASSERT_EQ(handler.dropFiles().size(), 1u);
    const DropFileInfo &temp = handler.dropFiles().at(0);
    EXPECT_TRUE(temp.isTemp);
    EXPECT_EQ(temp.fileExt, u"jpg"_s);
    EXPECT_TRUE(temp.srcPath.startsWith(GetTempDirectory()));
    EXPECT_EQ(QImage(temp.srcPath).size(), QSize(5, 5));
    QFile::remove(temp.srcPath);

    QMimeData text;
    text.setText(u"words"_s);
    EXPECT_EQ(handler.OnDragEnter(nullptr, {}, {}, effect), E_NOTIMPL);
    EXPECT_EQ(handler.OnDragEnter(&text, {}, {}, effect), E_NOTIMPL);
    EXPECT_TRUE(handler.dropFiles().empty());
    EXPECT_EQ(handler.OnDrop(&text, {}, {}, effect), E_NOTIMPL);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);
}

TEST_F(AddingTest, ReadOnlyEditorRefusesEveryWay)
{
    handler.SetReadOnly(1);
    ASSERT_EQ(handler.IsReadOnly(), 1);
    const QString file = makeFile(u"r.txt"_s, 8);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file)});
    Qt::DropActions effect = Qt::CopyAction;

    EXPECT_EQ(handler.OnDragEnter(&files, {}, {}, effect), 1);
    EXPECT_EQ(handler.OnDragEnter(nullptr, {}, {}, effect), 1);
    handler.AddDropFileToEditor({record(file)});
    handler.InsertLocalFile({file});
    prompts.answerPaths({file});
    handler.OnAddAttachment();

    EXPECT_TRUE(browser.argsOf(u"AddPicToEditor"_s).isEmpty());
    EXPECT_TRUE(prompts.shown().empty());
}

const QByteArray EmptyLayout
    = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000172\r\n"
      "StartFragment:00000111\r\nEndFragment:00000136\r\n<html><body>\r\n"
      "<!--StartFragment -->\r\n\r\n<!--EndFragment-->\r\n</body>\r\n</html>";
const QString HtmlFormat = u"application/x-qt-windows-mime;value=\"HTML Format\""_s;

TEST(ClipboardLayout, HtmlFormatAndFileListBytesAndFragmentOffsetsOutOfPlace)
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

    // Fragment offsets out of place.
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

TEST(ClipboardFormats, EachWriteReplacesTheClipboardAndReadsBackAndKeysRouteInOrder)
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

    // The editor's keys are routed in table order.
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
    auto *listed = new QMimeData;
    listed->setUrls({QUrl::fromLocalFile(u"/tmp/x/../a.txt"_s)});
    QGuiApplication::clipboard()->setMimeData(listed);
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

using PasteLimit = AppFolderTest;

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
