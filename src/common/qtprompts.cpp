// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/qtprompts_p.h"

#include <QFileDialog>

#include <atomic>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

std::atomic<IPrompts *> installedPrompts{nullptr};

IPrompts *qtPrompts()
{
    static QtPrompts prompts;
    return &prompts;
}

} // namespace

IPrompts::~IPrompts() = default;

IPrompts *IPrompts::instance()
{
    IPrompts *prompts = installedPrompts.load();
    return prompts ? prompts : qtPrompts();
}

IPrompts *IPrompts::setInstance(IPrompts *prompts)
{
    IPrompts *previous = installedPrompts.exchange(prompts);
    return previous ? previous : qtPrompts();
}

QMessageBox::StandardButton QtPrompts::messageBox(QWidget *parent, const QString &text,
                                                  const QString &title,
                                                  QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    // Texts may come from the page or from file names: never interpret them as markup.
    box.setTextFormat(Qt::PlainText);
    const int chosen = box.exec();
    return QMessageBox::StandardButton(chosen);
}

QStringList QtPrompts::openFileNames(QWidget *parent, const QString &title, const QString &folder,
                                     const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &title, const QString &suggestedPath,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggestedPath, filter);
}

QString QtPrompts::existingFolder(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

} // namespace TAVRIKCORE::RICHEDITOR
