// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class NoteStore;
class QLabel;
class QLineEdit;
class QListWidget;

// The search of all notes: a field where, as the user types, the notes holding the words are
// listed best match first (NoteStore::search), title and start of the text as the note list
// shows them. Choosing one (click, Enter) asks for it to be opened with the matched word
// marked; Escape clears the field.
//
// It also keeps the index's words current off the window's thread: indexLater() takes the text
// of each save, and notes the index lacks (NoteStore::notesToIndex(), such as those of a
// notebook written before the index existed) are read from their files when it starts. A
// worker thread does that work, through its own connection to the notebook.
class NoteSearch : public QWidget
{
    Q_OBJECT

public:
    explicit NoteSearch(NoteStore &store, QWidget *parent = nullptr);
    ~NoteSearch() override;

    QLineEdit *field() const { return m_field; }
    QListWidget *results() const { return m_results; }
    // True while the field holds text and the results are shown.
    bool isActive() const { return m_active; }
    // True while the worker has notes to index.
    bool isIndexing() const { return m_pending > 0; }

    // Indexes `plainText` as the text of the note `id`, saved with NoteStore::saveNote without
    // indexing it. Of several saves of a note waiting, only the last is indexed.
    void indexLater(const QString &id, const QString &plainText);
    // Gives the worker the notes the index lacks, to read from their files (notes from
    // before the index, and versions that arrived from another device).
    void indexOlderNotes();

public Q_SLOTS:
    // Searches again, for the notes changed; the chosen result stays chosen.
    void refresh();
    // Opens the result in this row, as a click does.
    void choose(int row);

Q_SIGNALS:
    // The results were shown (the field got text) or hidden (it was cleared).
    void activeChanged(bool active);
    // The user chose the note `id`; `word` is the matched word as the note writes it.
    void noteChosen(const QString &id, const QString &word);
    // The worker has indexed every note given to it.
    void indexingFinished();
    // A note's text could not be indexed; it is indexed from its files at the next start.
    void indexingFailed(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Indexer;
    struct IndexJob;
    void enqueue(IndexJob job);
    // The worker thread's loop.
    void runIndexer();
    void indexDone(const QString &error);

    NoteStore &m_store;
    QLineEdit *m_field = nullptr;
    QLabel *m_summary = nullptr;
    QListWidget *m_results = nullptr;
    bool m_active = false;
    int m_pending = 0;
    std::unique_ptr<Indexer> m_indexer;
};
