// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// HTML from LibreOffice, Word and web pages pasted into the real editor page: the exact
// markup the note keeps, pictures stored by native code in place, pictures from the web left
// out with their status line, and one undo taking the paste back.
#include "skin/iewebbrowser.h"
#include "testhelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

const QString Png = QString::fromLatin1(pngBytes(filledImage(4, 4, Qt::red)).toBase64());
const QString DataPng = u"data:image/png;base64,"_s + Png;

// A document for LibreOffice Writer to open: a heading, formatted words, a nested list, a
// numbered list, a table and a picture.
QByteArray writerSource()
{
    return (u"<html><body><h1>Weekly plan</h1><p>Some <b>bold</b>, <i>italic</i> and "
            "<u>underlined</u> words</p><ul><li>Errands<ul><li>Bakery</li></ul></li>"
            "<li>Garden</li></ul><ol><li>Call Ann</li></ol><table border=\"1\"><tr><td>Day</td>"
            "<td>Task</td></tr></table><p><img src=\""_s
            + DataPng + u"\" width=\"4\" height=\"4\"></p></body></html>"_s)
        .toUtf8();
}

// Word's clipboard HTML for a heading, formatted words, a bulleted list with a second level,
// a numbered list with a lettered second level, a table, a link, a font and a picture.
QString wordClipboard(const QString &pictureSrc)
{
    const auto item = [](const char *kind, int level, int list, const QString &marker,
                         const QString &text) {
        return u"<p class=MsoListParagraphCx%1 style='margin-left:%2.0in;mso-add-space:auto;"
               "text-indent:-.25in;mso-list:l%3 level%2 lfo%4'><![if !supportLists]><span "
               "style='font-family:Symbol;mso-fareast-font-family:Symbol'><span "
               "style='mso-list:Ignore'>%5<span style='font:7.0pt \"Times New Roman\"'>"
               "&nbsp;&nbsp;&nbsp;&nbsp; </span></span></span><![endif]>%6<o:p></o:p></p>\r\n"_s
                   .arg(QLatin1StringView(kind))
                   .arg(level)
                   .arg(list)
                   .arg(list + 1)
                   .arg(marker, text);
    };
    return u"<html xmlns:v=\"urn:schemas-microsoft-com:vml\" "
           "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
           "xmlns:w=\"urn:schemas-microsoft-com:office:word\">\r\n<head><meta "
           "http-equiv=Content-Type content=\"text/html; charset=utf-8\"><meta name=ProgId "
           "content=Word.Document><!--[if gte mso 9]><xml><o:OfficeDocumentSettings><o:AllowPNG/>"
           "</o:OfficeDocumentSettings></xml><![endif]--><style><!--p.MsoNormal{margin:0in;"
           "font-size:11.0pt;font-family:\"Calibri\",sans-serif;}--></style></head>\r\n"
           "<body lang=EN-US style='tab-interval:.5in'>\r\n<!--StartFragment-->\r\n"
           "<h1><a name=\"_Toc1\"></a><span style='mso-fareast-font-family:\"Times New Roman\"'>"
           "Trip plan<o:p></o:p></span></h1>\r\n<p class=MsoNormal style='text-align:center'>"
           "Pack <span style='font-weight:bold'>early</span>, <span style='font-style:italic'>"
           "lightly</span> and <span style='text-decoration:underline;text-underline:single'>"
           "well</span><o:p></o:p></p>\r\n"_s
        + item("SpFirst", 1, 0, u"·"_s, u"Tickets"_s) + item("SpMiddle", 2, 0, u"o"_s, u"Train"_s)
        + item("SpMiddle", 2, 0, u"o"_s, u"Ferry"_s) + item("SpLast", 1, 0, u"·"_s, u"Passport"_s)
        + u"<p class=MsoNormal><o:p>&nbsp;</o:p></p>\r\n"_s
        + item("SpFirst", 1, 1, u"1."_s, u"Book"_s)
        + item("SpMiddle", 2, 1, u"a."_s, u"Compare <b>prices</b>"_s)
        + item("SpLast", 1, 1, u"2."_s, u"Pay"_s)
        + u"<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0 "
          "style='border-collapse:collapse;border:none;mso-yfti-tbllook:1184'>\r\n"
          "<tr style='mso-yfti-irow:0'><td width=312 valign=top style='width:233.75pt;"
          "border:solid windowtext 1.0pt;padding:0in 5.4pt 0in 5.4pt'><p class=MsoNormal><b>Day"
          "<o:p></o:p></b></p></td><td width=312 valign=top style='width:233.75pt'>"
          "<p class=MsoNormal>Place<o:p></o:p></p></td></tr>\r\n</table>\r\n"
          "<p class=MsoNormal><a href=\"https://example.org/route\">Route</a><span "
          "style='mso-spacerun:yes'>&nbsp; </span><font color=red face=Arial>by train</font>"
          "<o:p></o:p></p>\r\n<p class=MsoNormal><![if !vml]><img width=4 height=4 src=\""_s
        + pictureSrc
        + u"\" alt=Map v:shapes=\"Picture_x0020_1\"><![endif]><o:p></o:p></p>\r\n"
          "<!--EndFragment-->\r\n</body>\r\n</html>"_s;
}

