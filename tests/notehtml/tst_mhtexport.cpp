// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "logcapture.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;
using ::testing::ElementsAre;

namespace {

class MhtExportTest : public AppFolderTest
{
};

TEST_F(MhtExportTest, HtmlConvertMakesImagePathsAbsolute)
{
    LogCapture log;
    QString out;
    const QString page
        = u"<html><head><title>t</title></head><body><p>图</p>"
          "<img src=\"../userdata\\attachment\\ab.png\" class=\"c\" zv_exdata=\"{}\">"
          "<img src=\"http://example.com/pics/x.png\">"
          "<img src=\"a.png\"><img alt=\"no src\"><img src=\"../..\">"
          "</body></html>"_qs;
    ASSERT_EQ(MhtExport::HtmlConvert(page, out), 1);
    EXPECT_EQ(out,
              u"<p>图</p><img src=\""_qs + m_root
                  + u"ab.png\" class=\"c\" zv_exdata=\"{}\">"
                    "<img src=\""_qs
                  + m_root + u"x.png\"><img src=\""_qs + m_root
                  + u"a.png\"><img alt=\"no src\"><img src=\"../..\">"_qs);
    EXPECT_THAT(
        log.lines(),
        ElementsAre(u"[ERROR] Attachment name leaves the attachment folder, skipped: .."_qs));

    // Without images the text is returned as it is, head included.
    const QString noImages = u"<html><head><title>t</title></head><body><P>x</P></body></html>"_qs;
    ASSERT_EQ(MhtExport::HtmlConvert(noImages, out), 1);
    EXPECT_EQ(out, noImages);
}

// The export read by a browser, from another folder, after the note's pictures are gone.
TEST_F(MhtExportTest, BrowserShowsTheExportWithItsPicturesFromAnywhere)
{
    // An application folder whose addresses need escaping and pass a header line's length.
    SetAppDirectory(m_app.filePath(u"an application folder with a long name 笔记"_qs));
    m_root = GetAttachRootDir() + u'/';
    const QByteArray png = pngBytes(filledImage(37, 21, Qt::red));
    QImage card = filledImage(90, 48, Qt::blue).convertToFormat(QImage::Format_RGB555);
    ASSERT_TRUE(card.save(m_root + u"c4rd.bmp"_qs, "BMP"));
    ASSERT_TRUE(writeBytes(m_root + u"ab.png"_qs, png));
    ASSERT_TRUE(writeBytes(m_root + u"text.png"_qs, "not a picture"));
    const QString note = u"<h1>Trip</h1><p>第一段 = café</p>"
                         "<table><tbody><tr><td>cell 1</td><td>cell 2</td></tr></tbody></table>"
                         "<img src=\"../userdata\\attachment\\ab.png\">"
                         "<img src=\"../userdata\\attachment\\ab.png\" class=\"again\">"
                         "<img src=\"../userdata\\attachment\\c4rd.bmp\" class=\"doc.pdf\">"
                         "<img src=\"../userdata\\attachment\\gone.png\">"
                         "<img src=\"../userdata\\attachment\\text.png\">"_qs;
    QTemporaryDir out;
    const QString target = out.filePath(u"note.mht"_qs);
    ASSERT_TRUE(writeBytes(target, QByteArray(200000, 'z'))); // replaced, not appended to
    LogCapture log;
    ASSERT_EQ(MhtExport::NoteHtmlContentToMhtFile(note, target), 1);
    EXPECT_THAT(log.lines(),
                ElementsAre(u"[ERROR] HtmlToMht: picture not found, not embedded: "_qs + m_root
                                + u"gone.png (No such file or directory)"_qs,
                            u"[ERROR] HtmlToMht: not a picture, not embedded: "_qs + m_root
                                + u"text.png"_qs));

    const QByteArray bytes = readBytes(target);
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "every line ends in CR LF";
    EXPECT_TRUE(QString::fromLatin1(bytes).contains(QRegularExpression(
        u"\r\nContent-Type: multipart/related; boundary=\"[^\"]+\";\r\n\ttype=\"text/html\"\r\n"_qs)))
        << bytes.left(400).toStdString();
    const QByteArray root = "http://note.invalid" + QUrl::toPercentEncoding(m_root, "/");
    const qsizetype html = bytes.indexOf("Content-Type: text/html; charset=utf-8\r\n");
    const qsizetype picture = bytes.indexOf("Content-Type: image/png\r\n");
    const qsizetype cardPart = bytes.indexOf("Content-Type: image/bmp\r\n");
    EXPECT_TRUE(html > 0 && html < picture && picture < cardPart) << html << picture << cardPart;
    EXPECT_EQ(bytes.count("Content-Location: "), 3);
    EXPECT_EQ(bytes.count("Content-Location: http://note.invalid/note.mht\r\n"), 1);
    EXPECT_EQ(bytes.count(QByteArray("Content-Location: " + root + "ab.png\r\n")), 1);
    EXPECT_EQ(bytes.count(QByteArray("Content-Location: " + root + "c4rd.bmp\r\n")), 1);

    // Opened elsewhere, with the pictures moved away.
    QTemporaryDir elsewhere;
    const QString moved = elsewhere.filePath(u"moved.mht"_qs);
    ASSERT_TRUE(QFile::rename(target, moved));
    ASSERT_TRUE(QDir().rename(GetAppDirectory(), m_app.filePath(u"gone"_qs)));
    QWebEngineView view;
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(moved));
    ASSERT_TRUE(loaded.wait(30000));
    ASSERT_TRUE(loaded.first().first().toBool());
    // Archives run without page scripts; the checks run in a world of their own.
    const auto inPage = [&](const QString &script) {
        return runScript(view.page(), script, QWebEngineScript::ApplicationWorld);
    };
    QString converted;
    ASSERT_EQ(MhtExport::HtmlConvert(note, converted), 1);
    EXPECT_EQ(inPage(u"document.body.innerHTML"_qs).toString(), converted + u'\n');
    EXPECT_EQ(inPage(u"document.querySelector('td + td').textContent"_qs), u"cell 2"_qs);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return inPage(u"[...document.images].every(i => i.complete)"_qs).toBool(); }));
    EXPECT_EQ(inPage(u"[...document.images].map(i => i.naturalWidth + 'x' + i.naturalHeight)"
                     ".join(' ')"_qs),
              u"37x21 37x21 90x48 0x0 0x0"_qs);
}

