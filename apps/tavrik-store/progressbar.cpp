// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "progressbar.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Runs shorter than this show no bar.
constexpr qint64 QuietMs = 300;
constexpr int BarWidth = 40;

} // namespace

ProgressBar::ProgressBar(const QString &label)
    : m_label(label), m_terminal(::isatty(STDERR_FILENO) == 1)
{
    m_timer.start();
}

ProgressBar::~ProgressBar()
{
    if (m_drawn)
        std::fputs("\r\033[K", stderr);
}

TAVRIKCORE::RICHEDITOR::StoreProgress ProgressBar::callback()
{
    if (!m_terminal)
        return {};
    return [this](qint64 done, qint64 total) {
        draw(done, total);
    };
}

void ProgressBar::draw(qint64 done, qint64 total)
{
    if (m_timer.elapsed() < QuietMs || total <= 0)
        return;
    const int percent = int(qBound(qint64(0), done * 100 / total, qint64(100)));
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    const int filled = percent * BarWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", qPrintable(m_label),
                 QByteArray(filled, '#').constData(),
                 QByteArray(BarWidth - filled, ' ').constData(), percent);
    std::fflush(stderr);
    m_drawn = true;
}
