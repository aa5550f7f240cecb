// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <atomic>
#include <memory>

class NoteStore;
class QLabel;
class QLineEdit;
class QListWidget;
class QThread;

// The search of all notes: a field where, as the user types, the notes holding the words are
// listed best match first (NoteStore::search), title and start of the text as the note list
// shows them. Choosing one (click, Enter) asks for it to be opened with the matched word
// marked; Escape clears the field. When it opens a notebook written before the index existed,
// it reads those notes' files on a worker thread and gives their text to the index.
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
    // True while notes of an older notebook are still being indexed.
    bool isIndexing() const { return m_indexing != nullptr; }

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
    // The notes of an older notebook have all been indexed.
    void indexingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void indexOlderNotes();

    NoteStore &m_store;
    QLineEdit *m_field = nullptr;
    QLabel *m_summary = nullptr;
    QListWidget *m_results = nullptr;
    bool m_active = false;
    QThread *m_indexing = nullptr;
    std::shared_ptr<std::atomic_bool> m_stop = std::make_shared<std::atomic_bool>(false);
};
