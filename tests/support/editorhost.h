// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "bridge/editorevents.h"
#include "bridge/izveditornotify.h"
#include "common/appdirectory.h"
#include "common/commonutils.h"
#include "common/log4c.h"
#include "editor/czorvaeditorimpl.h"
#include "notehtml/notehtmlrw.h"
#include "testhelpers.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

// A host window for the editor: records every save and every attachment it is asked to open
// (as "note|file|original name"), and counts the page-loaded events the editor sends it.
class EditorHost : public QWidget, public TAVRIKCORE::RICHEDITOR::IZvEditorNotify
{
public:
    struct Save
    {
        QString noteId;
        std::vector<TAVRIKCORE::RICHEDITOR::NewAttachFile> files;
        QString plainText;
    };

    int OnSaveNote(const QString &noteId,
                   const std::vector<TAVRIKCORE::RICHEDITOR::NewAttachFile> &files,
                   const QString &plainText) override
    {
        saves.push_back({noteId, files, plainText});
        return acceptSaves ? 1 : 0;
    }
    void OnOpenAttachment(const QString &noteId, const QString &file, const QString &name) override
    {
        opened << noteId + u'|' + file + u'|' + name;
    }

    std::vector<Save> saves;
    QStringList opened;
    bool acceptSaves = true; // the answer to every save
    int pageLoadedEvents = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != TAVRIKCORE::RICHEDITOR::EditorPageLoadedEvent)
            return QWidget::event(event);
        ++pageLoadedEvents;
        return true;
    }
};

// Creates `editor` in `host`, which gets its notifications, shows the host and waits until the
// page has loaded (30 s at most).
inline bool openEditor(TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *editor, EditorHost *host,
                       const QRect &rect = QRect(0, 0, 800, 600), int id = 1)
{
    editor->SetZvEditorNotify(host);
    if (editor->Create(host, rect, id, TAVRIKCORE::RICHEDITOR::IEWebBrowser::StyleVisible) != 1)
        return false;
    host->show();
    return QTest::qWaitFor([host] { return host->pageLoadedEvents > 0; }, 30000);
}

// The tests of a suite share one application folder (the editor page is the build's); the log
// stays in the program's folder.
class EditorPageSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TAVRIKCORE::RICHEDITOR::CLog4C::GetInstance();
        s_app = new QTemporaryDir;
        TAVRIKCORE::RICHEDITOR::SetAppDirectory(s_app->path());
    }
    static void TearDownTestSuite()
    {
        TAVRIKCORE::RICHEDITOR::SetAppDirectory(QString());
        delete s_app;
    }

    static inline QTemporaryDir *s_app = nullptr;
};

// An editor filling a shown host window, its page loaded, in the suite's application folder;
// and the ways a test types into the page and opens notes.
class EditorInHostTest : public EditorPageSuite
{
protected:
    void SetUp() override
    {
        m_host = std::make_unique<EditorHost>();
        m_host->resize(900, 700);
        m_layout = new QVBoxLayout(m_host.get());
        m_editor = new TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl;
        m_layout->addWidget(m_editor);
        ASSERT_TRUE(openEditor(m_editor, m_host.get())) << "the editor page did not load";
        QApplication::setActiveWindow(m_host.get());
    }
    void TearDown() override { m_host.reset(); }

    QVariant runInPage(const QString &script) { return runScript(m_editor->page(), script); }
    // The note's text as the page shows it, trimmed.
    QString pageText()
    {
        return runInPage(QStringLiteral("Tavrik.editor.document().body.innerText"))
            .toString()
            .trimmed();
    }
    void focusEditor()
    {
        QWidget *inner = m_editor->GetWebBrowseHwnd();
        ASSERT_NE(inner, nullptr);
        inner->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return inner->hasFocus(); }, 2000));
    }
    void putCaretAtEnd()
    {
        runInPage(
            QStringLiteral("(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
                           "const r=d.createRange();r.selectNodeContents(d.body);r.collapse(false);"
                           "const s=d.getSelection();s.removeAllRanges();s.addRange(r);})()"));
    }
    // Types at the end of the note with real key events, one per character with its text (so
    // any script works), and waits until the page shows them.
    void typeAtEnd(const QString &text)
    {
        focusEditor();
        putCaretAtEnd();
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, m_editor->GetWebBrowseHwnd(), Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pageText().endsWith(text.trimmed()); }, 5000))
            << "typing did not reach the page: " << pageText().toStdString();
    }
    // Lets a save that does not block the window finish (the page answers in order).
    void settle()
    {
        runInPage(QStringLiteral("0"));
        QCoreApplication::processEvents();
    }
    // Stores `content` as the note `id`'s only file and opens it.
    void loadNote(const QString &id, const QString &content,
                  const std::map<QString, quint64> &sizes = {})
    {
        const QString name = id + QStringLiteral(".html");
        ASSERT_EQ(TAVRIKCORE::RICHEDITOR::NoteHtmlRW::WriteHtmlTextFile(
                      TAVRIKCORE::RICHEDITOR::GetAttachRootDir() + u'/' + name, content, 2),
                  1);
        m_editor->LoadEditor(id, {name}, sizes, false);
    }

    std::unique_ptr<EditorHost> m_host;
    QVBoxLayout *m_layout = nullptr;
    TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *m_editor = nullptr;
};
