// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>
#include <QVariant>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// A script value as text (see ZvWebNoteHandler::Format).
QString FormatScriptValue(const QVariant &value);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
