// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

class QWebEnginePage;

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Gives the editor page its first character limit and read-only mode with its load, so that
// it starts with them without a call into the page: a script the browser runs when the page's
// document is created, before the page's own scripts, sets window.TavrikStart to
// {maxChars, readOnly}. Replaces what an earlier call installed.
TAVRIK_AUTOTEST_EXPORT void installPageStart(QWebEnginePage *page, int maxChars, bool readOnly);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
