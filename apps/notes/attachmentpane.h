// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notestore.h"

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

// The pane below the editor: the open note's attached files with their size and type icon,
// and buttons to open one, save a copy of it elsewhere or show it in the file manager.
class AttachmentPane : public QWidget
{
    Q_OBJECT

public:
    explicit AttachmentPane(QWidget *parent = nullptr);

    // Called with (store name, original name) to open an attachment.
    void setOpenHandler(std::function<void(const QString &, const QString &)> open)
    {
        m_open = std::move(open);
    }
    // Opens a folder URL in the file manager (QDesktopServices by default).
    void setRevealHandler(std::function<bool(const QUrl &)> reveal)
    {
        m_reveal = std::move(reveal);
    }

    // Lists the attached files of `files` (kind 2; not the note's HTML or the pictures it shows);
    // an empty note id clears the pane.
    void setAttachments(const QString &noteId, const std::vector<NoteFile> &files,
                        const std::map<QString, quint64> &sizes);

    // How many files the user attached or inserted and how much of the note's attachment
    // allowance they take, as shown under the list.
    QString usageText() const;
    // A size in bytes, KiB, MiB or GiB (one decimal while it shows below 10).
    static QString sizeText(quint64 bytes);
    // The names shown, in order.
    QStringList names() const;
    // The file on disk behind row `row`; empty for a row that does not exist.
    QString pathAt(int row) const;

    void openSelected();
    void saveSelectedCopy();
    // Copies row `row` to `target`; false (and a message) when that fails.
    bool saveCopy(int row, const QString &target);
    void revealSelected();

private:
    void updateButtons();
    void showUsage(int count, quint64 used);

    QTreeWidget *m_list = nullptr;
    QLabel *m_usage = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_revealButton = nullptr;
    QString m_noteId;
    std::function<void(const QString &, const QString &)> m_open;
    std::function<bool(const QUrl &)> m_reveal;
};
