// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "mainwindow.h"

#include "attachmentopener.h"
#include "attachmentpane.h"
#include "editorappearance.h"
#include "markdownactions.h"
#include "notebooksync.h"
#include "noteexport.h"
#include "notefilelist.h"
#include "notefind.h"
#include "noteimport.h"
#include "noteitemdelegate.h"
#include "notelistmodel.h"
#include "notesearch.h"
#include "notesicons.h"
#include "notestore.h"
#include "screencapturedemo.h"
#include "storeactions.h"

#include "bridge/editorevents.h"
#include "common/commonutils.h"
#include "common/iprompts.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/czorvaupdownview.h"
#include "editor/noteprinting.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextDocumentFragment>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int AutoTitleLength = 60;

} // namespace

// Characters that no file system likes become '_'.
QString MainWindow::fileNameFor(const QString &title)
{
    QString name = title.trimmed();
    for (QChar &c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<'
            || c == u'>' || c == u'|' || c.unicode() < 0x20)
            c = u'_';
    }
    return name.isEmpty() ? MainWindow::untitledTitle() : name;
}

namespace {

// The first line of the text that is not blank, as a title.
QString firstLine(const QString &plainText)
{
    const QStringList lines = plainText.split(u'\n');
    for (const QString &candidate : lines) {
        QString line = candidate.simplified();
        if (line.isEmpty())
            continue;
        if (line.size() > AutoTitleLength)
            line = line.left(AutoTitleLength - 1) + QChar(0x2026);
        return line;
    }
    return {};
}

// True for a note without text, pictures, files, tables or lines: nothing a user would keep.
bool isBlankNote(const QString &html)
{
    for (const QLatin1StringView element : {"<img"_L1, "<table"_L1, "<hr"_L1}) {
        if (html.contains(element, Qt::CaseInsensitive))
            return false;
    }
    return QTextDocumentFragment::fromHtml(html).toPlainText().trimmed().isEmpty();
}

} // namespace

QString MainWindow::untitledTitle()
{
    return tr("Untitled note");
}

