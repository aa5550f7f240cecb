// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "bridge/editorevents.h"
#include "bridge/izveditornotify.h"
#include "common/appdirectory.h"
#include "common/log4c.h"
#include "editor/czorvaeditorimpl.h"
#include "testhelpers.h"

#include <QStringList>
#include <QTest>
#include <QWidget>

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
