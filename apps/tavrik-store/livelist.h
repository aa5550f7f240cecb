// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"

#include <QString>

#include <optional>
#include <vector>

// Reads the live notes from a list file ("-" for the standard input): one note file a line,
// a full path or a name in the attachment root, optionally preceded by the note's identifier
// and a tab. Blank lines and lines starting with '#' are skipped. Nothing, with `error` set,
// when the file cannot be read.
std::optional<std::vector<TAVRIKCORE::RICHEDITOR::LiveNote>> readLiveList(const QString &path,
                                                                          QString &error);

// Reads the live notes from the demo's notebook database. Nothing, with `error` set, when
// there is no such notebook or it cannot be read.
std::optional<std::vector<TAVRIKCORE::RICHEDITOR::LiveNote>> readNotebook(const QString &path,
                                                                          QString &error);
