// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "import/enexfileimport.h"
#include "import/htmlfileimport.h"
#include "logcapture.h"
#include "notehtml/attachmarkup_p.h"
#include "store/notefolderexport.h"
#include "store/storecheck.h"
#include "storenotebook.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

QString md5Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

// An Evernote export written piece by piece, as the program writes one.
class Enex
{
public:
    Enex &note(const QString &title, const QString &enml, const QString &times = QString())
    {
        close();
        m_text += u"<note><title>"_s + title.toHtmlEscaped()
            + u"</title><content><![CDATA["
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
              "<!DOCTYPE en-note SYSTEM \"http://xml.evernote.com/pub/enml2.dtd\">"
              "<en-note>"_s
            + enml + u"</en-note>]]></content>"_s + times;
        m_open = true;
        return *this;
    }
    Enex &resource(const QByteArray &bytes, const QString &mime, const QString &name)
    {
        m_text += u"<resource><data encoding=\"base64\">\n"_s
            + QString::fromLatin1(bytes.toBase64()) + u"\n</data><mime>"_s + mime + u"</mime>"_s
            + (name.isEmpty() ? QString()
                              : u"<resource-attributes><file-name>"_s + name.toHtmlEscaped()
                       + u"</file-name></resource-attributes>"_s)
            + u"</resource>"_s;
        return *this;
    }
    QByteArray bytes(const QString &tail = u"</en-export>"_s)
    {
        close();
        return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<!DOCTYPE en-export SYSTEM \"http://xml.evernote.com/pub/evernote-export3.dtd\">\n"
                "<en-export export-date=\"20240105T101010Z\" application=\"Evernote\">"_s
                + m_text + tail)
            .toUtf8();
    }

private:
    void close()
    {
        if (m_open)
            m_text += u"</note>"_s;
        m_open = false;
    }
    QString m_text;
    bool m_open = false;
};

QString media(const QByteArray &bytes, const QString &type)
{
    return u"<en-media hash=\""_s + md5Of(bytes) + u"\" type=\""_s + type + u"\"/>"_s;
}

// A picture's markup as the page gives a picture dropped on the note.
QString pictureMarkup(const QByteArray &bytes, const QString &name)
{
    const QString shown = u"../userdata\\attachment\\"_s + md5Of(bytes) + u".png"_s;
    return u"<img src=\""_s + shown + u"\" class=\"userdata\\attachment\\"_s + md5Of(bytes)
        + u".png\" zv_exdata=\""_s
        + AttachMarkup::FormatOrigNameToJson(name).replace(u"\""_s, u"&quot;"_s)
        + u"\" data-ke-src=\""_s + shown + u"\" zvimgsrc=\""_s + shown + u"\">"_s;
}

class ImportTest : public StoreTest
{
protected:
    std::vector<ImportedNote> importEnex(const QByteArray &bytes, bool expectRead)
    {
        const QString path = m_src.filePath(u"export.enex"_s);
        EXPECT_TRUE(writeBytes(path, bytes));
        std::vector<ImportedNote> notes;
        std::pair<qint64, qint64> heard;
        EXPECT_EQ(EnexFileImport::Import(
                      path, [&](ImportedNote &note) { notes.push_back(note); }, skipped,
                      [&](qint64 done, qint64 total) {
                          heard = {done, total};
                      }),
                  expectRead);
        // The last word of the progress is the whole file.
        EXPECT_EQ(heard, std::make_pair(qint64(bytes.size()), qint64(bytes.size())));
        return notes;
    }
    // Saves the notes' files and checks the store as the notebook's check does.
    QStringList checkStore(const std::vector<ImportedNote> &notes)
    {
        std::vector<LiveNote> live;
        for (ImportedNote note : notes)
            live.push_back({note.noteId, save(note.html)});
        return named(StoreCheck::Run(live));
    }
    QStringList skippedLines() const
    {
        QStringList lines;
        for (const ImportSkip &skip : skipped)
            lines << QString::number(int(skip.reason)) + u' ' + skip.note + u'/' + skip.name + u'/'
                    + skip.detail;
        return lines;
    }

    std::vector<ImportSkip> skipped;
};