MainWindow::MainWindow(NoteStore &store, QWidget *parent) : QMainWindow(parent), m_store(store)
{
    setWindowTitle(QApplication::applicationDisplayName());
    setWindowIcon(NotesIcons::application());
    resize(1180, 760);

    m_model = new NoteListModel(m_store, this);
    connect(m_model, &NoteListModel::renameFailed, this,
            [this](const QString &reason) { showMessage(reason); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        if (!m_currentId.isEmpty())
            setWindowTitle(noteTitle(m_currentId));
        if (m_currentId == m_newNoteId && noteTitle(m_currentId) != untitledTitle())
            m_newNoteId.clear();
    });

    m_list = new QListView;
    m_list->setModel(m_model);
    m_list->setItemDelegate(new NoteItemDelegate(m_list));
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setMinimumWidth(220);
    m_list->setFrameShape(QFrame::NoFrame);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onCurrentChanged(current); });

    m_editorFrame = new QWidget;
    auto *frameLayout = new QVBoxLayout(m_editorFrame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_editor = new CZorvaEditorImpl;
    // The note's hits are marked as the user types.
    m_find = new NoteFind(m_editor->handler(), this);
    m_search = m_find->field();
    m_search->setPlaceholderText(tr("Search in this note"));
    frameLayout->addWidget(m_find);
    if (m_store.usesHeads()) {
        m_sync = new NotebookSync(*this, m_store);
        frameLayout->addWidget(m_sync);
    }
    m_editor->SetZvEditorNotify(this);
    m_fileList = std::make_unique<NoteFileList>(m_store.databasePath());
    m_editor->SetAttachFileListSource(m_fileList.get());
    // The editor above, the open note's attachments below; the bar folds the list away.
    m_splitView = new CZorvaUpDownView;
    m_splitView->Create(m_editorFrame, QRect(0, 0, 800, 700), 1000);
    frameLayout->addWidget(m_splitView, 1);
    m_editor->Create(m_splitView, QRect(0, 0, 800, 480), 1001, IEWebBrowser::StyleVisible);
    new EditorAppearance(m_editor);
    m_attachmentPane = new AttachmentPane(m_splitView);
    m_attachmentPane->setOpenHandler([this](const QString &storeName, const QString &origName) {
        OnOpenAttachment(m_currentId, storeName, origName);
    });
    m_splitView->SetSplitterWnd(m_editor, m_attachmentPane);
    m_splitView->installEventFilter(this);

    auto *empty = new QLabel(u"<p style='font-size:15pt'>%1</p><p>%2</p>"_s.arg(
        tr("Your notebook is empty"),
        tr("Press <b>New note</b> (Ctrl+N) to write your first note.")));
    empty->setAlignment(Qt::AlignCenter);
    empty->setEnabled(false);

    m_editorStack = new QStackedWidget;
    m_editorStack->addWidget(m_editorFrame);
    m_editorStack->addWidget(empty);

    // The search of all notes above the list; its results take the list's place.
    m_noteSearch = new NoteSearch(m_store);
    connect(m_noteSearch, &NoteSearch::activeChanged, m_list, &QWidget::setHidden);
    connect(m_noteSearch, &NoteSearch::noteChosen, this,
            [this](const QString &id, const QString &word) {
                if (selectNote(id))
                    searchCurrentNote(word);
            });
    connect(m_noteSearch, &NoteSearch::indexingFailed, this, &MainWindow::showMessage);
    connect(m_model, &QAbstractItemModel::modelReset, m_noteSearch, &NoteSearch::refresh);
    connect(m_model, &QAbstractItemModel::dataChanged, m_noteSearch, &NoteSearch::refresh);
    auto *notesPane = new QWidget;
    auto *notesLayout = new QVBoxLayout(notesPane);
    notesLayout->setContentsMargins(0, 0, 0, 0);
    notesLayout->addWidget(m_noteSearch);
    notesLayout->addWidget(m_list, 1);

    auto *splitter = new QSplitter;
    splitter->addWidget(notesPane);
    splitter->addWidget(m_editorStack);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 900});
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    // Tab leaves the find bar for the list: in the note, Tab is a key that types.
    setTabOrder(m_find->lastControl(), m_list);

    restoreSession();

    m_countLabel = new QLabel;
    statusBar()->addPermanentWidget(m_countLabel);
    createActions();
    updateCount();
    updateActions();
    showMessage(tr("Loading the editor…"));
}

MainWindow::~MainWindow()
{
    // The editor must not call back into a half-destroyed window.
    m_editor->SetZvEditorNotify(nullptr);
    m_editor->SetAttachFileListSource(nullptr);
}

