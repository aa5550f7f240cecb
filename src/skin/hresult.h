// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

namespace TAVRIKCORE::RICHEDITOR {

// Answers of the browser hooks: S_OK means handled (the browser does nothing more),
// E_NOTIMPL means not handled (the browser applies its own behaviour).
inline constexpr long S_OK = 0;
inline constexpr long E_NOTIMPL = 0x80004001L;

} // namespace TAVRIKCORE::RICHEDITOR
