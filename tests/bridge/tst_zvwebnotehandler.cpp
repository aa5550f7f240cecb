// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The handler without a page: adding files (drops, the file dialog, pasted files), the editor's
// keys on the clipboard and what a paste refuses, the handler's calls into the page and the
// page's commands, with a browser that has no page.
#include "attach/dropfiles_p.h"
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "bridge/editorevents.h"
#include "bridge/zvwebnotehandler.h"
#include "clipboard/clipboardformats_p.h"
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "common/uilanguage.h"
#include "editorhost.h"
#include "fakebrowser.h"
#include "logcapture.h"
#include "notefixtures.h"
#include "notehtml/attachmarkup_p.h"
#include "recordingprompts.h"
#include "skin/hresult.h"
#include "store/storecheck.h"
#include "store/storecleanup.h"
#include "storenotebook.h"
#include "testhelpers.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
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
    using ZvWebNoteHandler::Format;
    using ZvWebNoteHandler::OnDragEnter;
    using ZvWebNoteHandler::OnDragLeave;
    using ZvWebNoteHandler::OnDragOver;
    using ZvWebNoteHandler::OnDrop;
    using ZvWebNoteHandler::OnExecuteFun;
    using ZvWebNoteHandler::OnGetFunId;

    // Runs a page command as the browser delivers it: arguments last first.
    long command(const QString &name, const QString &json, const QString &exdata = QString())
    {
        QVariant result;
        return OnExecuteFun(1, {exdata, json, name}, result, QString());
    }
};

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
    browser.html.clear();
    const DropFileInfo tooLarge = record(makeFile(u"big.dat"_s, 10485761));
    const std::pair<QString, QString> languages[] = {
        {u"en_GB"_s, u"A note can hold at most 10 MB of attachments."_s}, {u"zh_TW"_s, TooLarge}};
    for (const auto &[locale, shown] : languages) {
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

TEST_F(AddingTest, PipesDevicesAndUnopenableFilesAreRefusedByNameWithoutWaiting)
{
    const QString file = makeFile(u"ok.txt"_s, 5);
    const QString pipe = dir.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString loop = dir.filePath(u"loop"_s);
    ASSERT_TRUE(QFile::link(loop, loop));
    const QList<QUrl> urls = {QUrl::fromLocalFile(pipe), QUrl::fromLocalFile(file),
                              QUrl::fromLocalFile(loop), QUrl::fromLocalFile(u"/dev/null"_s)};
    // Dropped: the pipe has no writer, so a blocking open would never return.
    QMimeData dropped;
    dropped.setUrls(urls);
    Qt::DropActions effect = Qt::CopyAction;
    LogCapture log;
    EXPECT_EQ(handler.OnDragEnter(&dropped, {}, {}, effect), S_OK);
    EXPECT_EQ(handler.OnDrop(&dropped, {}, {}, effect), S_OK);
    EXPECT_EQ(addedNames(browser), QStringList{u"ok.txt"_s});
    const QString notRegular = u"Only regular files can be attached; not attached: \u201C"_s + pipe
        + u"\u201D, \u201C/dev/null\u201D"_s;
    const QString unopenable
        = u"These files cannot be opened and were not attached: \u201C"_s + loop + u"\u201D"_s;
    EXPECT_EQ(prompts.messages(), (QStringList{notRegular, unopenable}));
    EXPECT_EQ(log.lines(), (Lines{u"[MESSAGE] "_s + notRegular, u"[MESSAGE] "_s + unopenable}));

    // Pasted, in Chinese: the same refusals.
    EXPECT_EQ(UiLanguage::Set(u"zh_CN"_s), u"zh_CN"_s);
    const auto reset = qScopeGuard([] { UiLanguage::Reset(); });
    prompts.clear();
    auto *listed = new QMimeData;
    listed->setUrls(urls);
    QGuiApplication::clipboard()->setMimeData(listed);
    EXPECT_EQ(handler.DoCtrlV(), S_OK);
    EXPECT_EQ(prompts.messages(),
              (QStringList{u"只能添加普通文件，未添加：\u201C"_s + pipe
                               + u"\u201D, \u201C/dev/null\u201D"_s,
                           u"以下文件无法打开，未添加：\u201C"_s + loop + u"\u201D"_s}));
    EXPECT_EQ(addedNames(browser), (QStringList{u"ok.txt"_s, u"ok.txt"_s}));
    EXPECT_EQ(DropFiles::ProbeFile(pipe), DropFiles::Probe::NotRegular);
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
    // Control pressed again while they are held (its event late on a busy machine) copies
    // nothing more.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_Control), E_NOTIMPL);
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

// Asked before a key press whether the key is a shortcut, the hook claims exactly the keys whose
// press it will take, so the browser keeps no edit command of its own for them; asking acts on
// nothing.
TEST(KeyHook, TheShortcutQuestionClaimsExactlyTheKeysTheHookTakes)
{
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    const auto claims = [&](int key) {
        return handler.key(QEvent::ShortcutOverride, key) == S_OK;
    };
    WriteClipboardHtml("<p>plain</p>");
    EXPECT_FALSE(claims(Qt::Key_V)) << "plain HTML is the browser's to paste";
    WriteClipboardHtml(
        R"(<img class="userdata\attachment\0123.bin" zv_exdata='{"OrigName_B64":"YS5iaW4="}'>)");
    EXPECT_TRUE(claims(Qt::Key_V));
    for (const int key : {Qt::Key_D, Qt::Key_O, Qt::Key_P, Qt::Key_N})
        EXPECT_TRUE(claims(key)) << key;
    for (const int key : {Qt::Key_C, Qt::Key_F, Qt::Key_A})
        EXPECT_FALSE(claims(key)) << key;
    EXPECT_EQ(handler.key(QEvent::ShortcutOverride, Qt::Key_V, Qt::NoModifier), E_NOTIMPL);
    handler.SetReadOnly(1);
    EXPECT_FALSE(claims(Qt::Key_V));
    EXPECT_FALSE(claims(Qt::Key_D));
    EXPECT_TRUE(claims(Qt::Key_O));
    QCoreApplication::processEvents();
    EXPECT_EQ(browser.functions, QStringList(u"jsProcessor"_s)) << "only the read-only switch";
}

// Answers as RecordingPrompts does, while a modal window holds the focus as a message box
// would: the releases of the keys still down go to it.
struct ModalPrompts : RecordingPrompts
{
    QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text,
                                           const QString &title,
                                           QMessageBox::StandardButtons buttons) override
    {
        QDialog modal;
        modal.setModal(true);
        modal.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&modal));
        return RecordingPrompts::messageBox(parent, text, title, buttons);
    }
};

