// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <gtest/gtest.h>

#include "common/commonutils.h"
#include "skin/iewebbrowser.h"

#include <QApplication>
#include <QDir>

// Every test program runs inside one QApplication on the offscreen platform, so the same
// program works from CTest, from a shell and under a sanitizer.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAVRIKCORE::RICHEDITOR::IEWebBrowser::PrepareProcess();
    QApplication app(argc, argv);
    // The program's own application folder (TAVRIK_APP_DIR) holds its log and attachment store;
    // the page and icons are the build's (TAVRIK_PAGE_DIR).
    QDir().mkpath(TAVRIKCORE::RICHEDITOR::GetAppDirectory());
    TAVRIKCORE::RICHEDITOR::SetProgramDirectory(qEnvironmentVariable("TAVRIK_PAGE_DIR"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