void MainWindow::createActions()
{
    m_newAction = new QAction(tr("&New note"), this);
    m_newAction->setShortcut(QKeySequence::New);
    m_newAction->setToolTip(tr("Start a new note (Ctrl+N)"));
    connect(m_newAction, &QAction::triggered, this, &MainWindow::newNote);

    m_deleteAction = new QAction(tr("&Delete"), this);
    m_deleteAction->setShortcut(QKeySequence(u"Ctrl+Shift+D"_s));
    m_deleteAction->setToolTip(tr("Delete the selected note"));
    connect(m_deleteAction, &QAction::triggered, this, &MainWindow::deleteCurrentNote);

    m_renameAction = new QAction(tr("&Rename"), this);
    m_renameAction->setShortcut(Qt::Key_F2);
    m_renameAction->setToolTip(tr("Rename the selected note (F2)"));
    connect(m_renameAction, &QAction::triggered, this, &MainWindow::renameCurrentNote);

    m_attachAction = new QAction(tr("&Attach files…"), this);
    m_attachAction->setToolTip(tr("Add files to the note"));
    connect(m_attachAction, &QAction::triggered, this, &MainWindow::attachFiles);

    m_exportAction = new QAction(tr("&Export"), this);
    m_exportAction->setToolTip(tr("Save the note as a document for a word processor"));
    m_exportAction->setMenu(NoteExport::createMenu(
        this, [this](NoteExport::Format format) { exportCurrentNote(format); }));

    m_printAction = new QAction(tr("&Print…"), this);
    m_printAction->setShortcut(QKeySequence::Print);
    m_printAction->setToolTip(tr("Print the note, with a preview first"));
    connect(m_printAction, &QAction::triggered, this, &MainWindow::printCurrentNote);

    m_copyAction = new QAction(tr("&Copy note"), this);
    m_copyAction->setToolTip(tr("Copy the whole note with its pictures"));
    connect(m_copyAction, &QAction::triggered, this, &MainWindow::copyCurrentNote);

    m_readOnlyAction = new QAction(tr("Read-&only"), this);
    m_readOnlyAction->setCheckable(true);
    m_readOnlyAction->setToolTip(tr("Protect the note from changes"));
    connect(m_readOnlyAction, &QAction::toggled, this, &MainWindow::setCurrentReadOnly);

    auto *quit = new QAction(tr("&Quit"), this);
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_newAction);
    file->addAction(m_exportAction);
    file->addAction(m_printAction);
    auto *storeActions = new StoreActions(*this, m_store);
    file->addAction(storeActions->exportAction());
    file->addAction(NoteImport::createAction(*this, m_store, [this] { reloadList(); }));
    file->addSeparator();
    file->addAction(storeActions->checkAction());
    file->addAction(storeActions->cleanAction());
    file->addSeparator();
    file->addAction(quit);
    auto *markdown = new MarkdownActions(*this);
    m_exportAction->menu()->addAction(markdown->exportAction());
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(markdown->copyAction());
    edit->addAction(markdown->pasteAction());
    connect(edit, &QMenu::aboutToShow, markdown, &MarkdownActions::updateActions);
    connect(m_exportAction->menu(), &QMenu::aboutToShow, markdown, &MarkdownActions::updateActions);
    QMenu *note = menuBar()->addMenu(tr("&Note"));
    note->addAction(m_renameAction);
    note->addAction(m_attachAction);
    note->addAction(ScreenCaptureDemo::createAction(*this));
    note->addAction(m_copyAction);
    note->addAction(m_readOnlyAction);
    note->addSeparator();
    note->addAction(m_deleteAction);
    menuBar()->addMenu(tr("&View"))->addMenu(createThemeMenu());
    updateIcons();

    QToolBar *bar = addToolBar(tr("Notes"));
    bar->setObjectName(u"notesToolBar"_s);
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(20, 20));
    bar->setStyleSheet(u"QToolButton { padding: 3px 6px; border-radius: 4px; }"
                       "QToolButton:hover { background: palette(midlight); }"
                       "QToolButton:checked { background: palette(highlight);"
                       " color: palette(highlighted-text); }"
                       // The button that lists the actions a narrow window has no room for.
                       "QToolButton#qt_toolbar_ext_button { padding: 0; min-width: 18px; }"_s);
    bar->addAction(m_newAction);
    bar->addAction(m_renameAction);
    bar->addAction(m_deleteAction);
    bar->addSeparator();
    bar->addAction(m_attachAction);
    bar->addAction(m_exportAction);
    if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(m_exportAction)))
        button->setPopupMode(QToolButton::InstantPopup);
    bar->addSeparator();
    bar->addAction(m_readOnlyAction);
}