TEST(ClipboardFormats, KeysReleasedInAModalMessageBoxAreNotHeldAfterIt)
{
    ModalPrompts prompts;
    FakeBrowser browser;
    Keys handler;
    handler.SetIEWebBrowser(&browser);
    handler.SetCurNoteGuid(CreateGuidString());
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder"_s));
    auto *listed = new QMimeData;
    listed->setUrls({QUrl::fromLocalFile(dir.filePath(u"folder"_s))});
    QGuiApplication::clipboard()->setMimeData(listed);

    using P = QEvent::Type;
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), S_OK);
    EXPECT_EQ(prompts.messages(), QStringList{Folder});
    // Control and V were let go in the message box; Control is pressed again with A, then O.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_Control), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_A), E_NOTIMPL);
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_O), S_OK);
    EXPECT_EQ(prompts.messages(), QStringList{Folder}) << "no paste after the message box";
    // Keys held in this window still count: O and V together are V.
    EXPECT_EQ(handler.key(P::KeyPress, Qt::Key_V), S_OK);
    EXPECT_EQ(prompts.messages(), (QStringList{Folder, Folder}));
}

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
        file.close();
        WriteClipboardHtml(attachment.toUtf8());
        RecordingPrompts prompts;
        EXPECT_EQ(handler.click(Qt::Key_V), S_OK) << "the editor pastes, once the key is handled";
        EXPECT_EQ(prompts.messages(), QStringList()) << "nothing happens inside the key hook";
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return !prompts.messages().isEmpty() || !browser.argsOf(u"PasteHtml"_s).isEmpty();
        }));
        const QStringList added = QDir(m_root + u"note"_s).entryList(QDir::Files);
        if (size > 10485760) {
            EXPECT_EQ(prompts.messages(), QStringList(u"最大支持上传10M附件！"_s));
            EXPECT_EQ(added, QStringList(u"a.bin"_s));
            EXPECT_EQ(browser.argsOf(u"PasteHtml"_s), QStringList());
        } else {
            EXPECT_EQ(prompts.messages(), QStringList());
            EXPECT_EQ(added, QStringList(u"a.bin"_s)) << "the note's own file is not copied";
            EXPECT_EQ(handler.attachFileSizes().size(), 3u) << "a.bin, now by content, its card";
            const QString html
                = QJsonDocument::fromJson(browser.argsOf(u"PasteHtml"_s).value(0).toUtf8())
                      .object()
                      .value(u"html"_s)
                      .toString();
            const QString shown = uR"(\.\./userdata\\attachment\\[0-9a-f]{32}\.bmp)"_s;
            EXPECT_TRUE(matches(
                uR"(<!--StartFragment -->\r\n<img class="userdata\\attachment\\)"_s
                    + CalcFileMd5(file.fileName())
                    + uR"(\.bin" zv_exdata="\{&quot;OrigName_B64&quot;:&quot;YS5iaW4=&quot;\}" src="%1" data-ke-src="%1" zvimgsrc="%1">\r\n)"_s
                          .arg(shown),
                html))
                << html.toStdString();
        }
    }
}

