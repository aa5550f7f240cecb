// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "store/storerecords.h"

#include <QElapsedTimer>
#include <QString>

// A progress bar on the standard error, drawn only when that is a terminal and the run takes
// longer than a moment; erased when done.
class ProgressBar
{
public:
    explicit ProgressBar(const QString &label);
    ~ProgressBar();
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    // The callback to hand to a store run; empty when stderr is not a terminal.
    TAVRIKCORE::RICHEDITOR::StoreProgress callback();

private:
    void draw(qint64 done, qint64 total);

    QString m_label;
    QElapsedTimer m_timer;
    bool m_terminal = false;
    bool m_drawn = false;
    int m_lastPercent = -1;
};
