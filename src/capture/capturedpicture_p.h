// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

class QImage;

namespace TAVRIKCORE::RICHEDITOR::Internal {

class EditorPage;
class NoteSession;

// Adds a completed capture to the open note as a JPEG picture: written to the temporary
// folder as "<guid>.jpg", added as a dropped file would be, and removed once the store holds
// its own copy. A picture that cannot be written adds nothing and is only logged. False then.
bool AddCapturedPicture(NoteSession &session, EditorPage &page, const QImage &picture);

} // namespace TAVRIKCORE::RICHEDITOR::Internal