using Events = std::vector<QEvent::Type>;

// Records the cache-clearing events a widget receives.
struct EventRecorder : QObject
{
    explicit EventRecorder(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == ClearEditorCacheEvent)
            seen.push_back(event->type());
        return false;
    }
    Events seen;
};

class HandlerTest : public ::testing::Test
{
protected:
    HandlerTest()
    {
        handler.SetIEWebBrowser(&browser);
        handler.SetNotify(&host);
    }
    FakeBrowser browser;
    EventRecorder innerEvents{&browser.inner};
    Handler handler;
    EditorHost host;
};

// ---- calls into the page -------------------------------------------------------------

const QVariant Refused = u"{\"result\":false,\"errmsg\":\"忙 busy\"}"_s;

// The replies a page call can get, each with the log line it leaves (an index into
// CallCase::lines; -1: none). An empty optional fails the call itself.
const std::pair<std::optional<QVariant>, int> Replies[]
    = {{QVariant(u"{\"result\":true,\"errmsg\":\"\",\"ehtml\":\"<p>中\\\"</p>\","
                 u"/* comment */ \"etext\":\"中\\\"\"}"_s),
        -1},
       {Refused, 2},
       {QVariant(u"result=true"_s), 1},
       {QVariant(QString()), 1},
       {QVariant(1), 1},
       {std::nullopt, 0}};

struct CallCase
{
    QString method;
    QString argText;
    std::function<int(ZvWebNoteHandler &)> run; // the call's result, -1 when it has none
    Lines lines; // call failed, bad reply, refused
};

Lines linesOf(const QString &prefix, const QString &refused)
{
    return {prefix + u"，js方法调用失败！，ErrMsg:unknow error ！"_s,
            prefix + u"，解析js返回json字符串失败！"_s, refused + u"忙 busy"_s};
}

std::vector<CallCase> callCases()
{
    StTableData table{1, 1, {{{u"s"_s, u"v"_s, u"9"_s}}}};
    return {
        {u"SetEditorMode"_s, u"{\"readonly\":true }"_s,
         [](ZvWebNoteHandler &h) { return h.SetReadOnly(1), -1; },
         linesOf(u"设置笔记编辑器只读模式"_s, u"设置笔记编辑器只读模式失败，错误信息："_s)},
        {u"SetEditorMaxChars"_s, u"{\"size\":10000 }"_s,
         [](ZvWebNoteHandler &h) { return h.SetEditorMaxChars(10000), -1; },
         linesOf(u"设置笔记编辑器最大字符数"_s, u"设置笔记编辑器最大字符数失败，错误信息："_s)},
        {u"SetEditorContent"_s, u"<p class=\"a\">中\\</p>"_s,
         [](ZvWebNoteHandler &h) { return h.SetEditorHtml(u"<p class=\"a\">中\\</p>"_s), -1; },
         linesOf(u"设置笔记编辑器内容"_s, u"设置笔记编辑器内容失败，错误信息："_s)},
        {u"GetEditorContent"_s, u"{}"_s,
         [](ZvWebNoteHandler &h) {
             QString html = u"old"_s, text = u"old"_s;
             const int ok = h.GetEditorContent(html, text);
             EXPECT_EQ(html, ok ? u"<p>中\"</p>"_s : u"old"_s);
             EXPECT_EQ(text, ok ? u"中\""_s : u"old"_s);
             return ok;
         },
         linesOf(u"[ERROR] 获取笔记编辑器内容"_s, u"[ERROR] 获取笔记编辑器内容失败，错误信息："_s)},
        {u"SelectedAttach"_s, u"{\"keyword\":\"ab12.png报告\"}"_s,
         [](ZvWebNoteHandler &h) { return h.SelectedAttach(u"ab12.png报告"_s); },
         linesOf(u"选中笔记附件失败"_s, u"选中笔记附件失败，错误信息："_s)},
        {u"ModifyAttachAtrr"_s,
         u"{\"zv_exdata\":{\"OrigName_B64\":\"5oql5ZGKLmRvY3g=\"},"
         u"\"ClassValue\":\"userdata\\\\attachment\\\\new.docx\",\"SrcValue\":\"../\\\"t\\\".bmp\"}"_s,
         [](ZvWebNoteHandler &h) {
             return h.UpdateHtmlAttachAttr(u"报告.docx"_s, u"userdata\\attachment\\new.docx"_s,
                                           u"../\"t\".bmp"_s);
         },
         linesOf(u"[ERROR] 修改附件class属性值失败"_s,
                 u"[ERROR] 修改附件class属性值失败，错误信息："_s)},
        {u"InsertTable"_s,
         u"{\n\t\"colNum\" : 1,\n\t\"rowList\" : \n\t[\n\t\t{\n\t\t\t\"colList\" : \n\t\t\t[\n"
         u"\t\t\t\t{\n\t\t\t\t\t\"style\" : \"s\",\n\t\t\t\t\t\"value\" : \"v\",\n"
         u"\t\t\t\t\t\"width\" : \"9\"\n\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n\t\"rowNum\" : 1\n}\n"_s,
         [table](ZvWebNoteHandler &h) { return h.InsertTable(table), -1; },
         linesOf(u"添加构建信息到笔记编辑器"_s, u"添加构建信息到笔记编辑器，错误信息："_s)}};
}

} // namespace

