// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QByteArray>

#include <json/value.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Parses JSON text with comments allowed into `root`; false when it does not parse (also when
// the nesting is too deep for the reader).
bool parseJsonText(const QByteArray &text, Json::Value &root);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
