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
#include <QThread>
#include <QVBoxLayout>

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

NoteSearch::NoteSearch(NoteStore &store, QWidget *parent) : QWidget(parent), m_store(store)
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
    if (m_indexing) {
        *m_stop = true;
        m_indexing->wait();
        delete m_indexing;
    }
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
    // Reading and parsing note files takes long for large notes and many of them, so it runs
    // on a worker thread; each note's text comes back to this thread, whose connection writes
    // it to the index in one short step, so the window stays responsive throughout.
    std::vector<std::pair<QString, std::vector<QString>>> jobs;
    for (const QString &id : m_store.notesToIndex()) {
        std::vector<QString> paths;
        for (const NoteFile &file : m_store.files(id)) {
            if (file.fileKind != 0)
                continue;
            paths.push_back(QFileInfo(file.filePath).isFile()
                                ? file.filePath
                                : GetAttachRootDir() + u'/' + file.storeName);
        }
        jobs.emplace_back(id, std::move(paths));
    }
    if (jobs.empty())
        return;
    m_indexing = QThread::create([this, jobs = std::move(jobs), stop = m_stop] {
        for (const auto &[id, paths] : jobs) {
            if (*stop)
                return;
            QMetaObject::invokeMethod(
                this,
                [this, noteId = id, text = noteText(id, paths)] {
                    m_store.indexNoteText(noteId, text);
                },
                Qt::QueuedConnection);
        }
    });
    connect(m_indexing, &QThread::finished, this, [this] {
        m_indexing->deleteLater();
        m_indexing = nullptr;
        refresh();
        Q_EMIT indexingFinished();
    });
    m_indexing->start(QThread::LowPriority);
}
