// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <gtest/gtest.h>

#include "common/commonutils.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>
#include <unistd.h>

// Every test program runs inside one QApplication on the offscreen platform, so the same
// program works from CTest, from a shell and under a sanitizer.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0) {
        // Chromium refuses to start its sandbox as root.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The program's own application folder (TAVRIK_APP_DIR) holds its log and attachment store.
    QDir().mkpath(TAVRIKCORE::RICHEDITOR::GetAppDirectory());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
