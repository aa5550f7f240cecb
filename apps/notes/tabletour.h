// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <functional>

class MainWindow;
class QWidget;

// The guided tour's steps for changing tables and pictures in the open note, as a user does
// with the table bar and the picture bar; each step is undone afterwards, so the note stays as
// it was.
namespace TableTour {

using Shot = std::function<void(QWidget *widget, const QString &name, const QString &caption)>;

// In the open note's first table: a row inserted with the table bar, then two cells merged,
// with a screenshot of each. Empty on success, else what failed.
QString runTableStep(MainWindow &window, const Shot &shot);

// The open note's first picture selected, placed right and made smaller, with a screenshot of
// its handles and bar. Empty on success, else what failed.
QString runPictureStep(MainWindow &window, const Shot &shot);

} // namespace TableTour
