// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The open note's state and the page's calls: the one writer of page JSON, the bookkeeping of
// stored files, and an addition that reads the page once and inserts its files in one call.
#include "attach/attachadder_p.h"
#include "bridge/zvwebnotehandler.h"
#include "common/commonutils.h"
#include "fakebrowser.h"
#include "logcapture.h"
#include "recordingprompts.h"
#include "session/editorpage_p.h"
#include "session/notesession_p.h"
#include "session/pagejson_p.h"
#include "testhelpers.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace TAVRIKCORE::RICHEDITOR::Internal;
using namespace Qt::StringLiterals;

namespace {

using Lines = std::vector<QString>;

// The markup the page gives a file kept as `keptName`, stored as <hash>.<ext> with card
// <hash>.bmp.
QString attachment(const QString &hash, const QString &ext, const QString &keptName)
{
    DropFileInfo info;
    info.keptName = keptName;
    MAF_RESULT stored;
    stored.relPath = u"userdata\\attachment\\"_s + hash + u'.' + ext;
    stored.showSrc = u"../userdata\\attachment\\"_s + hash + u".bmp"_s;
    return AttachAdder::AttachmentMarkup(info, stored);
}

} // namespace

TEST(PageJson, WritesEachFormThePageIsSent)
{
    EXPECT_EQ(PageJson().compact(), u"{}"_s);
    EXPECT_EQ(PageJson().flag("readonly", true).spaced(), u"{\"readonly\":true }"_s);
    EXPECT_EQ(PageJson().number("size", -2147483647 - 1).spaced(), u"{\"size\":-2147483648 }"_s);
    // Members stay in the order given; a JSON text member is written as an object.
    EXPECT_EQ(PageJson()
                  .json("zv_exdata", u"{\"OrigName_B64\":\"YQ==\"}"_s)
                  .text("ClassValue", u"userdata\\attachment\\a.png"_s)
                  .flag("on", false)
                  .compact(),
              u"{\"zv_exdata\":{\"OrigName_B64\":\"YQ==\"},"
              "\"ClassValue\":\"userdata\\\\attachment\\\\a.png\",\"on\":false}"_s);
    // Texts keep every character; quotes, controls and the script-breaking separators escaped.
    EXPECT_EQ(PageJson().text("html", u"<p a=\"1\">报告\n\t\u2028</p>"_s).compact(),
              u"{\"html\":\"<p a=\\\"1\\\">报告\\n\\t\\u2028</p>\"}"_s);
    // The indented form: members by name, one a line, text outside ASCII as \u escapes.
    EXPECT_EQ(PageJson().text("type", u"报告"_s).text("picpath", u"p\"q"_s).indented(),
              u"{\n\t\"picpath\" : \"p\\\"q\",\n\t\"type\" : \"\\u62a5\\u544a\"\n}\n"_s);
}

TEST(NoteSession, RecordsEachStoredFileOnceAndReplacedOnesAnew)
{
    NoteSession session;
    session.recordStored(u"ab.txt"_s, u"a.txt"_s, 10);
    session.recordStored(u"ab.txt"_s, u"b.txt"_s, 99); // the same content stored again
    session.recordStored(QString(), u"c.txt"_s, 5);
    EXPECT_EQ(session.sizes(), (std::map<QString, quint64>{{u"ab.txt"_s, 10}}));
    ASSERT_EQ(session.times().size(), 1u);
    EXPECT_EQ(session.times().begin()->first, u"ab.txta.txt"_s);

    session.recordReplaced(u"ab.txt"_s, u"a.txt"_s, 20, u"cd.bmp"_s, 7, u"2026/01/02 03:04"_s);
    EXPECT_EQ(session.sizes(), (std::map<QString, quint64>{{u"ab.txt"_s, 10}, {u"cd.bmp"_s, 7}}))
        << "a size already known stays";
    EXPECT_EQ(session.times(),
              (std::map<QString, QString>{{u"ab.txta.txt"_s, u"2026/01/02 03:04"_s},
                                          {u"cd.bmp"_s, u"2026/01/02 03:04"_s}}));
    session.clearFiles();
    EXPECT_TRUE(session.sizes().empty());
    EXPECT_TRUE(session.times().empty());
}

TEST(NoteSession, AnswersBothChecksOfAnAdditionFromOneMarkup)
{
    const QString hash = u"0123456789abcdef0123456789abcdef"_s;
    const QString html
        = u"<p>x</p>"_s + attachment(hash, u"docx"_s, u"报告.docx"_s) + u"<p>  </p>"_s;
    NoteSession session;
    session.setNoteId(CreateGuidString());
    session.addSizes({{hash + u".docx"_s, 11}, {hash + u".bmp"_s, 6}});
    session.addSizes({{hash + u".docx"_s, 500}}); // present: kept

    const std::optional<NoteSession::Attachments> found = session.attachmentsIn(html);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->total, 10u + 5u) << "the file and its card, each one byte less";
    EXPECT_EQ(found->keptNames, std::vector<QString>{u"报告.docx"_s});
    EXPECT_EQ(session.attachmentsIn(u" \n"_s)->total, 0u);

    // A size at its boundary: 1 counts as 0 bytes, 0 and sizes past 31 bits as unknown.
    session.clearFiles();
    session.addSizes({{hash + u".docx"_s, 1}, {hash + u".bmp"_s, 1}});
    EXPECT_EQ(session.attachmentsIn(html)->total, 0u);
    for (const quint64 size : {quint64(0), quint64(0x80000000)}) {
        session.clearFiles();
        session.addSizes({{hash + u".docx"_s, size}, {hash + u".bmp"_s, 1}});
        LogCapture log;
        EXPECT_FALSE(session.attachmentsIn(html)) << size;
        EXPECT_EQ(log.lines(), Lines{u"[ERROR] 查询报告.docx附件大小失败！"_s}) << size;
    }
}

