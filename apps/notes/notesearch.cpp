// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notesearch.h"

#include "noteitemdelegate.h"
#include "notelistmodel.h"
#include "notestore.h"

#include "bridge/zvwebnotehandler.h"
#include "common/appdirectory.h"
#include "notehtml/notehtmlrw.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMutex>
#include <QThread>
#include <QVBoxLayout>
#include <QWaitCondition>

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// The plain text of a note's HTML files, in their order, as the editor's save gives it.
QString noteText(const QString &id, const std::vector<QString> &paths)
{
    QString text;
    for (const QString &path : paths) {
        QString html;
        int version = 0;
        if (!NoteHtmlRW::ReadHtmlTextFromFile(path, html, version))
            continue;
        std::vector<NewAttachFile> records;
        QString plain;
        ZvWebNoteHandler::ParseAttList(id, html, records, &plain);
        text += plain + u'\n';
    }
    return text;
}

} // namespace

// A note to index: a save's text, or the files to read it from.
struct NoteSearch::IndexJob
{
    QString id;
    QString text;
    std::vector<QString> paths;
    bool fromFiles = false;
};

// The worker's queue, in the order the jobs came.
struct NoteSearch::Indexer
{
    QMutex mutex;
    QWaitCondition wake;
    std::deque<IndexJob> jobs;
    bool closing = false; // the texts of saves still waiting are indexed, then the worker ends
    QThread *thread = nullptr;
};

NoteSearch::NoteSearch(NoteStore &store, QWidget *parent)
    : QWidget(parent), m_store(store), m_indexer(std::make_unique<Indexer>())
{
    m_field = new QLineEdit;
    m_field->setObjectName(u"noteSearchField"_s);
    m_field->setPlaceholderText(tr("Search all notes"));
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_summary = new QLabel;
    m_summary->setContentsMargins(6, 2, 6, 2);
    m_summary->setEnabled(false);
    m_results = new QListWidget;
    m_results->setItemDelegate(new NoteItemDelegate(m_results));
    m_results->setUniformItemSizes(true);
    m_results->setFrameShape(QFrame::NoFrame);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_field);
    layout->addWidget(m_summary);
    layout->addWidget(m_results, 1);
    m_summary->hide();
    m_results->hide();

    connect(m_field, &QLineEdit::textChanged, this, &NoteSearch::refresh);
    connect(m_field, &QLineEdit::returnPressed, this,
            [this] { choose(qMax(m_results->currentRow(), 0)); });
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { choose(m_results->row(item)); });
    connect(m_results, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { choose(m_results->row(item)); });
    indexOlderNotes();
}

NoteSearch::~NoteSearch()
{
    if (!m_indexer->thread)
        return;
    // The saves still waiting are indexed; notes still to be read from their files stay listed
    // by notesToIndex() and are read at the next start.
    {
        QMutexLocker lock(&m_indexer->mutex);
        m_indexer->closing = true;
    }
    m_indexer->wake.wakeAll();
    m_indexer->thread->wait();
    delete m_indexer->thread;
}

void NoteSearch::refresh()
{
    const QString text = m_field->text();
    const bool active = !text.trimmed().isEmpty();
    const QListWidgetItem *current = m_results->currentItem();
    const QString chosen = current ? current->data(NoteListModel::IdRole).toString() : QString();
    m_results->clear();
    if (active) {
        const std::vector<NoteInfo> notes = m_store.search(text);
        for (const NoteInfo &note : notes) {
            auto *item = new QListWidgetItem(note.title, m_results);
            item->setData(NoteListModel::IdRole, note.id);
            item->setData(NoteListModel::ModifiedRole, note.modified);
            item->setData(NoteListModel::PreviewRole, note.preview);
            item->setData(NoteListModel::ReadOnlyRole, note.readOnly);
            if (note.id == chosen)
                m_results->setCurrentItem(item);
        }
        if (!m_store.lastError().isEmpty())
            m_summary->setText(m_store.lastError());
        else if (notes.empty())
            m_summary->setText(tr("No note holds “%1”").arg(text.simplified()));
        else
            m_summary->setText(tr("%n note(s) found", nullptr, int(notes.size())));
    }
    m_summary->setVisible(active);
    m_results->setVisible(active);
    if (active != m_active) {
        m_active = active;
        Q_EMIT activeChanged(active);
    }
}

