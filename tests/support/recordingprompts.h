// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/iprompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Stands in for the user while it exists: installed as the process-wide prompts on
// construction (the previous one comes back on destruction), it records what would have
// been shown and answers with scripted choices instead of opening a window.
//
//     RecordingPrompts prompts;
//     prompts.answerButton(QMessageBox::Cancel);
//     codeThatAsks();
//     EXPECT_EQ(prompts.shown().at(0).text, u"..."_s);
class RecordingPrompts : public TAVRIKCORE::RICHEDITOR::IPrompts
{
public:
    struct Shown
    {
        enum Kind { MessageBox, OpenFiles, SaveFile, Folder } kind;
        QString text; // message text, or the dialog's folder or suggested path
        QString title;
        QMessageBox::StandardButtons buttons; // message boxes only
        QString filter; // file dialogs only
    };

    RecordingPrompts();
    ~RecordingPrompts() override;
    RecordingPrompts(const RecordingPrompts &) = delete;
    RecordingPrompts &operator=(const RecordingPrompts &) = delete;

    // Queues the answer of the next message box; without one a box answers Ok (or the first
    // of its buttons when it has no Ok).
    void answerButton(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
    // Queues the answer of the next file or folder dialog; without one a dialog is cancelled.
    void answerPaths(const QStringList &paths) { m_paths.push_back(paths); }

    const std::vector<Shown> &shown() const { return m_shown; }
    // The texts of the message boxes shown, in order.
    QStringList messages() const;
    void clear() { m_shown.clear(); }

    QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text,
                                           const QString &title,
                                           QMessageBox::StandardButtons buttons) override;
    QStringList openFileNames(QWidget *parent, const QString &title, const QString &folder,
                              const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggestedPath,
                         const QString &filter) override;
    QString existingFolder(QWidget *parent, const QString &title, const QString &folder) override;

private:
    QStringList nextPaths();

    IPrompts *m_previous;
    std::vector<Shown> m_shown;
    std::deque<QMessageBox::StandardButton> m_buttons;
    std::deque<QStringList> m_paths;
};
