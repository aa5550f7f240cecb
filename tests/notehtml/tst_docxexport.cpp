// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The Word export: the document part written for small notes, the package as unzip and Word's
// other readers find it, and LibreOffice reading the same text from it as from the ODT export.
#include "common/durablefile_p.h"
#include "logcapture.h"
#include "notehtml/docxexport_p.h"
#include "notehtml/odtexport_p.h"
#include "testhelpers.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cerrno>
#include <cstring>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;
using ::testing::ElementsAre;

namespace {

// What the unzip program prints for `arguments`.
QByteArray unzip(const QStringList &arguments)
{
    QProcess process;
    process.start(u"unzip"_s, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.readAllStandardOutput();
}

// The part `name` of the DOCX file `path`.
QByteArray part(const QString &path, const QString &name)
{
    return unzip({u"-p"_s, path, name});
}

// What document.xml holds between <w:body> and the page settings.
QByteArray body(const QString &path)
{
    const QByteArray document = part(path, u"word/document.xml"_s);
    const qsizetype start = document.indexOf("<w:body>") + 8;
    return document.mid(start, document.indexOf("<w:sectPr>") - start);
}

const QByteArray kRelations
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

class DocxTest : public AppFolderTest
{
protected:
    QTemporaryDir m_out;
    const QString m_target = m_out.filePath(u"note.docx"_s);
    const QByteArray m_png = pngBytes(filledImage(37, 21, Qt::red));
};

} // namespace

TEST_F(DocxTest, LibreOfficeReadsTheNoteTextFromTheDocxAsFromTheOdt)
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed (package libreoffice-writer-nogui): LibreOffice "
                        "cannot read the exports here";
    ASSERT_TRUE(writeBytes(m_root + u"ab.png"_s, m_png));
    const QString note
        = u"<h1>Trip</h1><p><b>bold</b> <i>italic</i> and <a href=\"https://example.com/a b\">"
          "link</a></p><ul><li>first<ol><li>one</li><li>two</li></ol></li><li>second</li></ul>"
          "<ol><li>again</li></ol><ul class=\"checklist\"><li data-checked=\"true\">milk</li>"
          "<li data-checked=\"false\">bread</li></ul><table><tr><td rowspan=\"2\" colspan=\"2\">"
          "m</td><td>x</td></tr><tr><td>y</td></tr><tr><td>p</td><td>q</td><td>r</td></tr>"
          "</table><pre>int a;\n  b();</pre><p>end   of <img src=\"../userdata\\attachment\\"
          "ab.png\"> note</p>"_s;
    const QString docx = m_out.filePath(u"word.docx"_s);
    const QString odt = m_out.filePath(u"open.odt"_s);
    ASSERT_EQ(DocxExport::NoteHtmlContentToDocxFile(note, docx), 1);
    ASSERT_EQ(OdtExport::NoteHtmlContentToOdtFile(note, odt), 1);
    QTemporaryDir profile;
    const QString text = m_out.filePath(u"text"_s);
    QProcess process;
    process.start(soffice,
                  {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(),
                   u"--headless"_s, u"--convert-to"_s, u"txt:Text (encoded):UTF8"_s, u"--outdir"_s,
                   text, docx, odt});
    ASSERT_TRUE(process.waitForFinished(180000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray fromDocx = readBytes(text + u"/word.txt"_s);
    const QByteArray fromOdt = readBytes(text + u"/open.txt"_s);
    std::printf("%s\n----\n%s\n---\n", fromDocx.toPercentEncoding(" \n").constData(),
                fromOdt.toPercentEncoding(" \n").constData());
}
