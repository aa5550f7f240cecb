// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Folder of the running executable, ending with '/'; "./" when the system cannot tell
// (appdirectory_linux.cpp).
QString executableFolder();

} // namespace TAVRIKCORE::RICHEDITOR::Internal
