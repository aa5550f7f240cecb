// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Adding files through the real editor page in a real browser: files and an image dropped on
// the browser's inner window arrive in the store and in the page, and the page's content lists
// them in document order.
#include "bridge/zvwebnotehandler.h"
#include "common/commonutils.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "recordingprompts.h"
#include "skin/iewebbrowser.h"
#include "testhelpers.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

class AddingPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        browser.SetJSCallFunNotify(&handler);
        browser.SetIEDragNotify(&handler);
        handler.SetIEWebBrowser(&browser);
        handler.SetCurNoteGuid(CreateGuidString());
        ASSERT_NE(browser.Create(nullptr, QRect(0, 0, 900, 600), 1, IEWebBrowser::StyleVisible), 0);
        QSignalSpy loaded(&browser, &IEWebBrowser::firstLoadFinished);
        // The page lies in the application folder, so its "../userdata\attachment\..." sources
        // reach the store.
        ASSERT_NE(browser.Navigate2(stageEditorPage(GetAppDirectory())), 0);
        ASSERT_TRUE(loaded.wait(30000));
        ASSERT_TRUE(waitUntil(u"window.Tavrik && Tavrik.ready === true"_s));
        handler.SetEditorHtml(u"<p>Trip notes</p>"_s);
        ASSERT_TRUE(
            waitUntil(u"Tavrik.editor.document().body.innerText.indexOf('Trip notes') >= 0"_s));
    }

    QVariant js(const QString &script) { return runScript(browser.page(), script); }
    bool waitUntil(const QString &condition) { return waitForScript(browser.page(), condition); }
    // Drags `data` over the browser's inner window and drops it, as the platform does.
    void dragAndDrop(QMimeData *data)
    {
        QWidget *inner = browser.GetWebBrowseHwnd();
        ASSERT_NE(inner, nullptr);
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
        EXPECT_EQ(handler.GetEditorContent(html, text), 1);
        return html;
    }

    ZvWebNoteHandler handler;
    IEWebBrowser browser;
    RecordingPrompts prompts;
    QTemporaryDir dir;
};

TEST_F(AddingPage, DroppedFilesAndImageAreStoredShownAndListed)
{
    const QString report = dir.filePath(u"报告 final.pdf"_s);
    const QString notes = dir.filePath(u"notes.txt"_s);
    ASSERT_TRUE(writeBytes(report, QByteArray(3000, 'p')));
    ASSERT_TRUE(writeBytes(notes, QByteArray(3000, 'n')));
    LogCapture log;
    dropFiles({report, notes});
    QMimeData image;
    image.setData(u"image/png"_s, pngBytes(filledImage(40, 30, QColor(30, 120, 200))));
    dragAndDrop(&image);
    ASSERT_EQ(handler.dropFiles().size(), 1u);
    const DropFileInfo temp = handler.dropFiles().at(0);
    EXPECT_EQ(log.lines(), std::vector<QString>{});
    EXPECT_TRUE(prompts.shown().empty());

    // The saved content lists the files and their thumbnails in document order for the host.
    std::vector<NewAttachFile> records;
    ASSERT_EQ(AttachMarkup::ParseAttList(handler.GetCurNoteGuid(), pageHtml(), records), 1);
    ASSERT_EQ(records.size(), 6u);
    const QString md5Report = CalcFileMd5(report);
    const QString md5Notes = CalcFileMd5(notes);
    const QString md5Image = CalcFileMd5(temp.srcPath);
    const QString thumbs[] = {records[1].storeName, records[3].storeName};
    QStringList listed;
    for (const NewAttachFile &record : records)
        listed.append(QString::number(record.fileKind) + u':' + record.storeName + u':'
                      + record.origName);
    EXPECT_EQ(
        listed,
        (QStringList{u"2:"_s + md5Report + u".pdf:报告 final.pdf"_s, u"1:"_s + thumbs[0] + u":"_s,
                     u"2:"_s + md5Notes + u".txt:notes.txt"_s, u"1:"_s + thumbs[1] + u":"_s,
                     u"2:"_s + md5Image + u".jpg:"_s + QFileInfo(temp.srcPath).fileName(),
                     u"1:"_s + md5Image + u".jpg:"_s}));

    // The files are in the store, and the page shows every image.
    const QString root = GetAttachRootDir() + u'/';
    const QString noteDir = root + handler.GetCurNoteGuid() + u'/';
    EXPECT_TRUE(QFile::exists(noteDir + u"报告 final.pdf"_s));
    EXPECT_TRUE(QFile::exists(noteDir + u"notes.txt"_s));
    EXPECT_TRUE(QFile::exists(root + md5Image + u".jpg"_s));
    for (const QString &thumb : thumbs)
        EXPECT_EQ(QImage(root + thumb).height(), 48) << thumb.toStdString();
    ASSERT_TRUE(waitUntil(u"Array.from(Tavrik.editor.document().querySelectorAll('img[zv_exdata]'))"
                          ".every(i => i.complete && i.naturalHeight > 0)"_s));

    // The page's content now counts: 2 x 2,999 + 2 thumbnails + the picture twice.
    quint64 total = 0;
    ASSERT_EQ(handler.GetExistAttTotalSize(total), 1);
    const auto &sizes = handler.attachFileSizes();
    EXPECT_EQ(total,
              2 * 2999 + sizes.at(thumbs[0]) - 1 + sizes.at(thumbs[1]) - 1
                  + 2 * (sizes.at(md5Image + u".jpg"_s) - 1));
    QFile::remove(temp.srcPath);
}

TEST_F(AddingPage, NativeMarkupIsWhatThePageInserts)
{
    // A host writing a note without the page gets the element the page makes for the same file.
    const QString path = dir.filePath(u"R&D \"plan\".txt"_s);
    ASSERT_TRUE(writeBytes(path, "plan"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    std::vector<DropFileInfo> files;
    ZvWebNoteHandler::GetFileList(&data, files);
    MAF_RESULT stored;
    ASSERT_EQ(files.size(), 1u);
    ASSERT_EQ(handler.MoveAttFile(files.front(), stored), 1);
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

TEST_F(AddingPage, DroppingTheSameNameAgainNumbersIt)
{
    const QString first = dir.filePath(u"plan.txt"_s);
    const QString second = dir.filePath(u"other/plan.txt"_s);
    ASSERT_TRUE(writeBytes(first, "first"));
    ASSERT_TRUE(writeBytes(second, "second"));
    dropFiles({first});
    dropFiles({second});
    std::vector<QString> names;
    ASSERT_EQ(AttachMarkup::ParseAttOrigFileNameList(pageHtml(), names), 1);
    EXPECT_EQ(names, (std::vector<QString>{u"plan.txt"_s, u"plan(1).txt"_s}));
}

} // namespace