TEST(HandlerCalls, EveryCallSendsItsTextLogsEachKindOfFailureAndFormatsScriptValues)
{
    for (const CallCase &call : callCases()) {
        for (const auto &[reply, line] : Replies) {
            SCOPED_TRACE(call.method.toStdString() + " reply "
                         + reply.value_or(u"none"_s).toString().toStdString());
            FakeBrowser page;
            Handler handler;
            handler.SetIEWebBrowser(&page);
            page.replies[call.method].push_back(reply);
            LogCapture log;

            const int result = call.run(handler);

            EXPECT_EQ(page.functions, QStringList{u"jsProcessor"_s});
            EXPECT_EQ(page.calls, (std::vector<QVariantList>{{call.method, call.argText}}));
            EXPECT_EQ(log.lines(), line < 0 ? Lines{} : Lines{call.lines[size_t(line)]});
            const bool accepted = line < 0;
            if (result != -1)
                EXPECT_EQ(result, accepted ? 1 : 0);
            EXPECT_EQ(handler.IsReadOnly(), call.method == u"SetEditorMode" && accepted);
            EXPECT_EQ(handler.editorMaxChars(),
                      call.method == u"SetEditorMaxChars" && accepted ? 10000 : 3000);
        }
    }

    // Format gives each script value its text.
    const std::pair<QVariant, QString> values[]
        = {{QVariant(), u""_s},
           {QVariant::fromValue(nullptr), u""_s},
           {QVariant::fromValue(short(-3)), u"-3"_s},
           {QVariant(-7), u"-7"_s},
           {QVariant(2147483647), u"2147483647"_s},
           {QVariant(4294967295u), u"-1"_s},
           {QVariant(qlonglong(0x100000005LL)), u"5"_s},
           {QVariant(qulonglong(0x180000000ULL)), u"-2147483648"_s},
           {QVariant(1.5f), u"1.5000"_s},
           {QVariant(1.5), u"1.50000000"_s},
           {QVariant(QDateTime(QDate(2024, 2, 3), QTime(4, 5, 6))), u"2024-02-03 04:05:06"_s},
           {QVariant(QDateTime()), u"Invalid DateTime"_s},
           {QVariant(u"中 \"q\" \\"_s), u"中 \"q\" \\"_s},
           {QVariant(false), u"FALSE"_s},
           {QVariant(QByteArray("\xe4\xb8\xad")), u"中"_s},
           {QVariant::fromValue<signed char>(5), u"UN_KNOW"_s},
           {QVariant(QVariantList{1}), u"UN_KNOW"_s},
           {QVariant(QChar(u'x')), u"UN_KNOW"_s}};
    for (const auto &[value, text] : values)
        EXPECT_EQ(Handler::Format(value), text) << "for " << value.typeName();
}