TEST(NoteSession, GivesTheHostTheNoteFileFirstAndEachFileItsTime)
{
    const QString hash = u"fedcba9876543210fedcba9876543210"_s;
    const QString html = attachment(hash, u"pdf"_s, u"a.pdf"_s);
    NoteSession session;
    session.recordTime(hash + u".pdf"_s, u"a.pdf"_s, u"2020/05/06 07:08"_s);
    NewAttachFile noteFile;
    noteFile.storeName = u"note.html"_s;

    const std::vector<NewAttachFile> files = session.savedFiles(u"n1"_s, html, noteFile);
    ASSERT_GE(files.size(), 2u);
    EXPECT_EQ(files[0].storeName, u"note.html"_s);
    EXPECT_FALSE(files[0].modifyTime.isEmpty()) << "a file without a time gets now";
    EXPECT_EQ(files[1].storeName, hash + u".pdf"_s);
    EXPECT_EQ(files[1].modifyTime, u"2020/05/06 07:08"_s);
    for (std::size_t i = 2; i < files.size(); ++i)
        EXPECT_EQ(files[i].modifyTime, files[0].modifyTime) << "one moment for one save";
}

TEST(EditorPage, InsertsABatchInOneCallLoggingEachRefusal)
{
    FakeBrowser browser;
    EditorPage page(&browser);
    browser.replies[u"AddPicToEditor"_s] = {std::nullopt,
                                            QVariant(u"{\"result\":false,"
                                                     "\"errmsg\":\"busy\"}"_s),
                                            QVariant(u"{\"result\":true}"_s)};
    LogCapture log;
    const std::vector<bool> taken = page.addAttachments({{u"s1"_s, u"r1"_s, u"a.png"_s, u"png"_s},
                                                         {u"s2"_s, u"r2"_s, u"b.txt"_s, u"txt"_s},
                                                         {u"s3"_s, u"r3"_s, u"c.txt"_s, u"txt"_s}});
    EXPECT_EQ(taken, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(log.lines(),
              (Lines{u"添加附件到笔记编辑器，js方法调用失败！，ErrMsg:unknow error ！"_s,
                     u"添加附件到笔记编辑器，错误信息：busy"_s}));
    ASSERT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 3);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).at(1),
              u"{\n\t\"exdata\" : \"{\\\"OrigName_B64\\\":\\\"Yi50eHQ=\\\"}\",\n\t\"picpath\" : "
              "\"s2\",\n\t\"strData\" : \"r2\",\n\t\"type\" : \"txt\"\n}\n"_s);
    EXPECT_TRUE(page.addAttachments({}).empty());
    EXPECT_EQ(EditorPage().addAttachments({{u"s"_s, u"r"_s, u"k"_s, u"t"_s}}),
              std::vector<bool>{false})
        << "no browser";
}

class AddingBatch : public AppFolderTest
{
protected:
    void SetUp() override
    {
        AppFolderTest::SetUp();
        handler.SetIEWebBrowser(&browser);
        handler.SetCurNoteGuid(CreateGuidString());
    }
    QString makeFile(const QString &name)
    {
        const QString path = m_app.filePath(name);
        EXPECT_TRUE(writeBytes(path, name.toUtf8()));
        return path;
    }

    FakeBrowser browser;
    ZvWebNoteHandler handler;
    RecordingPrompts prompts;
};

TEST_F(AddingBatch, ReadsThePageOnceForTheWholeList)
{
    const std::vector<QString> paths{makeFile(u"1.txt"_s), makeFile(u"2.txt"_s),
                                     makeFile(u"1 (copy).txt"_s)};
    handler.InsertLocalFile(paths);
    EXPECT_EQ(browser.argsOf(u"GetEditorContent"_s).size(), 1);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 3);
    EXPECT_EQ(prompts.messages(), QStringList());
    EXPECT_EQ(handler.attachFileSizes().size(), 6u) << "three files and their cards";

    // A path that cannot be added ends the list after the files before it, in one batch.
    browser.calls.clear();
    const QString missing = m_app.filePath(u"gone.txt"_s);
    handler.InsertLocalFile({makeFile(u"3.txt"_s), missing, makeFile(u"4.txt"_s)});
    EXPECT_EQ(browser.argsOf(u"GetEditorContent"_s).size(), 1);
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 1);
    EXPECT_EQ(prompts.messages(), QStringList{u"无效文件路径:"_s + missing});

    // The page could not be read: nothing is stored or inserted.
    browser.calls.clear();
    prompts.clear();
    browser.replies[u"GetEditorContent"_s].push_back(std::nullopt);
    handler.AddDropFileToEditor({});
    EXPECT_EQ(browser.argsOf(u"AddPicToEditor"_s).size(), 0);
    EXPECT_EQ(prompts.messages(), QStringList{u"获取笔记编辑器附件总大小失败！"_s});
}