void MainWindow::updateIcons()
{
    const QColor ink = palette().color(QPalette::WindowText);
    m_newAction->setIcon(NotesIcons::newNote(ink));
    m_deleteAction->setIcon(NotesIcons::deleteNote(ink));
    m_renameAction->setIcon(NotesIcons::rename(ink));
    m_attachAction->setIcon(NotesIcons::attach(ink));
    m_exportAction->setIcon(NotesIcons::exportDocument(ink));
    m_readOnlyAction->setIcon(NotesIcons::lock(ink, palette().color(QPalette::HighlightedText)));
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && m_newAction)
        updateIcons();
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_splitView && event->type() == EditorPageLoadedEvent) {
        onEditorLoaded();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::onEditorLoaded()
{
    if (m_editorReady)
        return;
    m_editorReady = true;
    m_editor->handler().SetEditorMaxChars(NoteMaxChars);
    const int lastRow = m_lastNoteId.isEmpty() ? -1 : m_model->rowOf(m_lastNoteId);
    if (m_model->rowCount() > 0)
        activateRow(lastRow >= 0 ? lastRow : 0);
    else
        showEmptyNotebook();
    showMessage(tr("Ready"));
    updateActions();
    Q_EMIT editorReady();
}

void MainWindow::onCurrentChanged(const QModelIndex &current)
{
    if (m_reloading || !m_editorReady || !current.isValid())
        return;
    const QString id = current.data(NoteListModel::IdRole).toString();
    if (id == m_currentId)
        return;
    leaveCurrentNote();
    openNote(id);
    // Saving or discarding the note left behind reads the list again, which may reorder it
    // and point it back at that note: show the chosen one as current.
    const QModelIndex chosen = m_model->index(m_model->rowOf(id), 0);
    if (m_list->currentIndex() != chosen) {
        m_reloading = true;
        m_list->setCurrentIndex(chosen);
        m_reloading = false;
    }
}

void MainWindow::leaveCurrentNote()
{
    if (m_currentId.isEmpty())
        return;
    m_editor->SaveEditor();
    const QString id = m_currentId;
    QString html;
    m_editor->GetLastHtml(html);
    if (id != m_newNoteId || noteTitle(id) != untitledTitle() || !isBlankNote(html))
        return;
    m_newNoteId.clear();
    std::vector<QString> unused;
    if (!m_store.deleteNote(id, &unused)) {
        showMessage(m_store.lastError());
        return;
    }
    removeUnusedFiles(id, unused);
    m_currentId.clear();
    reloadList();
}

void MainWindow::openNote(const QString &id)
{
    const auto note = m_store.note(id);
    if (!note) {
        showMessage(m_store.lastError());
        return;
    }
    m_editorStack->setCurrentIndex(0);
    m_currentId = id;
    m_editor->LoadEditor(id, m_store.noteFileNames(id), m_store.attachmentSizes(id),
                         note->readOnly);
    m_attachmentPane->setAttachments(id, m_store.files(id), m_store.attachmentSizes(id));
    if (m_sync)
        m_sync->noteOpened(id);
    if (!m_search->text().isEmpty())
        m_find->searchAgain();
    {
        const QSignalBlocker blocker(m_readOnlyAction);
        m_readOnlyAction->setChecked(note->readOnly);
    }
    setWindowTitle(note->title);
    // Hints about the note left behind do not apply to this one.
    statusBar()->clearMessage();
    updateActions();
}

void MainWindow::searchCurrentNote(const QString &text)
{
    m_search->setText(text);
}

void MainWindow::showEmptyNotebook()
{
    m_currentId.clear();
    m_editor->LoadEditor(QString(), {}, {}, true);
    m_attachmentPane->setAttachments(QString(), {}, {});
    m_editorStack->setCurrentIndex(1);
    setWindowTitle(QString());
    updateActions();
}

bool MainWindow::selectNote(const QString &id)
{
    const int row = m_model->rowOf(id);
    if (row < 0)
        return false;
    activateRow(row);
    return m_currentId == id;
}

void MainWindow::activateRow(int row)
{
    const QString id = m_model->noteAt(row).id;
    m_list->setCurrentIndex(m_model->index(row, 0));
    // The view may already hold this row as current without the note being open; leaving a
    // discarded note may also have moved the row.
    const int now = m_model->rowOf(id);
    if (now >= 0)
        onCurrentChanged(m_model->index(now, 0));
}

QString MainWindow::noteIdByTitle(const QString &title) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->noteAt(row).title == title)
            return m_model->noteAt(row).id;
    }
    return {};
}

QString MainWindow::noteTitle(const QString &id) const
{
    const int row = m_model->rowOf(id);
    return row < 0 ? QString() : m_model->noteAt(row).title;
}

void MainWindow::notesArrived(bool reopenCurrent)
{
    const QString open = m_currentId;
    reloadList();
    m_noteSearch->indexOlderNotes();
    if (open.isEmpty())
        return;
    if (!m_store.note(open)) { // deleted on another device
        m_currentId.clear();
        if (m_model->rowCount() == 0)
            showEmptyNotebook();
        else
            activateRow(0);
    } else if (reopenCurrent) {
        openNote(open);
    } else if (m_sync) {
        m_sync->noteOpened(open);
    }
}

