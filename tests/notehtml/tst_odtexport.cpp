// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "logcapture.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/odtexport_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QProcess>

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

class OdtExportTest : public AppFolderTest
{
};

// The export read by another program: the archive unpacked by unzip, its content as text.
TEST_F(OdtExportTest, ArchiveHoldsTheFormattedNoteAndItsPictures)
{
    const QByteArray png = pngBytes(filledImage(37, 21, Qt::red));
    const QImage card = filledImage(90, 48, Qt::blue).convertToFormat(QImage::Format_RGB555);
    ASSERT_TRUE(card.save(m_root + u"c4rd.bmp"_qs, "BMP"));
    ASSERT_TRUE(writeBytes(m_root + u"ab.png"_qs, png));
    ASSERT_TRUE(writeBytes(m_root + u"text.png"_qs, "not a picture"));
    const QString note
        = u"<h1>Trip</h1><h2>Day one</h2><p><b>bold</b> <i>italic</i> <u>under</u> "
          "<span style=\"color:#ff0000\">red</span> <a href=\"https://example.com/\">link</a></p>"
          "<ul><li>first</li><li>second</li></ul><ol><li>one</li></ol>"
          "<table><tbody><tr><td>cell 1</td><td>cell 2</td></tr></tbody></table>"
          "<img src=\"../userdata\\attachment\\ab.png\">"
          "<img src=\"../userdata\\attachment\\c4rd.bmp\" class=\"doc.pdf\">"
          "<img src=\"../userdata\\attachment\\gone.png\">"
          "<img src=\"../userdata\\attachment\\text.png\">"_qs;
    QTemporaryDir out;
    const QString target = out.filePath(u"note.odt"_qs);
    ASSERT_TRUE(writeBytes(target, "old"));
    LogCapture log;
    ASSERT_EQ(OdtExport::NoteHtmlContentToOdtFile(note, target), 1);
    EXPECT_THAT(log.lines(),
                ElementsAre(u"[ERROR] HtmlToOdt: picture not found, not embedded: "_qs + m_root
                                + u"gone.png (No such file or directory)"_qs,
                            u"[ERROR] HtmlToOdt: not a picture, not embedded: "_qs + m_root
                                + u"text.png"_qs));

    EXPECT_EQ(unzip({u"-Z1"_qs, target}),
              "mimetype\nPictures/Picture1\nPictures/Picture2\nMETA-INF/manifest.xml\n"
              "content.xml\n");
    EXPECT_EQ(unzip({u"-p"_qs, target, u"mimetype"_qs}), "application/vnd.oasis.opendocument.text");
    EXPECT_EQ(unzip({u"-p"_qs, target, u"Pictures/Picture1"_qs}), png);
    EXPECT_EQ(QImage::fromData(unzip({u"-p"_qs, target, u"Pictures/Picture2"_qs}))
                  .convertToFormat(QImage::Format_RGB555),
              card);

    const QString content = QString::fromUtf8(unzip({u"-p"_qs, target, u"content.xml"_qs}));
    const QString span = u"<text:p[^>]*><text:span[^>]*>%1</text:span></text:p>\\s*"_qs;
    const QString cell = u"<table:table-cell[^>]*>\\s*"_qs + span + u"</table:table-cell>\\s*"_qs;
    const QString expected[] = {
        span.arg(u"Trip"_qs) + span.arg(u"Day one"_qs) + u"<text:p"_qs,
        u"<text:list [^>]*>\\s*<text:list-item>\\s*"_qs + span.arg(u"first"_qs)
            + u"</text:list-item>\\s*<text:list-item>\\s*"_qs + span.arg(u"second"_qs)
            + u"</text:list-item>\\s*</text:list>\\s*<text:list [^>]*>\\s*<text:list-item>\\s*"_qs
            + span.arg(u"one"_qs) + u"</text:list-item>\\s*</text:list>"_qs,
        u"<table:table-row>\\s*"_qs + cell.arg(u"cell 1"_qs) + cell.arg(u"cell 2"_qs)
            + u"</table:table-row>\\s*</table:table>"_qs,
        u"<text:a xlink:href=\"https://example.com/\"><text:span[^>]*>link</text:span></text:a>"_qs,
        u"<draw:image xlink:href=\"Pictures/Picture1\"/>\\s*</draw:frame>.*"
        "<draw:image xlink:href=\"Pictures/Picture2\"/>"_qs,
    };
    for (const QString &pattern : expected)
        EXPECT_TRUE(content.contains(
            QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)))
            << pattern.toStdString() << "\nin " << content.toStdString();
    EXPECT_EQ(content.count(u"<draw:image "_qs), 2);
    const std::pair<QString, QString> styles[] = {
        {u"Trip"_qs, u"fo:font-weight=\"bold\".*fo:font-size=\"24pt\""_qs},
        {u"Day one"_qs, u"fo:font-weight=\"bold\".*fo:font-size=\"18pt\""_qs},
        {u"bold"_qs, u"fo:font-weight=\"bold\""_qs},
        {u"italic"_qs, u"fo:font-style=\"italic\""_qs},
        {u"under"_qs, u"style:text-underline-type=\"single\""_qs},
        {u"red"_qs, u"fo:color=\"#ff0000\""_qs},
    };
    for (const auto &[text, style] : styles)
        EXPECT_TRUE(spanStyle(content, text).contains(QRegularExpression(style)))
            << text.toStdString();
}

TEST_F(OdtExportTest, FailuresLeaveNothingBehindAndSayWhy)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out.odt"_qs);
    EXPECT_EQ(OdtExport::NoteHtmlFileToOdtFile(dir.filePath(u"missing.html"_qs), target), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.odt"_qs));
    const QString folder = dir.filePath(u"folder.odt"_qs);
    LogCapture log;
    QString message = u"unchanged"_qs;
    EXPECT_FALSE(OdtExport::ExportOdt(u"<p>x</p>"_qs, folder, message));
    EXPECT_EQ(message, u"转化为ODT文档失败！"_qs);
    EXPECT_THAT(log.lines(),
                ElementsAre(u"[ERROR:] HtmlToOdt发生错误，错误信息: cannot write "_qs + folder
                            + u": Is a directory"_qs));
    EXPECT_FALSE(OdtExport::ExportOdt(QString(), target, message));
    EXPECT_EQ(message, u"笔记内容为空！"_qs);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"folder.odt"_qs});
    EXPECT_TRUE(QDir(folder).isEmpty());
    message = u"unchanged"_qs;
    EXPECT_TRUE(OdtExport::ExportOdt(u"<p>x</p>"_qs, target, message));
    EXPECT_EQ(message, u"unchanged"_qs);
    EXPECT_TRUE(unzip({u"-p"_qs, target, u"content.xml"_qs}).contains(">x</text:span>"));
}

} // namespace
