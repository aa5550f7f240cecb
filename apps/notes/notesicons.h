// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QColor>
#include <QIcon>

// The demo's icons, drawn in code so that they scale and follow the palette.
namespace NotesIcons {

QIcon application();
QIcon newNote(const QColor &ink);
QIcon deleteNote(const QColor &ink);
QIcon rename(const QColor &ink);
QIcon attach(const QColor &ink);
QIcon exportDocument(const QColor &ink);
// Drawn in `ink`, and in `checkedInk` (when given) while its action is checked.
QIcon lock(const QColor &ink, const QColor &checkedInk = QColor());

} // namespace NotesIcons