void MainWindow::reloadList()
{
    m_reloading = true;
    m_model->reload();
    const int row = m_model->rowOf(m_currentId);
    if (row >= 0)
        m_list->setCurrentIndex(m_model->index(row, 0));
    m_reloading = false;
    updateCount();
}

std::vector<NoteFile> MainWindow::noteFiles(const std::vector<NewAttachFile> &files,
                                            std::map<QString, quint64> &sizes)
{
    std::vector<NoteFile> list;
    const QString root = GetAttachRootDir() + u'/';
    for (const NewAttachFile &file : files) {
        list.push_back({file.origName, file.fileKind, file.modifyTime, file.fileExt, file.storeName,
                        file.filePath, file.isImageSrc});
        if (file.fileKind != 0) {
            // Attached files lie in the note's folder under their kept names.
            QFileInfo stored(file.filePath);
            if (!stored.isFile())
                stored = QFileInfo(root + file.storeName);
            if (stored.isFile())
                sizes[file.storeName] = quint64(stored.size());
        }
    }
    return list;
}

int MainWindow::OnSaveNote(const QString &noteId, const std::vector<NewAttachFile> &files,
                           const QString &plainText)
{
    std::map<QString, quint64> sizes;
    const std::vector<NoteFile> list = noteFiles(files, sizes);
    // The list shows the title already; the preview starts with the text below it.
    QString body = plainText.trimmed();
    const QString title = noteTitle(noteId);
    const QString first = firstLine(body);
    if (!first.isEmpty() && (first == title || title == untitledTitle()))
        body = body.mid(body.indexOf(u'\n') < 0 ? body.size() : body.indexOf(u'\n') + 1);
    if (!m_store.saveNote(noteId, list, sizes, body, false)) {
        showMessage(m_store.lastError());
        return 0;
    }
    m_noteSearch->indexLater(noteId, body);
    if (title == untitledTitle()) {
        const QString line = firstLine(plainText);
        if (!line.isEmpty() && m_store.renameNote(noteId, line) && noteId == m_newNoteId)
            m_newNoteId.clear();
    }
    reloadList();
    if (noteId == m_currentId)
        setWindowTitle(noteTitle(noteId));
    showMessage(tr("Saved “%1” at %2")
                    .arg(noteTitle(noteId), QTime::currentTime().toString(u"HH:mm:ss"_s)));
    if (noteId == m_currentId)
        m_attachmentPane->setAttachments(noteId, m_store.files(noteId),
                                         m_store.attachmentSizes(noteId));
    Q_EMIT noteSaved(noteId);
    return 1;
}

QString MainWindow::missingPageText()
{
    const std::vector<QString> folders = GetProgramFileFolders();
    return tr("The editor page %1 was not found, so notes cannot be shown. Tavrik Notes looked "
              "for it in:\n%2")
        .arg(CZorvaEditorImpl::EditorPageFile,
             QStringList(folders.begin(), folders.end()).join(u'\n'));
}

void MainWindow::OnOpenAttachment(const QString &noteId, const QString &fileName,
                                  const QString &origName)
{
    const QString name = origName.isEmpty() ? fileName : origName;
    AttachmentOpener opener(*IPrompts::instance(), m_launch);
    if (opener.open(this, AttachmentOpener::keptCopyPath(noteId, fileName, origName), name))
        showMessage(tr("Opened “%1”").arg(name));
}

void MainWindow::newNote()
{
    if (!m_editorReady)
        return;
    leaveCurrentNote();
    QString id;
    m_editor->NewEditor(id, false);
    if (!m_store.addNote(id, untitledTitle())) {
        showMessage(m_store.lastError());
        return;
    }
    m_currentId = id;
    m_newNoteId = id;
    m_attachmentPane->setAttachments(id, {}, {});
    m_editorStack->setCurrentIndex(0);
    {
        const QSignalBlocker blocker(m_readOnlyAction);
        m_readOnlyAction->setChecked(false);
    }
    reloadList();
    setWindowTitle(untitledTitle());
    updateActions();
    m_editor->setFocus();
    showMessage(tr("New note: start typing; the first line becomes its title"));
}

