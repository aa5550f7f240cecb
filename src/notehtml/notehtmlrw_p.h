// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

#include <optional>

// NoteHtmlRW's reading in two steps, for callers that look at a note file's exact bytes
// before taking its text.
namespace TAVRIKCORE::RICHEDITOR::Internal {

// A note file's bytes as NoteHtmlRW::ReadHtmlTextFromFile reads them (with `maxBytes` at 0 or
// more, the first ones cut back to the last whole UTF-8 character); nullopt when the file
// cannot be opened.
TAVRIK_AUTOTEST_EXPORT std::optional<QByteArray> readNoteFileBytes(const QString &path,
                                                                   qint64 maxBytes = -1);
// The content and version in bytes read by readNoteFileBytes, as ReadHtmlTextFromFile gives
// them; `path` names the file in the log.
TAVRIK_AUTOTEST_EXPORT void decodeNoteFileBytes(QByteArray bytes, const QString &path,
                                                QString &content, int &version);
// The bytes of a note file holding `content` under the header of `version`.
TAVRIK_AUTOTEST_EXPORT QByteArray noteFileBytes(const QString &content, int version);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