TEST_F(ImportTest, EnexNotesKeepTitlesTimesChecklistsPicturesAndFiles)
{
    const QByteArray picture = pngBytes(filledImage(30, 20, Qt::darkCyan));
    const QByteArray plan = "%PDF-1.4 trip plan";
    Enex enex;
    enex.note(u"Trip <1>"_s,
              u"<div>Day one &amp; two</div><div><en-todo checked=\"true\"/>Pack</div>"
              "<div><en-todo/>Buy film</div><div>"_s
                  + media(picture, u"image/png"_s) + u"</div><p>Plan: "_s
                  + media(plan, u"application/pdf"_s) + u" <en-todo/>call</p>"_s,
              u"<created>20240101T120000Z</created><updated>20240102T083000Z</updated>"_s)
        .resource(picture, u"image/png"_s, u"harbour.png"_s)
        .resource(plan, u"application/pdf"_s, u"plan.pdf"_s)
        .note(u"Unnamed picture"_s, media(picture, u"image/png"_s))
        .resource(picture, u"image/png"_s, QString())
        .note(u"New lists"_s,
              u"<ul style=\"--en-todo:true;\"><li style=\"--en-checked:true;\"><div>a</div></li>"
              "<li style=\"--en-checked:false;\"><div>b</div></li></ul>"_s);
    const std::vector<ImportedNote> notes = importEnex(enex.bytes(), true);
    EXPECT_EQ(skippedLines(), QStringList());
    ASSERT_EQ(notes.size(), size_t(3));

    const ImportedNote &trip = notes[0];
    EXPECT_EQ(trip.title, u"Trip <1>"_s);
    EXPECT_EQ(trip.created, QDateTime(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC));
    EXPECT_EQ(trip.updated, QDateTime(QDate(2024, 1, 2), QTime(8, 30), Qt::UTC));
    const QString card = u"<img src=\"(../userdata\\\\attachment\\\\[0-9a-f]{32}\\.bmp)\" "
                         "class=\"userdata\\\\attachment\\\\"_s
        + md5Of(plan)
        + u"\\.pdf\" zv_exdata=\"\\{&quot;OrigName_B64&quot;:&quot;cGxhbi5wZGY=&quot;\\}\""
          " data-ke-src=\"\\1\" zvimgsrc=\"\\1\">"_s;
    EXPECT_TRUE(matches(QRegularExpression::escape(
                            u"<div>Day one &amp; two</div><ul class=\"checklist\">"
                            "<li data-checked=\"true\">Pack</li><li data-checked=\"false\">Buy "
                            "film</li></ul><div>"_s
                            + pictureMarkup(picture, u"harbour.png"_s) + u"</div><p>Plan: "_s)
                            + card + u" ☐ call</p>"_s,
                        trip.html))
        << trip.html.toStdString();
    EXPECT_EQ(readBytes(root + trip.noteId + u"/harbour.png"_s), picture);
    EXPECT_EQ(readBytes(root + md5Of(picture) + u".png"_s), picture);
    EXPECT_EQ(readBytes(root + trip.noteId + u"/plan.pdf"_s), plan);

    // Without a file name a resource is named by its hash and type.
    EXPECT_EQ(notes[1].html, pictureMarkup(picture, md5Of(picture) + u".png"_s));
    EXPECT_EQ(notes[2].html,
              u"<ul class=\"checklist\"><li data-checked=\"true\"><div>a</div></li>"
              "<li data-checked=\"false\"><div>b</div></li></ul>"_s);
    EXPECT_EQ(checkStore(notes), QStringList());
    // No decoded resource is left in the store's root.
    EXPECT_EQ(QDir(root).entryList({u"*.tmp"_s}, QDir::Files), QStringList());
}

