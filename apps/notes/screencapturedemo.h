// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <functional>

class MainWindow;
class QAction;
class QWidget;

// The editor's screen capture in the demo: the Note menu's "Capture screen…" (the notes
// window leaves the screen while the user selects; completing puts the picture into the open
// note), and the guided tour's capture step.
namespace ScreenCaptureDemo {

QAction *createAction(MainWindow &window);

// Takes a picture of the screen as a user would, into the open note at its caret: drags a
// selection over the notes window,
// lets the tip and toolbar show (`shot` takes a picture of the capture window), completes with
// a double click and waits for the picture in the note. Empty on success, else what failed.
using Shot = std::function<void(QWidget *widget, const QString &name, const QString &caption)>;
QString runTourStep(MainWindow &window, const Shot &shot);

} // namespace ScreenCaptureDemo
