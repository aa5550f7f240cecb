// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Pasting from Word with Ctrl+V from the X clipboard: list paragraphs become real lists, the
// picture that came with the paste is stored in the notebook, the one from the web is left out.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "logcapture.h"
#include "testhelpers.h"

#include <QFileInfo>
#include <QTcpServer>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::GetAttachRootDir;

namespace {

// A paste stores and draws its picture before the page inserts it: on a busy machine too.
constexpr int PasteTimeoutMs = 20000;

// A picture whose data is no base64.
constexpr char BrokenPicture[] = "data:image/png;base64,broken!";

QByteArray wordItem(int level, const char *marker, const char *text)
{
    return QByteArray("<p class=MsoListParagraphCxSpMiddle style='margin-left:")
        + QByteArray::number(level) + ".0in;text-indent:-.25in;mso-list:l0 level"
        + QByteArray::number(level)
        + " lfo1'><![if !supportLists]><span style='font-family:Symbol'><span style='mso-list:"
          "Ignore'>"
        + marker
        + "<span style='font:7.0pt \"Times New Roman\"'>&nbsp;&nbsp; </span></span>"
          "</span><![endif]>"
        + text + "<o:p></o:p></p>\r\n";
}

// Word's clipboard HTML: a heading, a bold span, a two-level list, its own picture, a broken
// one and one from the web.
QByteArray wordHtml(const QByteArray &png, const QString &remote)
{
    return "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"><head><meta name=ProgId "
           "content=Word.Document><style><!--p.MsoNormal{margin:0in}--></style></head><body>"
           "<!--StartFragment--><h1><span style='mso-fareast-font-family:Arial'>Packing<o:p>"
           "</o:p></span></h1>\r\n<p class=MsoNormal>Take <span style='font-weight:bold'>"
           "boots</span><o:p></o:p></p>\r\n"
        + wordItem(1, "\xc2\xb7", "Clothes") + wordItem(2, "o", "Socks")
        + wordItem(1, "\xc2\xb7", "Food")
        + "<p class=MsoNormal><![if !vml]><img width=12 height=8 src=\"data:image/png;base64,"
        + png.toBase64() + "\" alt=Map><![endif]><img src=\"" + BrokenPicture + "\"><img src=\""
        + remote.toUtf8() + "logo.png\"><o:p></o:p></p>\r\n<!--EndFragment--></body></html>";
}

} // namespace

TEST_F(Journey, WordListsAndTheirPictureArePastedCleanAndKept)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString remote = u"http://127.0.0.1:%1/"_s.arg(server.serverPort());
    const QByteArray png = pngBytes(filledImage(12, 8, Qt::red));
    const QString storeName = md5Hex(png) + u".png"_s;

    window().newNote();
    clickInNote(u"body"_s);
    typeText(u"Trip"_s);
    pressKeys(u"Return"_s);
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('Trip')"_s));
    ASSERT_TRUE(offerClipboard(u"text/html"_s, wordHtml(png, remote)));
    const QString pasted = note() + u".querySelector('img[zv_exdata]') !== null"_s;
    LogCapture log;
    for (int paste = 0; paste < 2; ++paste) {
        pressKeys(u"ctrl+v"_s);
        ASSERT_TRUE(jsUntil(pasted, PasteTimeoutMs))
            << js(note() + u".body.innerHTML"_s).toString().toStdString();
        EXPECT_TRUE(jsUntil(u"document.getElementById('status-message').textContent == "
                            "'1 picture from the web was left out of the paste'"_s));
        if (paste == 0) {
            // One undo takes the whole paste back; the second paste stays.
            pressKeys(u"ctrl+z"_s);
            ASSERT_TRUE(jsUntil(u"!("_s + pasted + u") && "_s + note()
                                + u".body.innerText.trim() === 'Trip'"_s))
                << js(note() + u".body.innerHTML"_s).toString().toStdString();
        }
    }
    const QString shown = u"../userdata\\attachment\\"_s + storeName;
    const QString picture
        = u"<img width=\"12\" height=\"8\" src=\"%1\" alt=\"Map\" "
          "class=\"userdata\\attachment\\%2\" zv_exdata=\"{&quot;OrigName_B64&quot;:"
          "&quot;cGljdHVyZS5wbmc=&quot;}\" data-ke-src=\"%1\" zvimgsrc=\"%1\">"_s.arg(shown,
                                                                                      storeName);
    EXPECT_EQ(js(note() + u".body.innerHTML"_s).toString(),
              u"<p>Trip</p><h1>Packing</h1><p>Take <b>boots</b></p><ul><li>Clothes<ul><li>Socks"
              "</li></ul></li><li>Food</li></ul><p>"_s
                  + picture + u"</p>"_s);
    EXPECT_TRUE(jsUntil(u"Array.from("_s + note() + u".images).every(i => i.naturalHeight == 8)"_s,
                        PasteTimeoutMs));
    EXPECT_FALSE(server.hasPendingConnections()) << "the note asked the network for something";
    const QString broken
        = u"[ERROR] A pasted picture cannot be read: "_s + QLatin1StringView(BrokenPicture);
    const std::vector<QString> lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), broken), 2);

    editor().SaveEditor();
    const QString id = window().currentNoteId();
    EXPECT_EQ(readBytes(GetAttachRootDir() + u'/' + storeName), png);
    EXPECT_EQ(readBytes(GetAttachRootDir() + u'/' + id + u"/picture.png"_s), png);
    const QByteArray saved = savedNote(id);
    EXPECT_TRUE(saved.contains(picture.toUtf8())) << saved.toStdString();
    for (const char *gone : {"mso-", "Mso", "o:p", "supportLists", "StartFragment", "logo.png"})
        EXPECT_FALSE(saved.contains(gone)) << gone << " in " << saved.toStdString();
    finishJourney();
}
