// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notestore.h"

#include <QAbstractListModel>

#include <vector>

// The notes of a NoteStore as a list, most recently modified first. Editing a title renames
// the note in the store.
class NoteListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        ModifiedRole,
        PreviewRole,
        ReadOnlyRole,
    };

    explicit NoteListModel(NoteStore &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Reads the notes again from the store.
    void reload();
    // Row of the note with this id; -1 when it is not listed.
    int rowOf(const QString &id) const;
    const NoteInfo &noteAt(int row) const { return m_notes.at(size_t(row)); }

Q_SIGNALS:
    // A rename in the list failed; `reason` says why.
    void renameFailed(const QString &reason);

private:
    NoteStore &m_store;
    std::vector<NoteInfo> m_notes;
};
