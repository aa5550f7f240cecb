// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "markdownactions.h"

#include "mainwindow.h"

#include "bridge/zvwebnotehandler.h"
#include "common/iprompts.h"
#include "editor/czorvaeditorimpl.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QStatusBar>

using namespace Qt::StringLiterals;

MarkdownActions::MarkdownActions(MainWindow &window) : QObject(&window), m_window(window)
{
    m_copy = new QAction(tr("Copy as &Markdown"), this);
    m_copy->setToolTip(tr("Put the selected part of the note on the clipboard as Markdown text"));
    connect(m_copy, &QAction::triggered, this, &MarkdownActions::copySelection);
    m_paste = new QAction(tr("Paste as Mar&kdown"), this);
    m_paste->setToolTip(tr("Insert the clipboard's text read as Markdown"));
    connect(m_paste, &QAction::triggered, this, &MarkdownActions::paste);
    m_export = new QAction(tr("As Mar&kdown folder…"), this);
    m_export->setToolTip(
        tr("Markdown text (note.md) with the note's pictures and files beside it"));
    connect(m_export, &QAction::triggered, this, &MarkdownActions::exportCurrentNote);
    updateActions();
}

void MarkdownActions::updateActions()
{
    const bool hasNote = !m_window.currentNoteId().isEmpty();
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    m_copy->setEnabled(hasNote);
    m_paste->setEnabled(hasNote && !m_window.editor()->handler().IsReadOnly() && clipboard
                        && clipboard->hasText());
    m_export->setEnabled(hasNote);
}

void MarkdownActions::showMessage(const QString &text)
{
    m_window.statusBar()->showMessage(text);
}

bool MarkdownActions::copySelection()
{
    if (m_window.currentNoteId().isEmpty() || !m_window.editor()->handler().CopyAsMarkdown()) {
        showMessage(tr("Nothing to copy: select a part of the note first"));
        return false;
    }
    showMessage(tr("The selection is on the clipboard as Markdown"));
    return true;
}

bool MarkdownActions::paste()
{
    if (m_window.currentNoteId().isEmpty() || !m_window.editor()->handler().PasteAsMarkdown()) {
        showMessage(tr("Nothing was pasted: the clipboard holds no text the note can take"));
        return false;
    }
    return true;
}

void MarkdownActions::exportCurrentNote()
{
    if (m_window.currentNoteId().isEmpty())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString parent = TAVRIKCORE::RICHEDITOR::IPrompts::instance()->existingFolder(
        &m_window, tr("Export as Markdown: where to put it"), folder);
    if (!parent.isEmpty())
        exportCurrentNoteInto(parent);
}

bool MarkdownActions::exportCurrentNoteInto(const QString &parent)
{
    const QString id = m_window.currentNoteId();
    if (id.isEmpty())
        return false;
    // The export writes what was last saved, so the page's latest changes are saved first.
    m_window.editor()->SaveEditor();
    const QString folder = parent + u'/' + MainWindow::fileNameFor(m_window.noteTitle(id));
    QString error;
    if (m_window.editor()->ExportMarkdown(folder, error)) {
        showMessage(tr("Exported to %1").arg(QDir::toNativeSeparators(folder)));
        return true;
    }
    const QString text = tr("The note could not be exported: %1").arg(error);
    showMessage(text);
    TAVRIKCORE::RICHEDITOR::IPrompts::instance()->messageBox(
        &m_window, text, tr("Export as Markdown"), QMessageBox::Ok);
    return false;
}