void MainWindow::deleteCurrentNote()
{
    if (m_currentId.isEmpty())
        return;
    const QString id = m_currentId;
    // What the user typed last may rename the note: the question names it as it is now.
    m_editor->SaveEditor();
    const QString title = noteTitle(id);
    const auto answer = IPrompts::instance()->messageBox(
        this,
        tr("Delete the note “%1”?\n\nIts text and its attachments are removed for good.")
            .arg(title),
        tr("Delete note"), QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    std::vector<QString> unused;
    if (!m_store.deleteNote(id, &unused)) {
        showMessage(m_store.lastError());
        return;
    }
    removeUnusedFiles(id, unused);
    const int oldRow = m_list->currentIndex().row();
    m_currentId.clear();
    reloadList();
    if (m_model->rowCount() == 0) {
        showEmptyNotebook();
    } else {
        activateRow(qMin(oldRow, m_model->rowCount() - 1));
    }
    showMessage(tr("Deleted “%1”").arg(title));
}

void MainWindow::removeUnusedFiles(const QString &noteId, const std::vector<QString> &paths)
{
    // Only files inside the attachment store are ever removed.
    const QString root = QDir(GetAttachRootDir()).canonicalPath() + u'/';
    for (const QString &path : paths) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty() && canonical.startsWith(root))
            QFile::remove(canonical);
    }
    // A notebook shared through heads keeps the note's folder: another device may have
    // changed the note meanwhile and still need its kept copies (the store's clean-up knows).
    if (!m_store.usesHeads() && !noteId.isEmpty() && !noteId.contains(u'/')
        && !noteId.contains(u'.')) {
        QDir folder(root + noteId);
        if (folder.exists())
            folder.removeRecursively();
    }
}

void MainWindow::renameCurrentNote()
{
    const QModelIndex index = m_list->currentIndex();
    if (index.isValid())
        m_list->edit(index);
}

void MainWindow::attachFiles()
{
    // The editor's own dialog, as its toolbar button shows it: one title, one remembered folder.
    if (m_currentId.isEmpty())
        return;
    m_editor->InsertLocalFile();
    // Saved at once, so the attachments pane and the notebook list the new files.
    m_editor->SaveEditor();
}

void MainWindow::exportCurrentNote(NoteExport::Format format)
{
    if (m_currentId.isEmpty())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString title = NoteExport::dialogTitle(format);
    const QString path = IPrompts::instance()->saveFileName(
        this, title,
        folder + u'/' + fileNameFor(noteTitle(m_currentId)) + NoteExport::suffix(format),
        NoteExport::fileFilter(format));
    if (path.isEmpty())
        return;
    if (!exportCurrentNoteTo(path))
        IPrompts::instance()->messageBox(this, statusBar()->currentMessage(), title,
                                         QMessageBox::Ok);
}

bool MainWindow::copyCurrentNote()
{
    if (m_currentId.isEmpty())
        return false;
    // Like the export, the copy takes what was last saved.
    m_editor->SaveEditor();
    QString html;
    m_editor->GetLastHtml(html);
    if (!ZvWebNoteHandler::OnCopyContent(html)) {
        showMessage(tr("Nothing to copy: the note is empty"));
        return false;
    }
    showMessage(tr("The note is on the clipboard"));
    return true;
}

void MainWindow::printCurrentNote()
{
    if (m_currentId.isEmpty())
        return;
    // Like the export, printing takes what was last saved.
    m_editor->SaveEditor();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(noteTitle(m_currentId));
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(tr("Print %1").arg(noteTitle(m_currentId)));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        QString error;
        if (!TAVRIKCORE::RICHEDITOR::NotePrinting::Print(*m_editor, target, error))
            showMessage(tr("Printing failed: %1").arg(error));
    });
    preview.exec();
}

