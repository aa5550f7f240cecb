// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// File hashing: CalcFileMd5 against md5sum on the same warm file, and the memory it needs.
#include "benchutil.h"
#include "common/commonutils.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr qint64 s_mib = 1024 * 1024;

QString md5sumOf(const QString &path)
{
    QByteArray out(64, '\0');
    const QByteArray command = "md5sum '" + QFile::encodeName(path) + "'";
    FILE *pipe = ::popen(command.constData(), "r");
    if (!pipe)
        return {};
    const size_t got = std::fread(out.data(), 1, 32, pipe);
    ::pclose(pipe);
    return QString::fromLatin1(out.left(qsizetype(got)));
}

// Resets the peak resident size so the next peak belongs to what follows; false when the
// kernel does not allow it.
bool resetPeakResident()
{
    FILE *file = std::fopen("/proc/self/clear_refs", "w");
    if (!file)
        return false;
    const bool done = std::fputs("5", file) >= 0;
    return std::fclose(file) == 0 && done;
}

} // namespace

int main()
{
    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }

    // Throughput on a 100 MiB file, both tools alternating on the warm file.
    const QString path = temp.filePath(QStringLiteral("hundred.bin"));
    TavrikBench::writeRandomFile(path, 100 * s_mib);
    const QString expected = md5sumOf(path);
    if (CalcFileMd5(path) != expected) {
        std::fprintf(stderr, "CalcFileMd5 disagrees with md5sum (%s)\n", qPrintable(expected));
        return 1;
    }
    const QString command = QStringLiteral("md5sum '%1' > /dev/null").arg(path);
    std::vector<double> ours, theirs;
    for (int run = 0; run < 9; ++run) {
        theirs.push_back(TavrikBench::secondsOfCommand(command));
        ours.push_back(TavrikBench::secondsOf([&] { CalcFileMd5(path); }));
    }
    const double bestOurs = *std::min_element(ours.begin(), ours.end());
    const double bestTheirs = *std::min_element(theirs.begin(), theirs.end());
    std::printf("md5 of 100 MiB: CalcFileMd5 %.1f ms, md5sum %.1f ms (best of %zu)\n",
                bestOurs * 1e3, bestTheirs * 1e3, ours.size());
    TavrikBench::report("md5_vs_md5sum", bestTheirs / bestOurs, TavrikBench::Goal::AtLeast, 1.05);

    // Resident memory while hashing a 256 MiB file: the peak after a reset, and samples taken
    // during the run, both against the resident size just before.
    const QString large = temp.filePath(QStringLiteral("large.bin"));
    TavrikBench::writeRandomFile(large, 256 * s_mib);
    const bool peakReset = resetPeakResident();
    const long before = TavrikBench::residentKiB();
    std::atomic<bool> hashing{true};
    std::atomic<long> sampledPeak{before};
    std::thread sampler([&] {
        while (hashing.load()) {
            const long now = TavrikBench::residentKiB();
            if (now > sampledPeak.load())
                sampledPeak.store(now);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const QString digest = CalcFileMd5(large);
    hashing.store(false);
    sampler.join();
    if (digest.size() != 32) {
        std::fprintf(stderr, "hashing the 256 MiB file failed\n");
        return 1;
    }
    long peak = sampledPeak.load();
    if (peakReset)
        peak = std::max(peak, TavrikBench::peakResidentKiB());
    TavrikBench::report("md5_rss_growth_mib", double(std::max(0L, peak - before)) / 1024.0,
                        TavrikBench::Goal::AtMost, 2);
    return TavrikBench::exitCode();
}