// Makes `folder` refuse new files, to a process that may write anywhere too, or take them again.
// The errno of making a file there.
int lock(const QString &folder, bool locked)
{
    const auto owner = QFile::ReadOwner | QFile::ExeOwner;
    QFile::setPermissions(folder, locked ? owner : owner | QFile::WriteOwner);
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
    QFile::setPermissions(folder, locked ? owner : owner | QFile::WriteOwner);
    const QByteArray probe = QFile::encodeName(folder + u"/probe"_qs);
    const int made = ::open(probe.constData(), O_WRONLY | O_CREAT, 0644);
    const int error = made < 0 ? errno : 0;
    if (made >= 0 && ::close(made) == 0)
        ::unlink(probe.constData());
    return error;
}

TEST_F(MhtExportTest, FailuresLeaveTheTargetAsItWasAndSayWhy)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.mht"_qs);
    EXPECT_EQ(MhtExport::NoteHtmlFileToMhtFile(dir.filePath(u"missing.html"_qs), target), 0);
    EXPECT_FALSE(QFile::exists(target));

    const QString note = dir.filePath(u"note.html"_qs);
    ASSERT_EQ(NoteHtmlRW::WriteHtmlTextFile(note, u"<p>from file</p>"_qs, 2), 1);
    ASSERT_EQ(MhtExport::NoteHtmlFileToMhtFile(note, target), 1);
    const QByteArray exported = readBytes(target);
    EXPECT_TRUE(exported.contains("\r\n\r\n<p>from file</p>\r\n")) << exported.toStdString();

    const QString folderTarget = dir.filePath(u"folder.mht"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"folder.mht/inside"_qs));
    const QString readOnly = dir.filePath(u"locked"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"locked"_qs));
    const int lockedError = lock(readOnly, true);
    struct Case
    {
        QString target;
        int error;
    };
    const Case cases[] = {
        {dir.filePath(u"no/such/folder/out.mht"_qs), ENOENT},
        {folderTarget, EISDIR},
        {readOnly + u"/out.mht"_qs, lockedError},
        {target, ENOSPC}, // the disk fills up while writing
    };
    for (const Case &c : cases) {
        if (c.error == 0) {
            ADD_FAILURE() << "a folder could not be made read-only";
            continue;
        }
        LogCapture log;
        if (c.error == ENOSPC)
            Internal::setWriteCallForTesting([](int, const void *, size_t) -> ssize_t {
                errno = ENOSPC;
                return -1;
            });
        EXPECT_EQ(MhtExport::HtmlToMht(u"<p>x</p>"_qs, c.target), 0);
        Internal::setWriteCallForTesting(nullptr);
        EXPECT_THAT(log.lines(),
                    ElementsAre(u"[ERROR:] HtmlToMht发生错误，错误信息: cannot write "_qs + c.target
                                + u": "_qs + QString::fromLocal8Bit(std::strerror(c.error))));
    }
    lock(readOnly, false);
    EXPECT_EQ(readBytes(target), exported);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{u"folder.mht"_qs, u"locked"_qs, u"note.html"_qs, u"out.mht"_qs}));
    EXPECT_EQ(QDir(folderTarget).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"inside"_qs});
    EXPECT_TRUE(QDir(readOnly).isEmpty());

    QString message = u"unchanged"_qs;
    EXPECT_FALSE(MhtExport::ExportWord(QString(), target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_qs);
    EXPECT_FALSE(MhtExport::ExportWord(u"<p>x</p>"_qs, folderTarget, message));
    EXPECT_EQ(message, u"转化为word失败！"_qs);
    message = u"unchanged"_qs;
    EXPECT_TRUE(MhtExport::ExportWord(u"<p>x</p>"_qs, target, message));
    EXPECT_EQ(message, u"unchanged"_qs);
}

} // namespace
