// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Notes arriving from another computer while the demo runs: the other computer writes with the
// notebook's own calls into its copy of the notebook folder, and what it changed comes in as
// Syncthing brings it: each file first as ".syncthing.<name>.tmp" beside its place, then
// renamed into place. The list follows, File > Check notebook counts a picture still on its way
// apart from problems, a note typed into here and changed there keeps both versions, and the
// engine's temporary files never become part of the notebook.
#include "journey.h"

#include "mainwindow.h"
#include "notebooksync.h"
#include "notelistmodel.h"
#include "notestore.h"

#include "attach/attachadder_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "common/appdirectory.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "noteversion.h"
#include "store/noteheads.h"
#include "testhelpers.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <map>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int Timeout = 30000;

// The digest of every file below `root`, by its path relative to `root`.
std::map<QString, QByteArray> digestsBelow(const QString &root)
{
    std::map<QString, QByteArray> digests;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        digests[QDir(root).relativeFilePath(path)]
            = QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256);
    }
    return digests;
}

// The second computer: its own application folder, holding its copy of the notebook folder as
// the sync engine last left it, and its own index of the notes.
class OtherComputer
{
public:
    explicit OtherComputer(QString here) : m_here(std::move(here)) { }

    // Receives the whole notebook folder, as a first sync does, and opens the notebook there.
    bool receiveAll()
    {
        const QString from = GetAttachRootDir();
        for (const auto &[path, digest] : digestsBelow(from)) {
            const QString target = root() + u'/' + path;
            if (!QDir().mkpath(QFileInfo(target).path())
                || !QFile::copy(from + u'/' + path, target))
                return false;
        }
        m_sent = digestsBelow(root());
        const Away away(*this);
        m_store = std::make_unique<NoteStore>(m_index.filePath(u"notes.db"_s),
                                              NoteHeads::DefaultFolder(), Device);
        return m_store->open();
    }

    // Saves the paragraph `text`, and `markup` after it, as the note's new version.
    void save(const QString &id, const QString &text, const QString &markup = {})
    {
        const Away away(*this);
        ASSERT_TRUE(saveNoteVersion(*m_store, id, u"<p>"_s + text + u"</p>"_s + markup, text))
            << m_store->lastError().toStdString();
    }

    // Saves `text` with a picture after it, and gives the note the title `title`.
    void saveWithPicture(const QString &id, const QString &text, const QString &title)
    {
        const QString source = m_index.filePath(u"quay.png"_s);
        ASSERT_TRUE(writeBytes(source, pngBytes(filledImage(48, 32, Qt::darkCyan))));
        QString markup;
        {
            const Away away(*this);
            DropFileInfo info;
            ASSERT_TRUE(DropFiles::BuildDropFileInfo(source, info));
            MAF_RESULT stored;
            ASSERT_EQ(AttachStore::MoveAttFile(id, info, stored), 1);
            markup = AttachAdder::AttachmentMarkup(info, stored);
        }
        save(id, text, markup);
        const Away away(*this);
        ASSERT_TRUE(m_store->renameNote(id, title)) << m_store->lastError().toStdString();
    }

    // What changed here since the last sync, as relative paths: heads last, as an engine that
    // brings them last would.
    QStringList changes() const
    {
        QStringList files;
        QStringList heads;
        for (const auto &[path, digest] : digestsBelow(root())) {
            const auto sent = m_sent.find(path);
            if (sent == m_sent.end() || sent->second != digest)
                (path.startsWith(u"heads/"_s) ? heads : files) << path;
        }
        return files + heads;
    }

