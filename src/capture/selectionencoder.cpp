// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/selectionencoder_p.h"

#include "attach/attachstore_p.h"
#include "capture/screencapturedlgbase_p.h"

#include <QThreadPool>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace TAVRIKCORE::RICHEDITOR {

// One encode, shared by the GUI thread and the worker; everything below the mutex is guarded
// by it.
struct SelectionEncoder::Job
{
    enum State { Queued, Running, Done };

    Job(qint64 snapshotKey, const QRect &pixels) : snapshotKey(snapshotKey), pixels(pixels) { }

    const qint64 snapshotKey;
    const QRect pixels;
    std::mutex mutex;
    std::condition_variable done;
    QImage snapshot; // handed to the worker
    State state = Queued;
    bool cancelled = false;
    SelectionPicture picture;

    bool isCancelled()
    {
        const std::lock_guard lock(mutex);
        return cancelled;
    }
    void cancel()
    {
        const std::lock_guard lock(mutex);
        cancelled = true;
        snapshot = QImage();
    }
    void run();
};

namespace {

// The jobs started and not yet taken by a pool thread.
struct Handover
{
    // Destroyed at exit after the pool's threads have finished; the lock orders their last
    // touch of the queue before its end where the thread sanitizer can see it.
    ~Handover() { const std::lock_guard lock(mutex); }

    std::mutex mutex;
    std::deque<std::shared_ptr<SelectionEncoder::Job>> jobs;
};

Handover &handover()
{
    static Handover queue;
    return queue;
}

// The pool's task: it runs the oldest job handed over. One task without data of its own is
// started again for every job, so no memory passes between the threads behind our lock.
class NextJob : public QRunnable
{
public:
    NextJob() { setAutoDelete(false); }
    void run() override;
};

NextJob &nextJob()
{
    static NextJob task;
    return task;
}

SelectionPicture encodeNow(const QImage &snapshot, const QRect &pixels)
{
    SelectionPicture picture{ScreenCaptureDlgBase::CutPicture(snapshot, pixels), {}};
    picture.jpeg = AttachStore::EncodeJpeg(picture.image);
    return picture;
}

} // namespace

void SelectionEncoder::Job::run()
{
    QImage from;
    {
        const std::lock_guard lock(mutex);
        if (!cancelled) {
            state = Running;
            from = std::exchange(snapshot, QImage());
        }
    }
    SelectionPicture made;
    if (!from.isNull()) {
        made.image = ScreenCaptureDlgBase::CutPicture(from, pixels);
        from = QImage();
        // A selection that changed while it was cut is not encoded.
        if (!isCancelled())
            made.jpeg = AttachStore::EncodeJpeg(made.image);
    }
    {
        const std::lock_guard lock(mutex);
        state = Done;
        if (!cancelled)
            picture = std::move(made);
    }
    done.notify_all();
}

void NextJob::run()
{
    std::shared_ptr<SelectionEncoder::Job> job;
    {
        const std::lock_guard lock(handover().mutex);
        job = std::move(handover().jobs.front());
        handover().jobs.pop_front();
    }
    job->run();
}

SelectionEncoder::SelectionEncoder()
{
    m_rest.setSingleShot(true);
    m_rest.setInterval(RestMs);
    QObject::connect(&m_rest, &QTimer::timeout, &m_rest, [this] { startEncoding(); });
}

SelectionEncoder::~SelectionEncoder()
{
    discard();
}

void SelectionEncoder::follow(const QImage &snapshot, const QRect &pixels)
{
    if (snapshot.cacheKey() == m_snapshot.cacheKey() && pixels == m_pixels)
        return;
    discard();
    if (snapshot.isNull() || pixels.isEmpty())
        return;
    m_snapshot = snapshot;
    m_pixels = pixels;
    m_rest.start();
}

void SelectionEncoder::discard()
{
    m_rest.stop();
    m_snapshot = QImage();
    m_pixels = QRect();
    if (m_job)
        m_job->cancel();
    m_job.reset();
}

void SelectionEncoder::startEncoding()
{
    m_job = std::make_shared<Job>(m_snapshot.cacheKey(), m_pixels);
    {
        const std::lock_guard lock(m_job->mutex);
        m_job->snapshot = m_snapshot;
    }
    {
        const std::lock_guard lock(handover().mutex);
        handover().jobs.push_back(m_job);
    }
    QThreadPool::globalInstance()->start(&nextJob());
}

SelectionPicture SelectionEncoder::picture(const QImage &snapshot, const QRect &pixels)
{
    if (m_job && m_job->snapshotKey == snapshot.cacheKey() && m_job->pixels == pixels) {
        std::unique_lock lock(m_job->mutex);
        // An encode the pool has not begun yet is done here rather than waited for.
        if (m_job->state == Job::Queued) {
            m_job->cancelled = true;
        } else {
            m_job->done.wait(lock, [this] { return m_job->state == Job::Done; });
            if (!m_job->picture.jpeg.isEmpty())
                return m_job->picture;
        }
    }
    return encodeNow(snapshot, pixels);
}

} // namespace TAVRIKCORE::RICHEDITOR