bool MainWindow::exportCurrentNoteTo(const QString &path)
{
    // The export writes what was last saved, so the page's latest changes are saved first.
    m_editor->SaveEditor();
    QString error;
    if (!NoteExport::write(*m_editor, path, error)) {
        showMessage(tr("Export failed: %1").arg(error));
        return false;
    }
    showMessage(tr("Exported to %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void MainWindow::setCurrentReadOnly(bool readOnly)
{
    if (m_currentId.isEmpty())
        return;
    {
        const QSignalBlocker blocker(m_readOnlyAction);
        m_readOnlyAction->setChecked(readOnly);
    }
    if (readOnly)
        m_editor->SaveEditor();
    m_editor->SetReadOnly(readOnly);
    if (!m_store.setReadOnly(m_currentId, readOnly))
        showMessage(m_store.lastError());
    reloadList();
    updateActions();
    showMessage(readOnly ? tr("The note is read-only now") : tr("The note can be edited again"));
}

void MainWindow::updateActions()
{
    const bool hasNote = m_editorReady && !m_currentId.isEmpty();
    const bool writable = hasNote && !m_readOnlyAction->isChecked();
    m_newAction->setEnabled(m_editorReady);
    m_deleteAction->setEnabled(hasNote);
    m_renameAction->setEnabled(hasNote);
    m_attachAction->setEnabled(writable);
    m_exportAction->setEnabled(hasNote);
    m_printAction->setEnabled(hasNote);
    m_copyAction->setEnabled(hasNote);
    m_readOnlyAction->setEnabled(hasNote);
}

void MainWindow::updateCount()
{
    m_countLabel->setText(tr("%n note(s)", nullptr, m_model->rowCount()));
}

void MainWindow::showMessage(const QString &text)
{
    statusBar()->showMessage(text);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    leaveCurrentNote();
    saveSession();
    event->accept();
}

// The window's size and place, the attachments pane's height and whether it is folded away,
// and the open note, kept between runs in the program's settings. Only a program that names itself
// (main() does) keeps them, so windows made by the tests start afresh.
static bool keepsSession()
{
    return !QCoreApplication::organizationName().isEmpty();
}

void MainWindow::saveSession() const
{
    if (!keepsSession())
        return;
    QSettings settings;
    settings.setValue(u"window/geometry"_s, saveGeometry());
    settings.setValue(u"window/bottomHeight"_s, m_splitView->bottomHeight());
    settings.setValue(u"window/bottomFolded"_s, m_splitView->splitterBar().isFolded());
    settings.setValue(u"notes/last"_s, m_currentId);
}

void MainWindow::restoreSession()
{
    if (!keepsSession())
        return;
    QSettings settings;
    const QByteArray geometry = settings.value(u"window/geometry"_s).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    m_splitView->SetBottomHeight(settings.value(u"window/bottomHeight"_s).toInt());
    if (settings.value(u"window/bottomFolded"_s).toBool())
        m_splitView->splitterBar().FoldBar(1);
    m_lastNoteId = settings.value(u"notes/last"_s).toString();
    EditorAppearance::applyTheme(
        EditorAppearance::themeNamed(settings.value(u"view/theme"_s).toString()));
}

// System follows the desktop's palette; the choice is kept in the settings.
QMenu *MainWindow::createThemeMenu()
{
    auto *menu = new QMenu(tr("&Theme"), this);
    auto *group = new QActionGroup(menu);
    const QString kept
        = keepsSession() ? QSettings().value(u"view/theme"_s, u"system"_s).toString() : u"system"_s;
    using Theme = EditorAppearance::Theme;
    for (const auto &[theme, text] :
         {std::pair{Theme::System, tr("&System")}, std::pair{Theme::Light, tr("&Light")},
          std::pair{Theme::Dark, tr("&Dark")}}) {
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(EditorAppearance::themeName(theme) == kept);
        action->setData(EditorAppearance::themeName(theme));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [theme] {
            EditorAppearance::applyTheme(theme);
            if (keepsSession())
                QSettings().setValue(u"view/theme"_s, EditorAppearance::themeName(theme));
        });
    }
    return menu;
}
