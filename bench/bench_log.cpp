// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Cost of one WriteLog call while four threads log at once.
#include "benchutil.h"

#include "common/commonutils.h"
#include "common/log4c.h"

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

int main()
{
    QTemporaryDir dir;
    SetAppDirectory(dir.path());
    CLog4C *log = CLog4C::GetInstance();

    constexpr int threads = 4;
    constexpr int calls = 25000;
    const QString message = QStringLiteral(
        "[ERROR] AddDropFileToEditor: cannot copy /home/user/Documents/report.docx");
    std::vector<std::vector<double>> samples(threads);
    std::atomic<int> ready{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            std::vector<double> &mine = samples[size_t(t)];
            mine.reserve(calls);
            ++ready;
            while (ready.load() < threads)
                std::this_thread::yield();
            for (int i = 0; i < calls; ++i) {
                const auto start = std::chrono::steady_clock::now();
                log->WriteLog(message);
                const auto end = std::chrono::steady_clock::now();
                mine.push_back(std::chrono::duration<double, std::nano>(end - start).count());
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();

    std::vector<double> all;
    for (const std::vector<double> &mine : samples)
        all.insert(all.end(), mine.begin(), mine.end());
    std::nth_element(all.begin(), all.begin() + all.size() / 2, all.end());
    TavrikBench::report("log_writelog_ns", all[all.size() / 2], TavrikBench::Goal::AtMost, 2000);

    delete log; // writes the queued lines while the folder still exists
    return TavrikBench::exitCode();
}
