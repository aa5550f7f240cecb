// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notelistmodel.h"

using namespace Qt::StringLiterals;

NoteListModel::NoteListModel(NoteStore &store, QObject *parent)
    : QAbstractListModel(parent), m_store(store)
{
    reload();
}

int NoteListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_notes.size());
}

QVariant NoteListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_notes.size()))
        return {};
    const NoteInfo &note = m_notes[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        // A note with a conflicting version from another device is marked.
        return note.conflict ? u"\u26A0 "_s + note.title : note.title;
    case Qt::EditRole:
        return note.title;
    case Qt::ToolTipRole:
        return note.preview.isEmpty() ? note.title : note.preview;
    case IdRole:
        return note.id;
    case ModifiedRole:
        return note.modified;
    case PreviewRole:
        return note.preview;
    case ReadOnlyRole:
        return note.readOnly;
    default:
        return {};
    }
}

bool NoteListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= int(m_notes.size()))
        return false;
    NoteInfo &note = m_notes[size_t(index.row())];
    const QString title = value.toString().trimmed();
    if (title == note.title)
        return false;
    if (!m_store.renameNote(note.id, title)) {
        Q_EMIT renameFailed(m_store.lastError());
        return false;
    }
    note.title = title;
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags NoteListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

void NoteListModel::reload()
{
    beginResetModel();
    m_notes = m_store.notes();
    endResetModel();
}

int NoteListModel::rowOf(const QString &id) const
{
    for (size_t row = 0; row < m_notes.size(); ++row) {
        if (m_notes[row].id == id)
            return int(row);
    }
    return -1;
}
