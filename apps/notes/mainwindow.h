// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attachmentopener.h"
#include "noteexport.h"

#include "bridge/izveditornotify.h"

#include <QMainWindow>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class AttachmentPane;
class NoteStore;
class NoteListModel;
class NoteFind;
class NoteSearch;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class NoteFileList;
class NotebookSync;
class QStackedWidget;
class QModelIndex;
struct NoteFile;

namespace TAVRIKCORE::RICHEDITOR {
class CZorvaEditorImpl;
class CZorvaUpDownView;
} // namespace TAVRIKCORE::RICHEDITOR

// The demo's main window: the note list on the left, the editor on the right. It stores
// what the editor saves in the NoteStore and opens attachments with the desktop's handler.
class MainWindow : public QMainWindow, public TAVRIKCORE::RICHEDITOR::IZvEditorNotify
{
    Q_OBJECT

public:
    explicit MainWindow(NoteStore &store, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The editor's callbacks.
    int OnSaveNote(const QString &noteId,
                   const std::vector<TAVRIKCORE::RICHEDITOR::NewAttachFile> &files,
                   const QString &plainText) override;
    void OnOpenAttachment(const QString &noteId, const QString &fileName,
                          const QString &origName) override;

    TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *editor() const { return m_editor; }
    TAVRIKCORE::RICHEDITOR::CZorvaUpDownView *splitView() const { return m_splitView; }
    AttachmentPane *attachmentPane() const { return m_attachmentPane; }
    const NoteStore &store() const { return m_store; }
    NoteSearch *noteSearch() const { return m_noteSearch; }
    NoteFind *noteFind() const { return m_find; }
    bool isEditorReady() const { return m_editorReady; }
    QString currentNoteId() const { return m_currentId; }

    // Shows the note with this id; false when it is not in the notebook.
    bool selectNote(const QString &id);
    // The id of the first note with this title; empty when there is none.
    QString noteIdByTitle(const QString &title) const;

    // Notes arrived from another device: the list follows, the open note is shown again when
    // `reopenCurrent` (its version changed, or files it lacked came) and left when it is gone.
    void notesArrived(bool reopenCurrent);
    NotebookSync *notebookSync() const { return m_sync; }

    // Opens attachments with `launch` instead of the desktop's handler.
    void setAttachmentLauncher(AttachmentOpener::Launcher launch) { m_launch = std::move(launch); }

    // The character limit of the demo's notes: far above the library's default, which suits
    // short texts; real notes hold whole pasted pages.
    static constexpr int NoteMaxChars = 5000000;

    // The title of a new note until its first line names it.
    static QString untitledTitle();
    // The notebook's list of a save's files, with the sizes of its attachments as stored.
    static std::vector<NoteFile>
    noteFiles(const std::vector<TAVRIKCORE::RICHEDITOR::NewAttachFile> &files,
              std::map<QString, quint64> &sizes);
    // A file name made from a note's title (characters file systems refuse become '_').
    static QString fileNameFor(const QString &title);
    QString noteTitle(const QString &id) const;
    // What the program says when its editor page is missing: the page and, one a line, the
    // folders it was looked for in (GetProgramFileFolders).
    static QString missingPageText();

public Q_SLOTS:
    void newNote();
    void deleteCurrentNote();
    void renameCurrentNote();
    void attachFiles();
    // Asks for a file name and exports the note as `format`.
    void exportCurrentNote(NoteExport::Format format);
    // Puts the whole note on the clipboard as HTML with its pictures, for a word processor
    // or another note. False (and a status message) when there is nothing to copy.
    bool copyCurrentNote();
    // Shows the note in a print preview, from which the user prints it.
    void printCurrentNote();
    // Exports without asking for a file name, as an ODT document when the name ends in ".odt",
    // a PDF when it ends in ".pdf", else as MHT. False (and a status message) on failure.
    bool exportCurrentNoteTo(const QString &path);
    void setCurrentReadOnly(bool readOnly);
    // Puts `text` into the search box, which marks its hits in the open note.
    void searchCurrentNote(const QString &text);

Q_SIGNALS:
    // The editor page has loaded and the first note is shown.
    void editorReady();
    // A note was stored after the editor saved it.
    void noteSaved(const QString &id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createActions();
    // Draws the toolbar's icons in the palette's colours.
    void updateIcons();
    QMenu *createThemeMenu();
    void onEditorLoaded();
    void onCurrentChanged(const QModelIndex &current);
    void activateRow(int row);
    void openNote(const QString &id);
    // Saves the open note before another one takes its place; a new note the user left
    // empty is discarded instead.
    void leaveCurrentNote();
    void showEmptyNotebook();
    void reloadList();
    void updateActions();
    void updateCount();
    void showMessage(const QString &text);
    void saveSession() const;
    void restoreSession();
    void removeUnusedFiles(const QString &noteId, const std::vector<QString> &paths);

    NoteStore &m_store;
    // What the editor's attachment monitor learns about notes that are not shown.
    std::unique_ptr<NoteFileList> m_fileList;
    NoteListModel *m_model = nullptr;
    QListView *m_list = nullptr;
    QWidget *m_editorFrame = nullptr;
    QStackedWidget *m_editorStack = nullptr;
    TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl *m_editor = nullptr;
    TAVRIKCORE::RICHEDITOR::CZorvaUpDownView *m_splitView = nullptr;
    AttachmentPane *m_attachmentPane = nullptr;
    NotebookSync *m_sync = nullptr; // with a notebook kept in heads only
    QLabel *m_countLabel = nullptr;
    QLineEdit *m_search = nullptr;
    NoteFind *m_find = nullptr;
    NoteSearch *m_noteSearch = nullptr;
    QAction *m_newAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_renameAction = nullptr;
    QAction *m_attachAction = nullptr;
    QAction *m_exportAction = nullptr;
    QAction *m_printAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_readOnlyAction = nullptr;
    QString m_currentId;
    QString m_lastNoteId; // the note open when the program last closed
    QString m_newNoteId; // the note made by newNote(), while the user has not named it
    AttachmentOpener::Launcher m_launch;
    bool m_editorReady = false;
    bool m_reloading = false;
};
