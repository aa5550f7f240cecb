// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "skin/tavriktools.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

TEST(TavrikTools, MakeDirectoryCreatesTheFolderWithItsParents)
{
    QTemporaryDir dir;
    const QString nested = dir.filePath(u"a/b/\u7B14\u8BB0 c"_s);
    EXPECT_EQ(TAVRIKTOOLS::MakeDirectory(nested), 1);
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_EQ(TAVRIKTOOLS::MakeDirectory(nested), 1) << "an existing folder is fine";
    EXPECT_EQ(TAVRIKTOOLS::MakeDirectory(nested + u'/'), 1);

    QFile file(dir.filePath(u"file"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(TAVRIKTOOLS::MakeDirectory(file.fileName()), 0);
    EXPECT_EQ(TAVRIKTOOLS::MakeDirectory(file.fileName() + u"/sub"_s), 0);
    EXPECT_EQ(TAVRIKTOOLS::MakeDirectory(QString()), 0);
}