TEST_F(ImportTest, EnexBadResourcesAndABrokenTailAreListedAndTheRestImported)
{
    const QByteArray right = "the right bytes";
    const QByteArray atLimit(int(AttachAdder::MaxNoteAttachBytes), 'x');
    const QByteArray pastLimit(int(AttachAdder::MaxNoteAttachBytes) + 1, 'y');
    const QByteArray evil = "evil";
    Enex enex;
    enex.note(u"Faults"_s,
              u"<div>kept text</div>"_s + media(right, u"text/plain"_s)
                  + media(pastLimit, u"text/plain"_s) + media(evil, u"text/plain"_s)
                  + media(evil, u"text/plain"_s))
        .resource("the wrong bytes", u"text/plain"_s, u"right.txt"_s)
        .resource(pastLimit, u"text/plain"_s, u"big.txt"_s)
        .resource(evil, u"text/plain"_s, u"../../evil.txt"_s)
        .resource(evil, u"text/plain"_s, u"/etc/evil.txt"_s)
        .note(u"At the limit"_s, media(atLimit, u"text/plain"_s))
        .resource(atLimit, u"text/plain"_s, u"full.txt"_s);
    LogCapture log;
    const std::vector<ImportedNote> notes = importEnex(
        enex.bytes(u"<note><title>Cut</title><content>x</content><created>1</crea"_s), false);
    ASSERT_EQ(notes.size(), size_t(2));
    EXPECT_EQ(notes[0].html, u"<div>kept text</div>"_s);
    EXPECT_TRUE(notes[1].html.contains(QString::fromLatin1(QByteArray("full.txt").toBase64())));
    EXPECT_EQ(readBytes(root + notes[1].noteId + u"/full.txt"_s), atLimit);
    EXPECT_EQ(skippedLines(),
              QStringList({u"2 Faults/right.txt/"_s, u"3 Faults/big.txt/"_s,
                           u"4 Faults/../../evil.txt/"_s, u"4 Faults//etc/evil.txt/"_s,
                           u"1 /export.enex/line 13: expected '>'"_s}));
    const Lines lines = log.lines();
    ASSERT_GE(lines.size(), size_t(5));
    EXPECT_EQ(
        lines[0],
        u"[ERROR] Import skipped right.txt (its bytes do not match its hash, note \"Faults\")"_s);
    EXPECT_EQ(
        lines[1],
        u"[ERROR] Import skipped big.txt (past the note's attachment limit, note \"Faults\")"_s);
    EXPECT_EQ(
        lines[2],
        u"[ERROR] Import skipped ../../evil.txt (the name leads out of its folder, note \"Faults\")"_s);
    EXPECT_EQ(lines.back(),
              u"[ERROR] Import skipped export.enex (the XML breaks off: line 13: expected '>')"_s);
    // Nothing was written beside the export or outside the store.
    EXPECT_EQ(QDir(m_src.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({u"export.enex"_s}));
    EXPECT_FALSE(QFileInfo::exists(root + u"../evil.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(GetAttachRootDir() + u"/../../evil.txt"_s));
    EXPECT_EQ(checkStore(notes), QStringList());
    EXPECT_EQ(QDir(root).entryList({u"*.tmp"_s}, QDir::Files), QStringList());
}

TEST_F(ImportTest, EnexMalformedInsideItsShapeKeepsWhatIsSound)
{
    // A checklist box left open takes the rest of its line inside it, a note's text sits inside
    // a box, and markup interrupts a resource's Base64 data: no text is lost, nothing is kept of
    // the resource.
    Enex enex;
    enex.note(u"Nested"_s, u"<div><en-todo checked=\"true\"><en-todo/>inner</en-todo>eggs</div>"_s)
        .note(u"Inside"_s, u"<en-todo><en-note>lost</en-note></en-todo>"_s);
    QByteArray bytes = enex.bytes();
    bytes.replace("</content>", "</content><resource><data>QUJD<b/>REVG</data></resource>");
    const std::vector<ImportedNote> notes = importEnex(bytes, true);
    ASSERT_EQ(notes.size(), size_t(2));
    EXPECT_EQ(notes[0].html,
              u"<ul class=\"checklist\"><li data-checked=\"true\">☐ innereggs</li></ul>"_s);
    EXPECT_EQ(notes[1].html, u"☐ <en-note>lost</en-note>"_s);
    EXPECT_EQ(QDir(root).entryList({u"*.tmp"_s}, QDir::Files), QStringList());
}

TEST_F(ImportTest, EnexDeclaringEntitiesIsStoppedBeforeTheyExpand)
{
    // Ten levels of ten references: a billion copies if they were expanded.
    QString entities = u"<!ENTITY a0 \"laugh\">"_s;
    for (int level = 1; level < 10; ++level)
        entities
            += u"<!ENTITY a%1 \"%2\">"_s.arg(level).arg(u"&a%1;"_s.arg(level - 1).repeated(10));
    const QByteArray bytes = (u"<?xml version=\"1.0\"?>\n<!DOCTYPE en-export ["_s + entities
                              + u"]>\n<en-export><note><title>&a9;</title></note></en-export>"_s)
                                 .toUtf8();
    LogCapture log;
    EXPECT_TRUE(importEnex(bytes, false).empty());
    const QString why = u"line 2: the file declares entities, which an export never does"_s;
    EXPECT_EQ(skippedLines(), QStringList({u"1 /export.enex/"_s + why}));
    EXPECT_EQ(log.lines().back(),
              u"[ERROR] Import skipped export.enex (the XML breaks off: "_s + why + u')');
}

TEST_F(ImportTest, ExportedFolderComesBackAsTheSameNoteFile)
{
    const QByteArray red = pngBytes(filledImage(40, 30, Qt::red));
    const Added photo = attach(a, u"photo #1.png"_s, red);
    const Added report = attach(a, u"report.pdf"_s, "%PDF-1.4 report");
    const QString html = u"<p>Before &amp; <b>after</b></p><p>"_s + photo.element + u" "_s
        + report.element + u"</p><ul class=\"checklist\"><li data-checked=\"true\">x</li></ul>"_s;
    const QString noteFile = save(html);
    QTemporaryDir out;
    const NoteFolderExport::Result exported
        = NoteFolderExport::Export(a, noteFile, out.path(), u"Trip.html"_s);
    ASSERT_EQ(exported.error, QString());

    const std::optional<ImportedNote> note = HtmlFileImport::Import(exported.htmlPath, skipped);
    ASSERT_TRUE(note);
    EXPECT_EQ(skippedLines(), QStringList());
    EXPECT_EQ(note->title, u"Trip"_s);
    EXPECT_EQ(note->html, html);
    EXPECT_EQ(save(note->html), noteFile);
    EXPECT_EQ(readBytes(root + note->noteId + u"/report.pdf"_s), "%PDF-1.4 report");
    EXPECT_EQ(readBytes(root + note->noteId + u"/photo #1.png"_s), red);
    EXPECT_EQ(checkStore({*note}), QStringList());
}

TEST_F(ImportTest, HtmlPagePicturesFromItsFolderOnly)
{
    const QByteArray blue = pngBytes(filledImage(10, 10, Qt::blue));
    ASSERT_TRUE(writeBytes(m_src.filePath(u"page/pics/blue sky.png"_s), blue));
    ASSERT_TRUE(writeBytes(m_src.filePath(u"secret.png"_s), blue));
    const QString page = m_src.filePath(u"page/walk.html"_s);
    ASSERT_TRUE(writeBytes(
        page,
        "<html><head><title> Walk </title></head><body><p>Sky <img src=\"pics/blue%20sky.png\" "
        "width=\"9\"></p><img src=\"../secret.png\"><img src=\"/etc/secret.png\">"
        "<img src=\"pics/gone.png\"><img src=\"https://example.com/a.png\"></body></html>"));
    const std::optional<ImportedNote> note = HtmlFileImport::Import(page, skipped);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->title, u"Walk"_s);
    EXPECT_EQ(note->html,
              u"<p>Sky "_s + pictureMarkup(blue, u"blue sky.png"_s)
                  + u"</p><img src=\"https://example.com/a.png\">"_s);
    EXPECT_EQ(skippedLines(),
              QStringList({u"4 Walk/../secret.png/"_s, u"4 Walk//etc/secret.png/"_s,
                           u"5 Walk/gone.png/"_s}));
    EXPECT_EQ(checkStore({*note}), QStringList());

    skipped.clear();
    EXPECT_FALSE(HtmlFileImport::Import(m_src.filePath(u"none.html"_s), skipped));
    EXPECT_EQ(skippedLines(), QStringList({u"0 /none.html/No such file or directory"_s}));
}

} // namespace
