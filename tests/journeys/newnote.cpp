// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A new note after one with attachments: the pane lists only the new note's own files, from
// its first moment on.
#include "journey.h"

#include "attachmentpane.h"
#include "mainwindow.h"
#include "notestore.h"

#include "testhelpers.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

using namespace Qt::StringLiterals;

TEST_F(Journey, NewNoteShowsNoFilesAndAFilePastedShowsAtOnce)
{
    ASSERT_TRUE(openNoteTitled(u"Welcome to Tavrik Notes"_s));
    AttachmentPane *pane = window().attachmentPane();
    ASSERT_EQ(pane->names(), (QStringList{u"Harbour at dusk.png"_s, u"Packing list.txt"_s}));
    QPushButton *open = nullptr;
    for (QPushButton *button : pane->findChildren<QPushButton *>())
        open = button->text() == u"Open"_s ? button : open;
    auto *list = pane->findChild<QTreeWidget *>();
    ASSERT_TRUE(open && list);
    click(list->viewport(), list->visualItemRect(list->topLevelItem(1)).center());
    ASSERT_TRUE(open->isEnabled());

    pressKeys(u"ctrl+n"_s);
    EXPECT_EQ(pane->names(), QStringList()) << "the new note lists the files of the one before";
    EXPECT_FALSE(open->isEnabled());

    // A file copied in the file manager and pasted into the note.
    QTemporaryDir files;
    const QString path = files.filePath(u"boarding pass.txt"_s);
    ASSERT_TRUE(writeBytes(path, "Gate 12, seat 4C"));
    ASSERT_TRUE(offerClipboard(u"text/uri-list"_s, QUrl::fromLocalFile(path).toEncoded() + "\r\n"));
    pressKeys(u"ctrl+v"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane->names().isEmpty(); }, 10000))
        << "the pasted file is not listed";
    EXPECT_EQ(pane->names(), QStringList{u"boarding pass.txt"_s});
    EXPECT_EQ(readBytes(pane->pathAt(0)), "Gate 12, seat 4C");
    finishJourney();
}