const QString WordNote
    = u"<h1>Trip plan</h1><p style=\"text-align: center;\">Pack <b>early</b>, <i>lightly</i> "
      "and <u>well</u></p><ul><li>Tickets<ul><li>Train</li><li>Ferry</li></ul></li>"
      "<li>Passport</li></ul><p><br></p><ol><li>Book<ol><li>Compare <b>prices</b></li></ol>"
      "</li><li>Pay</li></ol><table border=\"1\" cellpadding=\"4\" "
      "cellspacing=\"0\"><tbody><tr><td><b>Day</b></td><td>Place</td></tr>"
      "</tbody></table><p><a href=\"https://example.org/route\">Route</a>&nbsp; by train</p>"_s;

class OfficePaste : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        window = new QWidget;
        window->resize(960, 640);
        view = showBuiltEditorPage(window);
        ASSERT_TRUE(view) << "the editor page did not load";
    }
    static void TearDownTestSuite() { delete window; }

    static QVariant js(const QString &script) { return runScript(view->page(), script); }

    void SetUp() override
    {
        js(u"jsProcessor('SetEditorContent', "_s + jsString(u"<p>Mine</p>"_s) + u")"_s);
        js(u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           "const r=d.createRange();r.setStart(d.body.firstChild.firstChild,4);"
           "d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s);
    }
    // The browser's paste of `html` at the caret.
    static void paste(const QString &html)
    {
        js(u"(function(){const data=new DataTransfer();data.setData('text/html',%1);"
           "Tavrik.editor.document().body.dispatchEvent(new ClipboardEvent('paste',"
           "{clipboardData:data,bubbles:true,cancelable:true}));})()"_s.arg(jsString(html)));
    }
    // The note's markup after the paragraph the paste went into.
    static QString pasted()
    {
        const QString body = js(u"Tavrik.editor.document().body.innerHTML"_s).toString();
        return body.startsWith(u"<p>Mine</p>"_s) ? body.mid(11) : u"(changed) "_s + body;
    }
    static QString status()
    {
        return js(u"document.getElementById('status-message').textContent"_s).toString();
    }

    static inline QWidget *window = nullptr;
    static inline IEWebBrowser *view = nullptr;
};

TEST_F(OfficePaste, LibreOfficeHtmlKeepsItsStructureOnly)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(writeBytes(work.filePath(u"plan.html"_s), writerSource()));
    QProcess soffice;
    soffice.setWorkingDirectory(work.path());
    soffice.start(u"soffice"_s,
                  {u"-env:UserInstallation=file://"_s + work.filePath(u"profile"_s),
                   u"--headless"_s, u"--infilter=HTML (StarWriter)"_s, u"--convert-to"_s,
                   u"html:HTML (StarWriter):EmbedImages"_s, u"--outdir"_s, work.filePath(u"out"_s),
                   u"plan.html"_s});
    ASSERT_TRUE(soffice.waitForFinished(120000)) << "LibreOffice did not finish";
    const QString html = QString::fromUtf8(readBytes(work.filePath(u"out/plan.html"_s)));
    ASSERT_TRUE(html.contains(u"content=\"LibreOffice"_s)) << html.toStdString();
    const QRegularExpressionMatch picture
        = QRegularExpression(u"src=\"(data:image/png;base64,[^\"]+)\""_s).match(html);
    ASSERT_TRUE(picture.hasMatch()) << html.toStdString();

    paste(html);
    EXPECT_EQ(pasted(),
              u"<h1>Weekly plan</h1><p>Some <b>bold</b>, <i>italic</i> and <u>underlined</u> "
              "words</p><ul><li>Errands<ul><li>Bakery</li></ul></li><li>Garden</li></ul><ol>"
              "<li>Call Ann</li></ol><table border=\"1\" cellpadding=\"4\" cellspacing=\"0\">"
              "<tbody><tr><td>Day</td><td>Task</td></tr>"
              "</tbody></table><p><img src=\""_s
                  + picture.captured(1) + u"\" width=\"4\" height=\"4\"></p>"_s);
}

