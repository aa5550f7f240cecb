// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_export.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace TAVRIKCORE::RICHEDITOR {

// Everything the editor shows to the user in a modal window goes through this interface:
// message boxes and file dialogs. The process-wide instance is the Qt implementation unless
// a host or a test installs its own.
class TAVRIK_EXPORT IPrompts
{
public:
    virtual ~IPrompts();

    // A modal message box showing `text` as plain text under `title` with `buttons`.
    // Returns the button the user chose (QMessageBox::NoButton when closed otherwise).
    virtual QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text,
                                                   const QString &title,
                                                   QMessageBox::StandardButtons buttons)
        = 0;

    // A file-open dialog allowing several files. Returns the chosen paths in the dialog's
    // order; empty when cancelled. An empty `filter` shows every file.
    virtual QStringList openFileNames(QWidget *parent, const QString &title, const QString &folder,
                                      const QString &filter)
        = 0;

    // A file-save dialog starting at `suggestedPath`. Returns the chosen path; empty when
    // cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &title,
                                 const QString &suggestedPath, const QString &filter)
        = 0;

    // A folder choice starting at `folder`. Returns the chosen folder; empty when cancelled.
    virtual QString existingFolder(QWidget *parent, const QString &title, const QString &folder)
        = 0;

    // The process-wide instance.
    static IPrompts *instance();
    // Installs `prompts` as the process-wide instance (not owned); null restores the Qt one.
    // Returns the instance that was installed before.
    static IPrompts *setInstance(IPrompts *prompts);
};

} // namespace TAVRIKCORE::RICHEDITOR