    // Copies `paths` into this computer's notebook folder: each as the engine's temporary file
    // beside its place, left there while the program looks at the folder, then renamed over.
    void deliver(const QStringList &paths)
    {
        ASSERT_FALSE(paths.isEmpty());
        const QString live = GetAttachRootDir();
        QStringList temporary;
        for (const QString &path : paths) {
            const QFileInfo target(live + u'/' + path);
            ASSERT_TRUE(QDir().mkpath(target.path()));
            const QString tmp = target.path() + u"/.syncthing."_s + target.fileName() + u".tmp"_s;
            ASSERT_TRUE(writeBytes(tmp, readBytes(root() + u'/' + path))) << tmp.toStdString();
            temporary << tmp;
        }
        // The program notices the folders change and looks while the temporary files are there.
        QTest::qWait(NotebookSync::QuietMs * 4);
        for (int i = 0; i < paths.size(); ++i) {
            const QString target = live + u'/' + paths[i];
            ASSERT_EQ(std::rename(QFile::encodeName(temporary[i]).constData(),
                                  QFile::encodeName(target).constData()),
                      0)
                << target.toStdString();
        }
        for (const QString &path : paths) {
            m_sent[path] = QCryptographicHash::hash(readBytes(root() + u'/' + path),
                                                    QCryptographicHash::Sha256);
        }
    }

    static inline const QString Device = u"0123456789abcdef0123456789abcdef"_s;

private:
    QString root() const { return m_app.path() + u"/userdata/attachment"_s; }

    // The application folder is the other computer's while one of these lives.
    struct Away
    {
        explicit Away(const OtherComputer &other) : m_back(other.m_here)
        {
            SetAppDirectory(other.m_app.path() + u'/');
        }
        ~Away() { SetAppDirectory(m_back); }
        QString m_back;
    };

    QString m_here;
    QTemporaryDir m_app;
    QTemporaryDir m_index;
    std::unique_ptr<NoteStore> m_store;
    std::map<QString, QByteArray> m_sent; // what the engine brought across, by path
};

} // namespace

