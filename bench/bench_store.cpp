// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The attachment store's upkeep: tavrik-store check against md5sum over the same files, and a
// dry-run clean-up of a store of 10,000 files with 1,000 live notes.
#include "benchutil.h"
#include "common/commonutils.h"
#include "notehtml/notehtmlrw.h"
#include "store/storecleanup.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

QString md5Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

// Writes `bytes` into the store's root under their MD5 and `extension`; gives the name.
QString putContentNamed(const QString &root, const QByteArray &bytes, const QString &extension)
{
    const QString name = md5Of(bytes) + u'.' + extension;
    QFile file(root + u'/' + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return name;
}

// Dates a file two hours back, as files a clean-up may remove are.
void age(const QString &path)
{
    const timespec when{time(nullptr) - 7200, 0};
    const timespec times[2] = {when, when};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// check of 2,000 files (200 MiB) by the program against md5sum of the same files, both warm,
// alternating; the best of five runs each.
bool checkAgainstMd5sum(const QString &program)
{
    QTemporaryDir app;
    const QString root = app.filePath(QStringLiteral("userdata/attachment"));
    QDir().mkpath(root);
    std::mt19937_64 random(20261206);
    constexpr int Files = 2000;
    constexpr qint64 Size = 200LL * 1024 * 1024 / Files;
    for (int i = 0; i < Files; ++i)
        putContentNamed(root, TavrikBench::randomBytes(random, Size), QStringLiteral("bin"));
    const QString live = app.filePath(QStringLiteral("live.txt"));
    QFile(live).open(QIODevice::WriteOnly);

    const QString ours = QStringLiteral("'%1' --app-dir '%2' --live '%3' check > /dev/null")
                             .arg(program, app.path(), live);
    const QString theirs = QStringLiteral("cd '%1' && md5sum -- *.bin > /dev/null").arg(root);
    if (TavrikBench::secondsOfCommand(ours) < 0 || TavrikBench::secondsOfCommand(theirs) < 0) {
        std::fprintf(stderr, "check or md5sum failed on the sound store\n");
        return false;
    }
    std::vector<double> oursTimes, theirsTimes;
    for (int run = 0; run < 5; ++run) {
        theirsTimes.push_back(TavrikBench::secondsOfCommand(theirs));
        oursTimes.push_back(TavrikBench::secondsOfCommand(ours));
    }
    const double bestOurs = *std::min_element(oursTimes.begin(), oursTimes.end());
    const double bestTheirs = *std::min_element(theirsTimes.begin(), theirsTimes.end());
    std::printf("check of 2,000 files (200 MiB): tavrik-store %.0f ms, md5sum %.0f ms\n",
                bestOurs * 1e3, bestTheirs * 1e3);
    TavrikBench::report("check_vs_md5sum", bestOurs / bestTheirs, TavrikBench::Goal::AtMost, 1.2);
    return true;
}

// A store of 10,000 files: 1,000 live notes, each with a picture (its copy and the kept copy),
// an attached file (kept copy and thumbnail card), and 5,000 files no note references.
void dryRunCleanup()
{
    QTemporaryDir app;
    SetAppDirectory(app.path());
    const QString root = app.filePath(QStringLiteral("userdata/attachment"));
    QDir().mkpath(root);
    std::mt19937_64 random(7);
    std::vector<LiveNote> live;
    int files = 0;
    for (int n = 0; n < 1000; ++n) {
        const QString id = CreateGuidString();
        QDir().mkpath(root + u'/' + id);
        const QByteArray picture = TavrikBench::randomBytes(random, 256);
        const QString pictureName = putContentNamed(root, picture, QStringLiteral("png"));
        const QString card
            = putContentNamed(root, TavrikBench::randomBytes(random, 256), QStringLiteral("bmp"));
        QFile::copy(root + u'/' + pictureName, root + u'/' + id + QStringLiteral("/photo.png"));
        QFile report(root + u'/' + id + QStringLiteral("/report.pdf"));
        report.open(QIODevice::WriteOnly);
        report.write(TavrikBench::randomBytes(random, 256));
        const QString note
            = QStringLiteral(
                  "<p>Note %1 with some text.</p><img class=\"userdata\\attachment\\%2\" "
                  "src=\"../userdata\\attachment\\%2\" zv_exdata='{\"OrigName_B64\":"
                  "\"cGhvdG8ucG5n\"}'><img class=\"userdata\\attachment\\%3.pdf\" "
                  "src=\"../userdata\\attachment\\%4\" zv_exdata='{\"OrigName_B64\":"
                  "\"cmVwb3J0LnBkZg==\"}'>")
                  .arg(n)
                  .arg(pictureName, md5Of(report.fileName().toUtf8()), card);
        const QString noteName = md5Of(note.toUtf8()) + QStringLiteral(".html");
        NoteHtmlRW::WriteHtmlTextFile(root + u'/' + noteName, note, NOTE_HTML_VER_2);
        live.push_back({id, noteName});
        files += 5;
    }
    for (; files < 10000; ++files)
        age(root + u'/'
            + putContentNamed(root, TavrikBench::randomBytes(random, 64), QStringLiteral("dat")));

    StoreCleanup::List(live); // warm
    size_t listed = 0;
    const double ns
        = TavrikBench::medianNs(5, [&] { listed = StoreCleanup::List(live).items.size(); });
    std::printf("dry-run clean-up of 10,000 files, 1,000 live notes: %.1f ms, %zu listed\n",
                ns / 1e6, listed);
    if (listed != 5000)
        std::fprintf(stderr, "expected 5000 unreferenced files, listed %zu\n", listed);
    TavrikBench::report("clean_dry_run_10k_ms_per_1k", ns / 1e6 / 10, TavrikBench::Goal::AtMost,
                        50);
    SetAppDirectory(QString());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
#ifdef TAVRIK_STORE_PROGRAM
    if (!checkAgainstMd5sum(QStringLiteral(TAVRIK_STORE_PROGRAM)))
        return 1;
#else
    std::fprintf(stderr, "tavrik-store is not built: check_vs_md5sum skipped\n");
#endif
    dryRunCleanup();
    return TavrikBench::exitCode();
}
