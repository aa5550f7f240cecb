// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/durablefile_p.h"

#include <QString>

#include <functional>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// Puts a file whose MD5 is `hash` at the content-named `target` with `put` (a durable copy or
// rename with the given placement). An existing target is kept when its bytes match its name
// (its time is then set to now, as for a new file); otherwise it is replaced atomically and
// `replacedLine` (when not empty) goes to the log. When the target appears meanwhile with the same
// content, that is fine too. 0, or the errno of the failure of `put`.
int placeContentNamed(const QString &target, const QString &hash,
                      const std::function<bool(Placement)> &put, const QString &replacedLine);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