TEST_F(Journey, NotesFromAnotherComputerArriveAndAConflictOpensAsANoteOfItsOwn)
{
    // A first start of the program as it is installed: its notebook keeps heads.
    closeWindow();
    ASSERT_TRUE(QDir(GetAttachRootDir()).removeRecursively());
    ASSERT_TRUE(QFile::remove(notebookPath()));
    keepHeads();
    ASSERT_NO_FATAL_FAILURE(openWindow());
    auto *model = static_cast<NoteListModel *>(window().findChild<QListView *>()->model());
    const auto listed = [&](const QString &id, int role = Qt::DisplayRole) {
        return model->index(model->rowOf(id), 0).data(role).toString();
    };
    const auto pageText = [&] {
        return js(note() + u".body.innerText"_s).toString();
    };

    const QString welcome = window().noteIdByTitle(u"Welcome to Tavrik Notes"_s);
    const QString plan = window().noteIdByTitle(u"Weekly plan"_s);
    ASSERT_FALSE(welcome.isEmpty());
    ASSERT_FALSE(plan.isEmpty());
    ASSERT_TRUE(openNoteTitled(u"Welcome to Tavrik Notes"_s));
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('worth keeping')"_s));
    const QString welcomeText = pageText();

    auto other = std::make_unique<OtherComputer>(appFolder());
    ASSERT_TRUE(other->receiveAll());

    // Another note changes there, with a picture: the list follows, the open note stays.
    other->saveWithPicture(plan, u"The team call moves to Thursday."_s,
                           u"Weekly plan (Thursday)"_s);
    const QStringList planFiles = other->changes();
    // Its head, its note file, the picture as it shows and its kept copy in the note's folder;
    // the engine brings the picture's two files last.
    ASSERT_EQ(planFiles.size(), 4) << planFiles.join(u' ').toStdString();
    const QStringList picture = planFiles.filter(u".png"_s);
    ASSERT_EQ(picture.size(), 2) << planFiles.join(u' ').toStdString();
    QStringList first = planFiles;
    for (const QString &path : picture)
        first.removeAll(path);
    other->deliver(first);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return listed(plan, NoteListModel::PreviewRole)
                == u"The team call moves to Thursday."_s;
        },
        Timeout))
        << listed(plan, NoteListModel::PreviewRole).toStdString();
    EXPECT_EQ(listed(plan), u"Weekly plan (Thursday)"_s);
    EXPECT_EQ(window().currentNoteId(), welcome);
    EXPECT_EQ(pageText(), welcomeText);
    EXPECT_FALSE(window().notebookSync()->isVisible());

    // File > Check notebook from the keyboard while the picture is on its way: it is waiting
    // for sync, not a problem. The user closes the message with Return.
    QString checked;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            box && checked.isEmpty()) {
            checked = box->text();
            user.stop();
            pressKeys(u"Return"_s);
        }
    });
    user.start(100);
    QTimer::singleShot(Timeout, &user, [&] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    pressKeys(u"alt+f"_s);
    pressKeys(u"k"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !checked.isEmpty(); }, Timeout));
    EXPECT_EQ(checked,
              u"The notebook is sound: every file that has arrived is intact.\n\n"
              "2 file(s) saved on other devices are waiting for sync."_s);
    EXPECT_EQ(window().statusBar()->currentMessage(),
              u"Notebook checked: 0 problem(s); 2 file(s) waiting for sync"_s);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, Timeout));
    other->deliver(picture);

    // The open note changes there from the version opened here, while it is typed into here.
    other->save(welcome, u"Rewritten on the other computer."_s);
    // A paragraph of its own at the end of the note, below the pictures.
    caretToNoteEnd();
    pressKeys(u"Return"_s);
    typeText(u"Typed here."_s);
    ASSERT_TRUE(jsUntil(note() + u".body.lastElementChild.textContent === 'Typed here.'"_s))
        << pageText().right(120).toStdString();
    other->deliver(other->changes());
    // What the other computer's folder holds is out of reach here, as it is on another machine.
    other.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(welcome).startsWith(u"\u26A0"_s); }, Timeout))
        << listed(welcome).toStdString();
    EXPECT_EQ(listed(welcome), u"\u26A0 Welcome to Tavrik Notes"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().notebookSync()->isVisible(); }, Timeout));
    auto *open = window().notebookSync()->findChild<QPushButton *>(u"openOtherVersion"_s);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), u"Open the other version as a note"_s);
    // The version typed here is the newer one and stays open as typed.
    const QString typed = welcomeText + u"\n\nTyped here."_s;
    EXPECT_EQ(pageText(), typed);

    // Taken from the keyboard, the caret still in the note.
    pressKeys(u"alt+o"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().currentNoteId() != welcome; }, Timeout));
    const QString otherVersion = window().currentNoteId();
    EXPECT_EQ(listed(otherVersion), u"Welcome to Tavrik Notes (other version)"_s);
    EXPECT_EQ(listed(welcome), u"Welcome to Tavrik Notes"_s);
    EXPECT_FALSE(window().notebookSync()->isVisible());
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('other computer')"_s));
    EXPECT_EQ(pageText(), u"Rewritten on the other computer."_s);
    ASSERT_TRUE(openNoteTitled(u"Welcome to Tavrik Notes"_s));
    ASSERT_TRUE(jsUntil(note() + u".body.innerText.includes('Typed here.')"_s));
    EXPECT_EQ(pageText(), typed);

    // The engine's temporary files were passing through: none is a note's file, none is left,
    // and the store's own check finds the notebook sound.
    for (const NoteInfo &info : store().notes()) {
        for (const NoteFile &file : store().files(info.id))
            EXPECT_FALSE(file.storeName.contains(u".syncthing."_s)) << file.storeName.toStdString();
    }
    for (const auto &[path, digest] : digestsBelow(GetAttachRootDir()))
        EXPECT_FALSE(path.contains(u".syncthing."_s)) << path.toStdString();
    editor().SaveEditor();
    QProcess check;
    check.start(QStringLiteral(TAVRIK_STORE_PROGRAM),
                {u"check"_s, u"--app-dir"_s, appFolder(), u"--notebook"_s, notebookPath()});
    ASSERT_TRUE(check.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.state() == QProcess::NotRunning; }, Timeout));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
    EXPECT_EQ(check.readAllStandardOutput(), "0 finding(s)\n");
    finishJourney();
}