// Content replies are read straight from the page's wide text; what that reader does not take
// (comments, trailing commas, lone surrogates, raw control characters, text after the object)
// is read as before.
TEST_F(HandlerTest, RepliesGiveTextsExactlyMessagesClearTheCacheAndOnlyChangesAreSent)
{
    QString big;
    while (big.size() < 1 << 20)
        big += u"<p>note \"中文\" \\ text</p>\n"_s;
    const QByteArray quoted = QJsonDocument(QJsonArray{big}).toJson(QJsonDocument::Compact);
    const QString bigJson = QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
    const QString lone = u"<"_s + QChar(0xd800) + u">"_s;
    const struct
    {
        QString reply;
        int ok;
        QString html, text;
    } cases[] = {
        {uR"({"result":true,"ehtml":"a\"b\\c\/d\b\f\n\r\t\u00e9\uD83D\ude00中😀","etext":"t"})"_s, 1,
         u"a\"b\\c/d\b\f\n\r\t\u00e9\U0001F600中\U0001F600"_s, u"t"_s},
        {uR"({"ehtml":"first","result":true,"ehtml":"second","etext":12})"_s, 1, u"second"_s,
         u"12"_s},
        {uR"({"ehtml":"first","result":1,"ehtml":["x"],"etext":true})"_s, 1, QString(), u"true"_s},
        {uR"( { "n" : {"a":[1,-2.5e3,{"b":null}],"ehtml":"in"} , "result" : true , "ehtml" : "" } )"_s,
         1, QString(), QString()},
        {uR"({"result":true,"ehtml":"x",})"_s, 1, u"x"_s, QString()},
        {uR"({"result":true,"ehtml":"x"} tail)"_s, 1, u"x"_s, QString()},
        {uR"({"result":true,"ehtml":"a)"_s + QChar(1) + uR"(b"})"_s, 1, u"a\u0001b"_s, QString()},
        {uR"({"result":true,"ehtml":"\ud800x"})"_s, 0, u"old"_s, u"old"_s},
        {uR"({"result":true,"ehtml":")"_s + lone + uR"("})"_s, 1, u"<\uFFFD>"_s, QString()},
        {uR"({"result":true,"ehtml":"x")"_s, 0, u"old"_s, u"old"_s},
        {uR"({"result":false,"ehtml":"x"})"_s, 0, u"old"_s, u"old"_s},
        {u"{\"result\":true,\"etext\":\"t\",\"ehtml\":"_s + bigJson + u'}', 1, big, u"t"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.left(80).toStdString());
        browser.replies[u"GetEditorContent"_s].push_back(QVariant(c.reply));
        QString html = u"old"_s, text = u"old"_s;
        EXPECT_EQ(handler.GetEditorContent(html, text), c.ok);
        EXPECT_EQ(html, c.html);
        EXPECT_EQ(text, c.text);
    }

    // Forwarded messages clear the cache or copy, and nothing else.
    browser.calls.clear();
    LogCapture log;
    browser.replies[u"ClearEditorCache"_s].push_back(std::nullopt);
    handler.WinMessageNotify(nullptr, 2258, 0, 0); // a failed call has no line of its own
    handler.WinMessageNotify(nullptr, 2258, 0, 0);
    handler.WinMessageNotify(nullptr, 8004, 0, 0);
    for (int other : {0, 8, 2224, 2257, 2259, 8003, 8005})
        handler.WinMessageNotify(nullptr, other, 1, 1);

    const QVariantList clear{u"ClearEditorCache"_s, QString()};
    EXPECT_EQ(browser.calls, (std::vector<QVariantList>{clear, clear}));
    EXPECT_EQ(log.lines(), Lines{});

    browser.calls.clear();
    handler.SetReadOnly(0); // already writable
    EXPECT_EQ(handler.SelectedAttach(QString()), 0); // nothing to select
    EXPECT_TRUE(browser.calls.empty());

    browser.replies[u"SetEditorMode"_s].push_back(Refused);
    handler.SetReadOnly(7);
    handler.SetReadOnly(7); // the refusal left the mode as it was, so this is sent again
    handler.SetReadOnly(7); // accepted before: nothing to send
    handler.SetReadOnly(0);
    ASSERT_EQ(browser.calls.size(), 3u);
    EXPECT_EQ(browser.calls[1].value(1), u"{\"readonly\":true }"_s);
    EXPECT_EQ(browser.calls[2].value(1), u"{\"readonly\":false }"_s);
    EXPECT_EQ(handler.IsReadOnly(), 0);

    // A table without rows or cells keeps its shape.
    browser.calls.clear();
    StTableData table{3, 0, {}};
    handler.InsertTable(table);
    table.rowNum = 2;
    table.rowList = {{}, {{u"<b>"_s, u"中\"\\"_s, u""_s}}};
    handler.InsertTable(table);

    ASSERT_EQ(browser.calls.size(), 2u);
    EXPECT_EQ(browser.calls[0].value(1), u"{\n\t\"colNum\" : 3,\n\t\"rowNum\" : 0\n}\n"_s);
    // The writer escapes non-ASCII text; the page reads the same characters back.
    EXPECT_EQ(browser.calls[1].value(1),
              u"{\n\t\"colNum\" : 3,\n\t\"rowList\" : \n\t[\n\t\tnull,\n\t\t{\n"
              u"\t\t\t\"colList\" : \n\t\t\t[\n\t\t\t\t{\n\t\t\t\t\t\"style\" : \"<b>\",\n"
              u"\t\t\t\t\t\"value\" : \"\\u4e2d\\\"\\\\\",\n\t\t\t\t\t\"width\" : \"\"\n"
              u"\t\t\t\t}\n\t\t\t]\n\t\t}\n\t],\n\t\"rowNum\" : 2\n}\n"_s);
}

