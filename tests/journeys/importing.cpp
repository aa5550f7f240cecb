// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Bringing notes in from an Evernote export with File > Import…, by the keyboard alone.
#include "journey.h"

#include "mainwindow.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QByteArray exportWithAPicture(const QByteArray &picture)
{
    const QByteArray hash = md5Hex(picture).toLatin1();
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<en-export><note><title>Harbour "
           "walk</title>"
           "<content><![CDATA[<en-note><div>Boats at dusk.</div><div><en-todo checked=\"true\"/>"
           "Walk the pier</div><div><en-media hash=\""
        + hash
        + "\" type=\"image/png\"/></div></en-note>]]></content>"
          "<updated>20240102T083000Z</updated><resource><data encoding=\"base64\">"
        + picture.toBase64()
        + "</data><mime>image/png</mime><resource-attributes><file-name>boats.png</file-name>"
          "</resource-attributes></resource></note><note><title>Shopping</title><content>"
          "<![CDATA[<en-note><div><en-todo/>Film</div></en-note>]]></content></note></en-export>\n";
}

} // namespace

TEST_F(Journey, ImportFromTheFileMenuByKeyboardListsTheNotesAndOpensTheirPictures)
{
    QTemporaryDir in;
    const QString enex = in.filePath(u"trip.enex"_s);
    ASSERT_TRUE(writeBytes(enex, exportWithAPicture(pngBytes(filledImage(48, 32, Qt::darkCyan)))));

    // The user types the export's path into the file dialog, then closes the result with Return.
    QString chosen;
    QString result;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && chosen.isEmpty()) {
            chosen = enex;
            typeText(enex);
            pressKeys(u"Return"_s);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal); box && result.isEmpty()) {
            result = box->text();
            user.stop();
            pressKeys(u"Return"_s);
        }
    });
    user.start(100);
    QTimer::singleShot(30000, &user, [&] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    pressKeys(u"alt+f"_s);
    pressKeys(u"i"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !result.isEmpty(); }, 30000))
        << "no file dialog and result: " << chosen.toStdString();
    EXPECT_EQ(result, u"Imported 2 note(s)."_s);

    ASSERT_FALSE(window().noteIdByTitle(u"Shopping"_s).isEmpty());
    ASSERT_TRUE(openNoteTitled(u"Harbour walk"_s));
    EXPECT_TRUE(jsUntil(note()
                        + u".querySelector('li[data-checked=\"true\"]')?.textContent"
                          " === 'Walk the pier'"_s));
    EXPECT_TRUE(jsUntil(note() + u".images.length === 1 && "_s + note()
                        + u".images[0].complete && "_s + note()
                        + u".images[0].naturalWidth === 48"_s));
    finishJourney();
}