void NoteSearch::choose(int row)
{
    const QListWidgetItem *item = m_results->item(row);
    if (!item)
        return;
    m_results->setCurrentRow(row);
    const QString id = item->data(NoteListModel::IdRole).toString();
    const QString word = m_store.matchedWord(id, m_field->text());
    Q_EMIT noteChosen(id, word.isEmpty() ? m_field->text().simplified() : word);
}

bool NoteSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape && !m_field->text().isEmpty()) {
            m_field->clear();
            return true;
        }
        if (key == Qt::Key_Down && m_results->count() > 0) {
            m_results->setFocus();
            m_results->setCurrentRow(qMax(m_results->currentRow(), 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void NoteSearch::indexOlderNotes()
{
    for (const QString &id : m_store.notesToIndex()) {
        IndexJob job{id, QString(), {}, true};
        for (const NoteFile &file : m_store.files(id)) {
            if (file.fileKind == 0)
                job.paths.push_back(QFileInfo(file.filePath).isFile()
                                        ? file.filePath
                                        : GetAttachRootDir() + u'/' + file.storeName);
        }
        enqueue(std::move(job));
    }
}

void NoteSearch::indexLater(const QString &id, const QString &plainText)
{
    enqueue({id, plainText, {}, false});
}

void NoteSearch::enqueue(IndexJob job)
{
    ++m_pending;
    {
        QMutexLocker lock(&m_indexer->mutex);
        m_indexer->jobs.push_back(std::move(job));
    }
    m_indexer->wake.wakeAll();
    if (!m_indexer->thread) {
        m_indexer->thread = QThread::create([this] { runIndexer(); });
        m_indexer->thread->start(QThread::LowPriority);
    }
}

void NoteSearch::runIndexer()
{
    // Indexing a large note takes a good share of its save, and reading and parsing the note
    // files of an older notebook takes longer still, so both happen here, away from the
    // window's thread. The connection is this thread's own; the window's waits for it only
    // when it writes to the notebook while a note's words are being replaced.
    NoteStore store(m_store.databasePath());
    const bool opened = store.open();
    for (;;) {
        IndexJob job;
        bool superseded = false;
        {
            QMutexLocker lock(&m_indexer->mutex);
            while (m_indexer->jobs.empty() && !m_indexer->closing)
                m_indexer->wake.wait(&m_indexer->mutex);
            if (m_indexer->jobs.empty())
                return;
            job = std::move(m_indexer->jobs.front());
            m_indexer->jobs.pop_front();
            superseded = (m_indexer->closing && job.fromFiles)
                || std::any_of(m_indexer->jobs.begin(), m_indexer->jobs.end(),
                               [&](const IndexJob &later) {
                                   return later.id == job.id && !later.fromFiles;
                               });
        }
        QString error;
        const QString text
            = superseded ? QString() : (job.fromFiles ? noteText(job.id, job.paths) : job.text);
        // Files that cannot be read leave the title and preview indexed, to be read again at
        // the next start.
        if (!superseded && !(job.fromFiles && text.isEmpty())) {
            if (!opened || !store.indexNoteText(job.id, text, job.fromFiles))
                error = store.lastError();
        }
        QMetaObject::invokeMethod(
            this, [this, error] { indexDone(error); }, Qt::QueuedConnection);
    }
}

void NoteSearch::indexDone(const QString &error)
{
    --m_pending;
    if (!error.isEmpty())
        Q_EMIT indexingFailed(error);
    if (m_pending > 0)
        return;
    if (m_active)
        refresh();
    Q_EMIT indexingFinished();
}