TEST_F(HandlerTest, SizesKeepTheFirstValueTimesAreKeyedByBothNamesAndNewContentEmptiesBoth)
{
    for (const QString &html : {u"<p>x</p>"_s, QString()}) {
        handler.InitAttachFileSize({{u"a.png"_s, 10}});
        handler.RecordAttachModifyTime(u"a.png"_s, u"a.png"_s, u"2024-01-01 00:00:00"_s);
        browser.calls.clear();

        handler.SetEditorHtml(html);

        EXPECT_TRUE(handler.attachFileSizes().empty());
        EXPECT_TRUE(handler.GetAttachModifyCache().empty());
        EXPECT_EQ(browser.calls, (std::vector<QVariantList>{{u"SetEditorContent"_s, html}}));
        // Posted, so delivered only once the event loop runs after the call.
        EXPECT_TRUE(innerEvents.seen.empty());
        QCoreApplication::sendPostedEvents(&browser.inner);
        EXPECT_EQ(innerEvents.seen, Events{ClearEditorCacheEvent});
        innerEvents.seen.clear();
    }

    handler.InitAttachFileSize({{u"a.png"_s, 5}, {u"b.png"_s, 0}});
    handler.InitAttachFileSize({{u"a.png"_s, 9}, {u"A.png"_s, 7}});
    EXPECT_EQ(handler.attachFileSizes(),
              (std::map<QString, quint64>{{u"A.png"_s, 7}, {u"a.png"_s, 5}, {u"b.png"_s, 0}}));

    handler.RecordAttachModifyTime(u"ab.png"_s, u"x.png"_s, u"2024-01-01 00:00:00"_s);
    handler.RecordAttachModifyTime(u"ab.pn"_s, u"gx.png"_s, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(handler.GetAttachModifyCache(),
              (std::map<QString, QString>{{u"ab.pngx.png"_s, u"2024-01-03 00:00:00"_s}}));

    // The cached key; the same key without an original name; a file without a cached time.
    std::vector<NewAttachFile> files(3);
    files[0].storeName = files[2].storeName = u"ab.png"_s;
    files[0].origName = u"x.png"_s;
    files[1].storeName = u"ab.pngx.png"_s;
    ZvWebNoteHandler::UpdateAttModifyTimeField(u"ignored"_s, files, handler.GetAttachModifyCache());
    EXPECT_EQ(files[0].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_EQ(files[1].modifyTime, u"2024-01-03 00:00:00"_s);
    EXPECT_TRUE(matches(u"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}"_s, files[2].modifyTime))
        << files[2].modifyTime.toStdString();
}

// ---- page commands -------------------------------------------------------------------

TEST_F(HandlerTest, CommandsNeedIdOneThreeArgumentsAndJsonAndUnknownOnesStayQuiet)
{
    RecordingPrompts prompts;
    LogCapture log;
    EXPECT_EQ(handler.OnGetFunId(u"CppProcessor"_s), 1);
    for (const QString &name : {u"cppprocessor"_s, u"CppProcessor "_s, QString()})
        EXPECT_EQ(handler.OnGetFunId(name), -1) << name.toStdString();
    QVariant result;
    const QString json = u"{\"msg\":\"x\"}"_s;
    EXPECT_EQ(handler.OnExecuteFun(2, {u""_s, json, u"ZvMessageBox"_s}, result, {}), -1);
    EXPECT_EQ(handler.OnExecuteFun(1, {}, result, {}), S_OK);
    EXPECT_FALSE(result.isValid());
    for (const QString &name : {u"zvmessagebox"_s, u"DblClickAttachment"_s, u"ScreenCapture"_s,
                                u"ZvMessageBox "_s, QString()})
        handler.command(name, json);
    handler.command(u"AddAttachment"_s, u"{broken"_s); // reads no JSON at all
    handler.command(u"OnRightClickAttach"_s,
                    u"{\"current_attach\":{\"class_value\":\"a\\\\b.png\"},\"range_html\":\"\"}"_s);
    handler.command(u"WriteEditorLog"_s, u"{\"type\":\"info\",\"msg\":\"hi\"}"_s);
    EXPECT_EQ(log.lines(), Lines{u"[ERROR] js调用OnCppProcessor传递参数个数不正确！"_s});
    // Only the file dialog of "AddAttachment" (cancelled).
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown().at(0).kind, RecordingPrompts::Shown::OpenFiles);
    EXPECT_TRUE(browser.calls.empty());

    // Commands with bad JSON log their own line and do nothing.
    for (const QString &command :
         {u"DbClickAttachment"_s, u"OpenHyperLink"_s, u"ZvMessageBox"_s, u"OnRightClickAttach"_s,
          u"WriteEditorLog"_s, u"SreenCapture"_s}) {
        // The double-click command is spelled "DbClick..." although its log line says "DblClick".
        const QString name = command == u"DbClickAttachment" ? u"DblClickAttachment"_s : command;
        for (const QString &text : {u"{\"msg\":"_s, QString(), u"[1]"_s, u"\"text\""_s}) {
            LogCapture badJson;
            EXPECT_EQ(handler.command(command, text), S_OK);
            EXPECT_EQ(badJson.lines(),
                      Lines{u"[ERROR] 解析"_s + name + u"方法，json参数字串失败！"_s})
                << text.toStdString();
        }
    }
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(HandlerTest, CommandsActOnTheirArguments)
{
    RecordingPrompts prompts;
    QGuiApplication::setApplicationDisplayName(u"笔记"_s);
    handler.SetCurNoteGuid(u"n1"_s);
    const QString exdata = ZvWebNoteHandler::FormatOrigNameToJson(u"季度 \"报告\".docx"_s);

    // A path without folders, no readable original name, no path at all.
    handler.command(u"DbClickAttachment"_s, u"{\"path\":\"plain.txt\"}"_s, u"not json"_s);
    handler.command(u"DbClickAttachment"_s, u"{/* no path */}"_s, exdata);
    EXPECT_EQ(host.opened, QStringList({u"n1|plain.txt|"_s, u"n1||季度 \"报告\".docx"_s}));

    // A message box shows the text as given, with the application's title.
    handler.command(u"ZvMessageBox"_s, u"{\"msg\":\"<b>保存</b> \\\"q\\\" \\\\\"}"_s);
    handler.command(u"ZvMessageBox"_s, u"{}"_s);
    EXPECT_EQ(prompts.messages(), (QStringList{u"<b>保存</b> \"q\" \\"_s, QString()}));
    EXPECT_EQ(prompts.shown().at(0).title, u"笔记"_s);
    EXPECT_EQ(prompts.shown().at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

namespace {

// The markup a note pasted into gets for its copy `kept` of a file of `size` bytes: its picture,
// or the card drawn for it at the paste's `time`.
QString pastedElement(const QString &kept, qint64 size, const QString &store, const QString &time)
{
    DropFileInfo info;
    info.keptName = info.displayName = kept;
    MAF_RESULT stored;
    stored.relPath = u"userdata\\attachment\\"_s + store;
    QString shown = store;
    if (!FileClassifier::IsPicFileType(kept)) {
        const QByteArray card = FileThumbnail::drawCard(
            FileClassifier::GetFileTypeByExt(FileClassifier::GetFileStuffx(kept)), kept,
            FileThumbnail::FormatFileInfo(int(size), time));
        shown = md5Hex(card) + u".bmp"_s;
    }
    stored.showSrc = u"../userdata\\attachment\\"_s + shown;
    return AttachAdder::AttachmentMarkup(info, stored);
}

QString minute()
{
    return QDateTime::currentDateTime().toString(u"yyyy/MM/dd HH:mm"_s);
}

} // namespace

// A paragraph copied from note a and pasted twice into note b, which has a doc.pdf of its own:
// b gets its own copy of every file under the same-name rule, the pasted markup names b's
// copies, a name leaving the store is left out, and once a is deleted a clean-up leaves b whole.
TEST_F(StoreTest, PastedAttachmentsAreCopiedIntoTheTargetAndOutliveTheSource)
{
    const QByteArray picture = pngBytes(filledImage(6, 4, Qt::green));
    const Added pic = attach(a, u"pic.png"_s, picture);
    const Added pdf = attach(a, u"doc.pdf"_s, "%PDF-1.4 doc");
    const Added txt = attach(a, u"notes.txt"_s, "notes");
    const Added own = attach(b, u"doc.pdf"_s, "%PDF-1.4 b's own");
    const QString source = u"<p>Trip "_s + pic.element + pdf.element + txt.element;
    const QString sourceFile = save(source + u"</p>"_s);
    const QString climbing = u"<img class=\"userdata\\attachment\\"_s + txt.store
        + u"\" zv_exdata='"_s + AttachMarkup::FormatOrigNameToJson(u".."_s) + u"'>"_s;
    ASSERT_TRUE(WriteClipboardHtml((source + climbing + u"</p>"_s).toUtf8()));

    FakeBrowser browser;
    browser.html = own.element;
    ZvWebNoteHandler target;
    target.SetIEWebBrowser(&browser);
    target.SetCurNoteGuid(b);
    target.InitAttachFileSize({{own.store, 16}, {own.show, 1000}});
    const auto paste = [&](const QString &pdfName) {
        const QString before = minute();
        EXPECT_EQ(target.DoCopyClipboardHtml(), S_OK);
        const QStringList sent = browser.argsOf(u"PasteHtml"_s);
        const QString html = QJsonDocument::fromJson(sent.value(sent.size() - 1).toUtf8())
                                 .object()
                                 .value(u"html"_s)
                                 .toString();
        // The cards are drawn at the paste's minute, which may have turned meanwhile.
        const QString time
            = html.contains(pastedElement(pdfName, 12, pdf.store, before)) ? before : minute();
        // The clipboard's layout starts its fragment with a comment, which the page drops.
        EXPECT_EQ(html,
                  u"<!--StartFragment -->\r\n<p>Trip "_s
                      + pastedElement(u"pic.png"_s, picture.size(), pic.store, time)
                      + pastedElement(pdfName, 12, pdf.store, time)
                      + pastedElement(u"notes.txt"_s, 5, txt.store, time) + u"</p>\r\n"_s);
        browser.html += html; // the page now shows it
    };
    LogCapture log;
    paste(u"doc(1).pdf"_s);
    EXPECT_EQ(log.lines(),
              Lines{u"[ERROR] Attachment name leaves the attachment folder, skipped: .."_s});
    EXPECT_EQ(QDir(root + b).entryList(QDir::Files),
              QStringList({u"doc(1).pdf"_s, u"doc.pdf"_s, u"notes.txt"_s, u"pic.png"_s}));
    EXPECT_EQ(readBytes(root + b + u"/pic.png"_s), picture);
    EXPECT_EQ(readBytes(root + b + u"/doc(1).pdf"_s), "%PDF-1.4 doc");
    EXPECT_EQ(target.attachFileSizes().size(), 2u + 5u) << "three files and two cards";

    // Pasted again, the files b already keeps are b's own; the other doc.pdf is copied again.
    paste(u"doc(2).pdf"_s);
    const QStringList kept
        = {u"doc(1).pdf"_s, u"doc(2).pdf"_s, u"doc.pdf"_s, u"notes.txt"_s, u"pic.png"_s};
    EXPECT_EQ(QDir(root + b).entryList(QDir::Files), kept);

    // Note a is deleted: only b is live, and the clean-up takes a's files, not b's.
    const std::vector<LiveNote> live = {{b, save(browser.html)}};
    age();
    const QStringList removed = named(StoreCleanup::Remove(live).items);
    EXPECT_TRUE(removed.contains(u"note-folder "_s + a)) << removed.join(u'\n').toStdString();
    EXPECT_TRUE(removed.contains(u"note-file "_s + sourceFile));
    EXPECT_EQ(QDir(root + b).entryList(QDir::Files), kept);
    EXPECT_EQ(named(StoreCheck::Run(live)), QStringList());
}
