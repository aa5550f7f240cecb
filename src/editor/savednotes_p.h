// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// The note files this editor saved from its own page, by the SHA-256 of their bytes, so that
// opening one again needs no second sanitising. The record is one file of lines "<64 hex>\n"
// under userdata/, appended to with one write per line (other programs of this folder may
// append at the same time). It keeps the newest MaxEntries lines at most: reaching that,
// it is rewritten with the newest half. A line that is not a whole hash (a write cut short)
// is skipped; a lost or damaged record only means a note is sanitised again.
class TAVRIK_AUTOTEST_EXPORT SavedNotes
{
public:
    static constexpr int MaxEntries = 2000;

    // <app folder>userdata/savednotes.sha256
    static QString recordPath();
    // The SHA-256 of `bytes` as 64 lower-case hex digits.
    static QByteArray hashOf(QByteArrayView bytes);
    // Records a note file's bytes as saved by this editor. False, with a log line, when the
    // record cannot be written.
    static bool remember(QByteArrayView fileBytes);
    // Whether these exact bytes are a note file this editor saved. A missing record, and each
    // lookup that skipped damaged lines, is logged.
    static bool contains(QByteArrayView fileBytes);
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
