// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "logcapture.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"
#include "notehtml/odtexport_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QProcess>
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

// What the unzip program prints for `arguments`.
QByteArray unzip(const QStringList &arguments)
{
    QProcess process;
    process.start(u"unzip"_qs, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.readAllStandardOutput();
}

// The text properties of the style of the span that holds exactly `text`.
QString spanStyle(const QString &content, const QString &text)
{
    const QString style
        = QRegularExpression(u"text:style-name=\"(c\\d+)\">"_qs + QRegularExpression::escape(text)
                             + u"</text:span>"_qs)
              .match(content)
              .captured(1);
    return QRegularExpression(u"style:name=\""_qs + style
                              + u"\" style:family=\"text\">\\s*<style:text-properties ([^/]*)/>"_qs)
        .match(content)
        .captured(1);
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

class ExportTest : public AppFolderTest
{
protected:
    // Stores a picture, a thumbnail card and a file that is not a picture in the attachment
    // folder; gives a note in the editor's markup that shows them, the picture twice, and a
    // picture missing on disk.
    QString storeNote()
    {
        EXPECT_TRUE(m_card.save(m_root + u"c4rd.bmp"_qs, "BMP"));
        EXPECT_TRUE(writeBytes(m_root + u"ab.png"_qs, m_png));
        EXPECT_TRUE(writeBytes(m_root + u"text.png"_qs, "not a picture"));
        return u"<h1>Trip</h1>\n<h2>Day one</h2><p><b>bold</b> <i>italic</i> <u>under</u> "
               "<span style=\"color:#ff0000\">red</span> <a href=\"https://example.com/\">link</a>"
               "</p><ul><li>first</li><li>second</li></ul><ol><li>one</li></ol>"
               "<table><tbody><tr><td>cell 1</td><td>cell 2</td></tr></tbody></table>"
               "<img src=\"../userdata\\attachment\\ab.png\">"
               "<img src=\"../userdata\\attachment\\ab.png\" class=\"again\" width=\"74\">"
               "<img src=\"../userdata\\attachment\\c4rd.bmp\" class=\"doc.pdf\" "
               "style=\"height: 96px\" height=\"10\">"
               "<img src=\"../userdata\\attachment\\gone.png\">"
               "<img src=\"../userdata\\attachment\\text.png\">"_qs;
    }
    // The lines the export `name` logs for the missing picture and the file that is not one.
    Lines skippedPictures(const QString &name) const
    {
        return {u"[ERROR] "_qs + name + u": picture not found, not embedded: "_qs + m_root
                    + u"gone.png (No such file or directory)"_qs,
                u"[ERROR] "_qs + name + u": not a picture, not embedded: "_qs + m_root
                    + u"text.png"_qs};
    }

    const QByteArray m_png = pngBytes(filledImage(37, 21, Qt::red));
    const QImage m_card = filledImage(90, 48, Qt::blue).convertToFormat(QImage::Format_RGB555);
};

TEST_F(ExportTest, HtmlConvertMakesImagePathsAbsoluteAndFailuresLeaveTheTargetAsItWas)
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

    // Failures leave the target as it was and say why.
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
    std::vector<std::pair<QString, int>> cases = {
        {dir.filePath(u"no/such/folder/out.mht"_qs), ENOENT},
        {folderTarget, EISDIR},
        {target, ENOSPC}, // the disk fills up while writing
    };
    if (lockedError != 0)
        cases.emplace_back(readOnly + u"/out.mht"_qs, lockedError);
    else // a process that may write anywhere and may not lock folders
        std::printf("a read-only folder cannot be made here: that case is left out\n");
    const std::pair<QString, int (*)(const QString &, const QString &)> exporters[]
        = {{u"HtmlToMht"_qs, &MhtExport::HtmlToMht}, {u"HtmlToOdt"_qs, &OdtExport::HtmlToOdt}};
    for (const auto &[name, exporter] : exporters) {
        for (const auto &[path, error] : cases) {
            LogCapture log;
            if (error == ENOSPC)
                Internal::setWriteCallForTesting([](int, const void *, size_t) -> ssize_t {
                    errno = ENOSPC;
                    return -1;
                });
            EXPECT_EQ(exporter(u"<p>x</p>"_qs, path), 0);
            Internal::setWriteCallForTesting(nullptr);
            EXPECT_THAT(log.lines(),
                        ElementsAre(u"[ERROR:] "_qs + name + u"发生错误，错误信息: cannot write "_qs
                                    + path + u": "_qs
                                    + QString::fromLocal8Bit(std::strerror(error))));
        }
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

// The export read by a browser, from another folder, after the note's pictures are gone.
TEST_F(ExportTest, BrowserShowsTheExportWithItsPicturesFromAnywhere)
{
    // An application folder whose addresses need escaping and pass a header line's length.
    SetAppDirectory(m_app.filePath(u"an application folder with a long name 笔记"_qs));
    m_root = GetAttachRootDir() + u'/';
    const QString note = storeNote();
    QTemporaryDir out;
    const QString target = out.filePath(u"note.mht"_qs);
    ASSERT_TRUE(writeBytes(target, QByteArray(200000, 'z'))); // replaced, not appended to
    LogCapture log;
    ASSERT_EQ(MhtExport::NoteHtmlContentToMhtFile(note, target), 1);
    EXPECT_EQ(log.lines(), skippedPictures(u"HtmlToMht"_qs));

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

// The export read by another program: the archive unpacked by unzip, its content as text.
TEST_F(ExportTest, ArchiveHoldsTheFormattedNoteAndItsPicturesAndContentFollowsTheMarkup)
{
    const QString note = storeNote();
    QTemporaryDir out;
    const QString target = out.filePath(u"note.odt"_qs);
    ASSERT_TRUE(writeBytes(target, "old"));
    LogCapture log;
    ASSERT_EQ(OdtExport::NoteHtmlContentToOdtFile(note, target), 1);
    EXPECT_EQ(log.lines(), skippedPictures(u"HtmlToOdt"_qs));

    EXPECT_EQ(unzip({u"-Z1"_qs, target}),
              "mimetype\ncontent.xml\nstyles.xml\nPictures/Picture1.png\nPictures/Picture2.bmp\n"
              "META-INF/manifest.xml\n");
    EXPECT_TRUE(unzip({u"-t"_qs, target}).contains("No errors detected"));
    // The type comes first, stored as it is, without an extra field.
    const QByteArray type = "application/vnd.oasis.opendocument.text";
    EXPECT_EQ(readBytes(target).left(10), QByteArray("PK\3\4\n\0\0\0\0\0", 10));
    EXPECT_EQ(readBytes(target).mid(26, 12 + type.size()),
              QByteArray("\x08\0\0\0mimetype", 12) + type);
    EXPECT_EQ(unzip({u"-p"_qs, target, u"Pictures/Picture1.png"_qs}), m_png);
    EXPECT_EQ(unzip({u"-p"_qs, target, u"Pictures/Picture2.bmp"_qs}),
              readBytes(m_root + u"c4rd.bmp"_qs));
    const QByteArray manifest = unzip({u"-p"_qs, target, u"META-INF/manifest.xml"_qs});
    for (const char *entry : {"\"/\" manifest:version=\"1.2\" manifest:media-type=\"application/"
                              "vnd.oasis.opendocument.text\"",
                              "\"content.xml\" manifest:media-type=\"text/xml\"",
                              "\"styles.xml\" manifest:media-type=\"text/xml\"",
                              "\"Pictures/Picture1.png\" manifest:media-type=\"image/png\"",
                              "\"Pictures/Picture2.bmp\" manifest:media-type=\"image/bmp\""})
        EXPECT_TRUE(manifest.contains(QByteArray(QByteArray("manifest:full-path=") + entry)))
            << entry;
    EXPECT_EQ(manifest.count("manifest:full-path="), 5);
    EXPECT_TRUE(unzip({u"-p"_qs, target, u"styles.xml"_qs})
                    .contains("<style:style style:name=\"Heading_20_1\" style:display-name="
                              "\"Heading 1\" style:family=\"paragraph\" style:parent-style-name="
                              "\"Heading\" style:next-style-name=\"Standard\" "
                              "style:default-outline-level=\"1\" style:class=\"text\">"
                              "<style:text-properties fo:font-size=\"24pt\""));

    const QString content = QString::fromUtf8(unzip({u"-p"_qs, target, u"content.xml"_qs}));
    const QString frame = u"<draw:frame text:anchor-type=\"as-char\" svg:width=\"%1cm\" "
                          "svg:height=\"%2cm\"><draw:image xlink:href=\"Pictures/%3\" "
                          "xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/>"
                          "</draw:frame>"_qs;
    const QString picture = frame.arg(u"0.979"_qs, u"0.556"_qs, u"Picture1.png"_qs);
    const QString cell = u"<table:table-cell table:style-name=\"Cell\" "
                         "office:value-type=\"string\"><text:p>cell %1</text:p>"
                         "</table:table-cell>"_qs;
    EXPECT_TRUE(content.contains(
        u"<office:text><text:h text:style-name=\"Heading_20_1\" text:outline-level=\"1\">"
        "Trip</text:h><text:h text:style-name=\"Heading_20_2\" text:outline-level=\"2\">Day one"
        "</text:h><text:p>"_qs))
        << content.toStdString();
    EXPECT_TRUE(content.contains(
        u" <text:a xlink:type=\"simple\" xlink:href=\"https://example.com/\">link</text:a>"
        "</text:p><text:list text:style-name=\"Bulleted\"><text:list-item><text:p>first</text:p>"
        "</text:list-item><text:list-item><text:p>second</text:p></text:list-item></text:list>"
        "<text:list text:style-name=\"Numbered\"><text:list-item><text:p>one</text:p>"
        "</text:list-item></text:list><table:table table:name=\"Table1\"><table:table-column "
        "table:number-columns-repeated=\"2\"/><table:table-row>"_qs
        + cell.arg(1) + cell.arg(2) + u"</table:table-row></table:table><text:p>"_qs + picture
        + frame.arg(u"1.958"_qs, u"1.111"_qs, u"Picture1.png"_qs)
        + frame.arg(u"4.763"_qs, u"2.540"_qs, u"Picture2.bmp"_qs) + u"</text:p></office:text>"_qs));
    const std::pair<QString, QString> styles[] = {
        {u"bold"_qs, u"fo:font-weight=\"bold\" style:font-weight-asian=\"bold\""_qs},
        {u"italic"_qs, u"fo:font-style=\"italic\" style:font-style-asian=\"italic\""_qs},
        {u"under"_qs, u"style:text-underline-style=\"solid\""_qs},
        {u"red"_qs, u"fo:color=\"#ff0000\""_qs},
    };
    for (const auto &[text, style] : styles)
        EXPECT_TRUE(spanStyle(content, text).contains(QRegularExpression(style)))
            << text.toStdString();

    QString message;
    EXPECT_FALSE(OdtExport::ExportOdt(QString(), target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_qs);
    EXPECT_FALSE(OdtExport::ExportOdt(u"<p>x</p>"_qs, out.path(), message));
    EXPECT_EQ(message, u"转化为ODT文档失败！"_qs);

    // Markup beyond the stored note: breaks, escaping, nesting, spans and styles from attributes.
    QTemporaryDir odtDir;
    const QString odt = odtDir.filePath(u"n.odt"_qs);
    const QString cellStart
        = u"<table:table-cell table:style-name=\"Cell\" office:value-type=\"string\""_qs;
    const std::pair<QString, QString> cases[] = {
        {u"<div>a<br>b<br> </div><div><br></div>\n<p></p>x &lt; y &amp; \"z\"<script>s</script>"_qs,
         u"<text:p>a<text:line-break/>b </text:p><text:p></text:p><text:p>x &lt; y &amp; "
         "&quot;z&quot;</text:p>"_qs},
        {u"<pre>a  b\n\tc <b>d</b></pre>"_qs,
         u"<text:p>a<text:s text:c=\"2\"/>b<text:line-break/><text:tab/>c<text:s text:c=\"1\"/>"
         "<text:span text:style-name=\"c1\">d</text:span></text:p>"_qs},
        {u"<ul><li>a<ol><li>b</li></ol></li><li><table><tr><td>c</td></tr></table></li></ul>"_qs,
         u"<text:list text:style-name=\"Bulleted\"><text:list-item><text:p>a</text:p><text:list "
         "text:style-name=\"Numbered\"><text:list-item><text:p>b</text:p></text:list-item>"
         "</text:list></text:list-item><text:list-item><text:p>c</text:p></text:list-item>"
         "</text:list>"_qs},
        {u"<table><tr><th colspan=\"2\">h</th></tr><tr><td></td></tr></table>"_qs,
         u"<table:table table:name=\"Table1\"><table:table-column "
         "table:number-columns-repeated=\"2\"/><table:table-row>"_qs
             + cellStart
             + u" table:number-columns-spanned=\"2\"><text:p><text:span text:style-name=\"c1\">"
               "h</text:span></text:p></table:table-cell><table:covered-table-cell/>"
               "</table:table-row><table:table-row>"_qs
             + cellStart + u"><text:p/></table:table-cell>"_qs + cellStart
             + u"><text:p/></table:table-cell></table:table-row></table:table>"_qs},
        {u"<h3 style=\"color:red\"><span style=\"font-weight:700; background-color:rgb(0, 255, "
         u"0)\">"
         "g</span></h3><font color=\"blue\"><s>f</s></font>"_qs,
         u"<text:h text:style-name=\"Heading_20_3\" text:outline-level=\"3\"><text:span "
         "text:style-name=\"c1\">g</text:span></text:h><text:p><text:span "
         "text:style-name=\"c2\">f</text:span></text:p>"_qs},
    };
    for (const auto &[html, body] : cases) {
        ASSERT_EQ(OdtExport::HtmlToOdt(html, odt), 1);
        const QString written = QString::fromUtf8(unzip({u"-p"_qs, odt, u"content.xml"_qs}));
        EXPECT_TRUE(written.contains(u"<office:text>"_qs + body + u"</office:text>"_qs))
            << written.toStdString();
    }
    const QString written = QString::fromUtf8(unzip({u"-p"_qs, odt, u"content.xml"_qs}));
    EXPECT_EQ(spanStyle(written, u"g"_qs),
              u"fo:font-weight=\"bold\" style:font-weight-asian=\"bold\" "
              "style:font-weight-complex=\"bold\" fo:color=\"#ff0000\" "
              "fo:background-color=\"#00ff00\""_qs);
    EXPECT_EQ(spanStyle(written, u"f"_qs),
              u"style:text-line-through-style=\"solid\" fo:color=\"#0000ff\""_qs);
}

} // namespace
