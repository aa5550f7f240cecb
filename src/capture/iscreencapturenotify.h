// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

class QImage;

namespace TAVRIKCORE::RICHEDITOR {

// Receives the picture a screen capture produced. Objects are never deleted through it.
class IScreenCaptureNotify
{
public:
    // The user finished a capture; `bitmap` is valid only during the call.
    virtual void OnScreenCaptureComplet(const QImage &bitmap) = 0;

protected:
    ~IScreenCaptureNotify() = default;
};

} // namespace TAVRIKCORE::RICHEDITOR
