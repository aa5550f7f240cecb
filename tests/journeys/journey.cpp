// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "journey.h"

#include "attachmentpane.h"
#include "mainwindow.h"
#include "notebookcheck.h"
#include "notestore.h"
#include "samplenotebook.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "store/noteheads.h"
#include "testhelpers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWebEnginePage>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int PageTimeoutMs = 30000;
constexpr int ToolTimeoutMs = 20000;

QTemporaryDir *s_appFolder = nullptr;

// The attached files of a save as the pane names them.
QStringList attachedNames(const std::vector<NoteFile> &files)
{
    QStringList names;
    for (const NoteFile &file : files) {
        if (file.fileKind == 2)
            names << (file.origName.isEmpty() ? file.storeName : file.origName);
    }
    return names;
}

// The last lines of the program's log, for a failure's report.
QString logTail()
{
    QFile log(GetAppDirectory() + u"ZorvaEditor.log"_s);
    if (!log.open(QIODevice::ReadOnly))
        return u"(no log)"_s;
    const QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n');
    return lines.mid(std::max<qsizetype>(0, lines.size() - 30)).join(u'\n');
}

// A busy machine can hold a key down longer than the X server's repeat delay between the
// tool's press and release; a repeated Control+V would paste twice. Nobody holds keys here.
void switchOffKeyRepeat()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (!xcb_connection_has_error(connection)) {
        const uint32_t mode = XCB_AUTO_REPEAT_MODE_OFF;
        std::free(xcb_request_check(
            connection,
            xcb_change_keyboard_control_checked(connection, XCB_KB_AUTO_REPEAT_MODE, &mode)));
    }
    xcb_disconnect(connection);
}

} // namespace

void Journey::SetUpTestSuite()
{
    QStandardPaths::setTestModeEnabled(true);
    switchOffKeyRepeat();
    // The page and icons are the build's program files; the app folder holds user data only.
    s_appFolder = new QTemporaryDir;
}

void Journey::TearDownTestSuite()
{
    SetAppDirectory(QString());
    delete s_appFolder;
    s_appFolder = nullptr;
}

void Journey::SetUp()
{
    ASSERT_TRUE(m_folder.isValid());
    // Every journey starts with an empty attachment store of its own.
    QDir(s_appFolder->filePath(u"userdata"_s)).removeRecursively();
    SetAppDirectory(s_appFolder->path() + u'/');
    openWindow();
}

void Journey::TearDown()
{
    m_window.reset();
    m_store.reset();
}

void Journey::openWindow()
{
    if (m_keepHeads) {
        QString error;
        const QString device = NoteHeads::DeviceId(NoteHeads::DeviceIdPath(), error);
        ASSERT_FALSE(device.isEmpty()) << error.toStdString();
        m_store = std::make_unique<NoteStore>(notebookPath(), NoteHeads::DefaultFolder(), device);
    } else {
        m_store = std::make_unique<NoteStore>(notebookPath());
    }
    ASSERT_TRUE(m_store->open()) << m_store->lastError().toStdString();
    // As the program starts: the sample notebook the first time.
    QString error;
    SampleNotebook::populate(*m_store, &error);
    ASSERT_TRUE(error.isEmpty()) << "sample notebook: " << error.toStdString();
    m_window = std::make_unique<MainWindow>(*m_store);
    m_window->resize(1100, 760);
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->isEditorReady(); }, PageTimeoutMs))
        << "the editor page did not report its load: loaded " << m_window->editor()->pageLoaded()
        << ", at " << m_window->editor()->url().toString().toStdString() << ", title \""
        << m_window->editor()->title().toStdString() << "\", log:\n"
        << logTail().toStdString();
}

void Journey::closeWindow()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    m_store.reset();
}

CZorvaEditorImpl &Journey::editor() const
{
    return *m_window->editor();
}

QString Journey::notebookPath() const
{
    return m_folder.filePath(u"notes.db"_s);
}

QString Journey::appFolder() const
{
    return s_appFolder->path() + u'/';
}

QVariant Journey::js(const QString &script) const
{
    return runScript(m_window->editor()->page(), script);
}

bool Journey::jsUntil(const QString &condition, int timeoutMs) const
{
    return waitForScript(m_window->editor()->page(), condition, timeoutMs);
}

