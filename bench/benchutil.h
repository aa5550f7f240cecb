// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace TavrikBench {

enum class Goal { AtLeast, AtMost };

// Prints "BENCH <key> value=<value> goal<op><goal> PASS|FAIL" and remembers a failure.
bool report(const char *key, double value, Goal goal, double target);

// 0 when every reported goal passed, else 1: the program's exit code.
int exitCode();

// Seconds of one call of `work`.
double secondsOf(const std::function<void()> &work);

// Median in nanoseconds of `runs` timed calls of `work`.
double medianNs(int runs, const std::function<void()> &work);

// Seconds a shell command takes; negative when it fails.
double secondsOfCommand(const QString &command);

// Resident set size of this process in KiB, and its peak so far.
long residentKiB();
long peakResidentKiB();

// Writes `size` bytes of deterministic pseudo-random data to `path`.
void writeRandomFile(const QString &path, qint64 size);

} // namespace TavrikBench