TEST_F(OfficePaste, WordListParagraphsBecomeNestedListsOfTheirKind)
{
    paste(wordClipboard(DataPng));
    EXPECT_EQ(pasted(),
              WordNote + u"<p><img width=\"4\" height=\"4\" src=\""_s + DataPng
                  + u"\" alt=\"Map\"></p>"_s);
    EXPECT_EQ(status(), QString());

    // One undo takes the whole paste back.
    QTest::keyClick(view->focusProxy(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(
        waitForScript(view->page(), u"Tavrik.editor.document().body.innerHTML === '<p>Mine</p>'"_s))
        << pasted().toStdString();
}

TEST_F(OfficePaste, PicturesFromTheWebAreLeftOutAndCounted)
{
    const QString attachment = u"<img src=\"../userdata\\attachment\\0cc1.png\" "
                               u"class=\"userdata\\attachment\\0cc1.png\" "
                               "zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;YS5wbmc=&quot;}\">"_s;
    paste(u"<meta charset='utf-8'><h2 style=\"color: red;\">News</h2><p>Seen <img "
          "src=\"https://cdn.example.com/a.png\"> and <img src=\"//cdn.example.com/b.png\"> "
          "here <img src=\"file:///home/ann/gone.png\"></p>"_s
          + attachment);
    EXPECT_EQ(pasted(),
              u"<h2 style=\"color: red;\">News</h2><p>Seen  and  here </p>"_s + attachment);
    EXPECT_EQ(status(), u"2 pictures from the web were left out of the paste"_s);

    paste(u"<p>One <img src=\"http://example.org/x.gif\"></p>"_s);
    EXPECT_EQ(status(), u"1 picture from the web was left out of the paste"_s);
}

TEST_F(OfficePaste, PicturesNativeCodeStoredBecomeAttachments)
{
    const QString arg = QString::fromUtf8(
        QJsonDocument(QJsonObject{{u"html"_s, wordClipboard(DataPng)},
                                  {u"pictures"_s,
                                   QJsonArray{QJsonObject{
                                       {u"src"_s, DataPng},
                                       {u"picpath"_s, u"../userdata\\attachment\\0f1e.png"_s},
                                       {u"strData"_s, u"userdata\\attachment\\0f1e.png"_s},
                                       {u"exdata"_s, u"{\"OrigName_B64\":\"TWFwLnBuZw==\"}"_s}}}}})
            .toJson(QJsonDocument::Compact));
    const QString reply = js(u"jsProcessor('PasteHtml', "_s + jsString(arg) + u")"_s).toString();
    EXPECT_EQ(QJsonDocument::fromJson(reply.toUtf8()).object().value(u"result"_s).toBool(), true)
        << reply.toStdString();
    EXPECT_EQ(pasted(),
              WordNote
                  + u"<p><img width=\"4\" height=\"4\" src=\"../userdata\\attachment\\0f1e.png\" "
                    "alt=\"Map\" class=\"userdata\\attachment\\0f1e.png\" "
                    "zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;TWFwLnBuZw==&quot;}\" "
                    "data-ke-src=\"../userdata\\attachment\\0f1e.png\" "
                    "zvimgsrc=\"../userdata\\attachment\\0f1e.png\"></p>"_s);

    const QString bad = js(u"jsProcessor('PasteHtml', "_s
                           + jsString(u"{\"html\":\"<p>x</p>\",\"pictures\":{}}"_s) + u")"_s)
                            .toString();
    EXPECT_EQ(bad,
              u"{\"result\":false,\"errmsg\":\"bad argument: \\\"pictures\\\" must be a list\"}"_s);
}

} // namespace

TEST_F(OfficePaste, PicturesNativeCodeCouldNotStoreAreLeftOut)
{
    const QString gif = u"data:image/gif;base64,R0lGODlhAQABAAAAACw="_s;
    const QString arg = QString::fromUtf8(
        QJsonDocument(
            QJsonObject{{u"html"_s, QString(u"<p>Left <img src=\""_s + gif + u"\">out</p>"_s)},
                        {u"pictures"_s,
                         QJsonArray{QJsonObject{{u"src"_s, gif},
                                                {u"picpath"_s, u""_s},
                                                {u"strData"_s, u""_s},
                                                {u"exdata"_s, u""_s}}}}})
            .toJson(QJsonDocument::Compact));
    js(u"jsProcessor('PasteHtml', "_s + jsString(arg) + u")"_s);
    EXPECT_EQ(js(u"Tavrik.editor.document().body.innerHTML"_s), u"<p>MineLeft out</p>"_s);
    EXPECT_EQ(status(), QString()) << "no picture from the web";
}
