// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QTimer>

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// A capture's picture and its JPEG.
struct SelectionPicture
{
    QImage image;
    QByteArray jpeg;
};

// Encodes the capture's selection while it rests, so that completing the capture only has to
// store bytes: once the selection has not changed for RestMs, a worker thread cuts it from the
// snapshot and encodes it as a JPEG. Work for a selection is thrown away as soon as the
// selection changes. Used from the GUI thread.
class TAVRIK_AUTOTEST_EXPORT SelectionEncoder
{
public:
    static constexpr int RestMs = 100;

    SelectionEncoder();
    ~SelectionEncoder();
    SelectionEncoder(const SelectionEncoder &) = delete;
    SelectionEncoder &operator=(const SelectionEncoder &) = delete;

    // The selection is now `pixels` of `snapshot` (empty for none); the same one again
    // changes nothing.
    void follow(const QImage &snapshot, const QRect &pixels);
    // Throws away the work done or in progress and forgets the selection.
    void discard();
    // The picture at `pixels` of `snapshot` (see ScreenCaptureDlgBase::CutPicture) with its
    // JPEG: the one encoded while that selection rested, waited for while its encode runs, or
    // else cut and encoded now.
    SelectionPicture picture(const QImage &snapshot, const QRect &pixels);
    // Whether an encode of the followed selection has started, or has ended with its picture.
    bool encoding() const { return bool(m_job); }

    // One encode, shared with the pool thread that runs it.
    struct Job;

private:
    void startEncoding();

    QTimer m_rest;
    QImage m_snapshot;
    QRect m_pixels;
    std::shared_ptr<Job> m_job;
};

} // namespace TAVRIKCORE::RICHEDITOR