QByteArray Journey::savedNote(const QString &id) const
{
    const std::vector<QString> files = m_store->noteFileNames(id);
    return files.empty() ? QByteArray() : readBytes(GetAttachRootDir() + u'/' + files.front());
}

bool Journey::xdotool(const QStringList &args)
{
    QProcess tool;
    tool.start(u"xdotool"_s, args);
    // The program keeps taking events in while the tool sends them.
    const bool done = tool.waitForStarted()
        && QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, ToolTimeoutMs);
    waitForInput();
    EXPECT_TRUE(done && tool.exitCode() == 0) << "xdotool " << args.join(u' ').toStdString() << ": "
                                              << tool.readAllStandardError().toStdString();
    return done && tool.exitCode() == 0;
}

void Journey::typeText(const QString &text)
{
    xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"--"_s, text});
}

void Journey::pressKeys(const QString &keys)
{
    xdotool({u"key"_s, u"--delay"_s, u"40"_s, keys});
}

void Journey::click(QWidget *widget, const QPoint &pos, int button)
{
    const QPoint global = widget->mapToGlobal(pos);
    xdotool({u"mousemove"_s, u"--sync"_s, QString::number(global.x()), QString::number(global.y()),
             u"click"_s, QString::number(button)});
}

void Journey::clickInNote(const QString &selector, int button)
{
    const QVariantList xy
        = js(u"(function(){const f=Tavrik.editor.frame().getBoundingClientRect();"
             "const e=Tavrik.editor.document().querySelector(%1);if(!e)return [];"
             "e.scrollIntoView({block:'center'});const r=e.getBoundingClientRect();"
             "return [f.x+r.x+r.width/2,f.y+r.y+r.height/2];})()"_s.arg(
                 u"'"_s + QString(selector).replace(u'\'', u"\\'"_s) + u"'"_s))
              .toList();
    ASSERT_EQ(xy.size(), 2) << "nothing in the note matches " << selector.toStdString();
    click(editor().GetWebBrowseHwnd(), QPoint(xy[0].toInt(), xy[1].toInt()), button);
}

void Journey::caretToNoteEnd()
{
    clickInNote(u"body > :last-child"_s);
    pressKeys(u"ctrl+End"_s);
}

bool Journey::offerClipboard(const QString &mimeType, const QByteArray &data)
{
    QProcess xclip;
    // xclip hands the data to whoever asks until another program takes the clipboard.
    xclip.start(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-t"_s, mimeType, u"-i"_s});
    if (!xclip.waitForStarted())
        return false;
    xclip.write(data);
    xclip.closeWriteChannel();
    const bool done
        = QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, ToolTimeoutMs);
    waitForInput();
    return done && xclip.exitCode() == 0;
}

bool Journey::openNoteTitled(const QString &title)
{
    const QString id = m_window->noteIdByTitle(title);
    return !id.isEmpty() && m_window->selectNote(id);
}

void Journey::waitForInput(int ms)
{
    QTest::qWait(ms);
}

void Journey::finishJourney()
{
    ASSERT_TRUE(m_window);
    editor().SaveEditor();
    const NotebookCheck check = NotebookCheck::Run(*m_store);
    EXPECT_TRUE(check.clean()) << check.report().toStdString();
    std::printf("%s\n", qPrintable(check.report()));

    // Each note opens again with exactly what was saved: opening and saving it makes no new
    // version, and its note file keeps its bytes.
    for (const NoteInfo &note : m_store->notes()) {
        const std::vector<QString> saved = m_store->noteFileNames(note.id);
        ASSERT_FALSE(saved.empty()) << "note " << note.title.toStdString() << " was never saved";
        const QString file = GetAttachRootDir() + u'/' + saved.front();
        const QByteArray bytes = readBytes(file);
        ASSERT_TRUE(m_window->selectNote(note.id)) << note.title.toStdString();
        ASSERT_TRUE(jsUntil(u"Tavrik.editor.document().readyState === 'complete'"_s));
        editor().SaveEditor();
        EXPECT_EQ(m_store->noteFileNames(note.id), saved)
            << "opening " << note.title.toStdString() << " and saving it made a new version";
        EXPECT_EQ(readBytes(file), bytes) << note.title.toStdString();
        EXPECT_EQ(m_window->attachmentPane()->names(), attachedNames(m_store->files(note.id)))
            << "the pane of " << note.title.toStdString();
    }
}
