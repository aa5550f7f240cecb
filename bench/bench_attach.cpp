// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/fileclassifier_p.h"
#include "attach/filethumbnail_p.h"
#include "benchutil.h"
#include "common/commonutils.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;

// Steady-state cost of drawing and writing one thumbnail card.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTemporaryDir appDir;
    QDir(appDir.path()).mkpath(QStringLiteral("res"));
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::darkBlue);
    icon.save(appDir.filePath(QStringLiteral("res/word.bmp")), "BMP");
    SetAppDirectory(appDir.path() + u'/');
    SetProgramDirectory(appDir.path());

    const QString name = QStringLiteral("Quarterly report 2026 (final).docx");
    const QString info = FileThumbnail::FormatFileInfo(1572864, QStringLiteral("2026/03/04 05:06"));
    // Steady state: the same card drawn and written again and again.
    const QString out = appDir.filePath(QStringLiteral("card.bmp"));
    int size = 0;
    for (int i = 0; i < 200; ++i) {
        if (!FileThumbnail::GenerateFileThumb(FT_WORD, name, info, out, &size)) {
            std::fprintf(stderr, "thumbnail failed\n");
            return 1;
        }
    }
    const double ns = TavrikBench::medianNs(
        3000, [&] { FileThumbnail::GenerateFileThumb(FT_WORD, name, info, out, &size); });

    // For comparison (no goal): each card into a new file, as the store does; on disk this
    // adds the file system's cost of creating a file.
    std::vector<QString> fresh;
    for (int i = 0; i < 1000; ++i)
        fresh.push_back(appDir.filePath(CreateGuidString() + QStringLiteral(".tmp")));
    size_t next = 0;
    const double freshNs = TavrikBench::medianNs(
        1000, [&] { FileThumbnail::GenerateFileThumb(FT_WORD, name, info, fresh[next++], &size); });
    std::printf("# thumbnail into a new file: %.1f us\n", freshNs / 1000.0);
    TavrikBench::report("thumbnail_us", ns / 1000.0, TavrikBench::Goal::AtMost, 100);
    SetAppDirectory(QString());
    return TavrikBench::exitCode();
}
