// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/iprompts.h"
#include "tavrik_autotest_export_p.h"

namespace TAVRIKCORE::RICHEDITOR {

// The prompts as Qt shows them: QMessageBox with plain text, QFileDialog.
class TAVRIK_AUTOTEST_EXPORT QtPrompts : public IPrompts
{
public:
    QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text,
                                           const QString &title,
                                           QMessageBox::StandardButtons buttons) override;
    QStringList openFileNames(QWidget *parent, const QString &title, const QString &folder,
                              const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggestedPath,
                         const QString &filter) override;
    QString existingFolder(QWidget *parent, const QString &title, const QString &folder) override;
};

} // namespace TAVRIKCORE::RICHEDITOR
