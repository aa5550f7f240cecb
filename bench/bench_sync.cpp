// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// A note carried by Syncthing: from saving a note with one picture on one device until the
// other device shows it, against the same two Syncthing instances carrying one plain file of
// the same total size between the same two folders. Alternating, the first run of each left
// out.
#include "benchutil.h"
#include "notestore.h"
#include "syncthingpair.h"

#include "common/appdirectory.h"
#include "notehtml/notehtmlrw.h"
#include "store/noteheads.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <random>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 PictureBytes = 2 * 1024 * 1024;
constexpr int Runs = 10; // of each, the first left out

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Polls `done` every 5 ms for at most a minute.
template<typename Done> bool waitFor(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 60000)
            return false;
        QThread::msleep(5);
    }
    return true;
}

class SyncBench
{
public:
    bool start()
    {
        if (!m_pair.start()) {
            std::fprintf(stderr, "%s\n", qPrintable(m_pair.error()));
            return false;
        }
        for (int i : {0, 1}) {
            QString error;
            const QString app = m_pair.appFolder(i);
            const QString device = NoteHeads::DeviceId(app + u"userdata/device-id"_s, error);
            m_stores[size_t(i)] = std::make_unique<NoteStore>(
                app + u"userdata/notes.db"_s, m_pair.sharedFolder(i) + u"/heads"_s, device);
            if (!m_stores[size_t(i)]->open())
                return false;
        }
        return true;
    }

    // Seconds from saving a note with one picture on A until B shows it; the bytes it wrote.
    double note(int run, qint64 &bytes)
    {
        const QString id = u"%1"_s.arg(run, 32, 16, QChar(u'0'));
        const QString rootA = m_pair.sharedFolder(0) + u'/';
        QElapsedTimer timer;
        timer.start();
        SetAppDirectory(m_pair.appFolder(0));
        const QByteArray picture = TavrikBench::randomBytes(m_random, PictureBytes);
        const QString pictureName = QString::fromLatin1(
            QCryptographicHash::hash(picture, QCryptographicHash::Md5).toHex() + ".png");
        writeFile(rootA + pictureName, picture);
        QString html
            = u"<p>Run %1</p><p><img src=\"../userdata\\attachment\\%2\"></p>"_s.arg(run).arg(
                pictureName);
        NewAttachFile noteFile;
        int version = NOTE_HTML_VER_2;
        NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version);
        NoteStore &a = *m_stores[0];
        a.addNote(id, u"Run %1"_s.arg(run));
        a.saveNote(id,
                   {{QString(), 0, QString(), u"html"_s, noteFile.storeName, noteFile.filePath},
                    {QString(), 1, QString(), u"png"_s, pictureName, rootA + pictureName, 1}},
                   {}, html);
        m_pair.scan(0);
        NoteStore &b = *m_stores[1];
        const QString rootB = m_pair.sharedFolder(1) + u'/';
        const bool shown = waitFor([&] {
            b.refreshFromHeads();
            return !b.noteFileNames(id).empty()
                && QFileInfo(rootB + pictureName).size() == PictureBytes;
        });
        const double seconds = timer.nsecsElapsed() / 1e9;
        bytes = PictureBytes + QFileInfo(rootA + noteFile.storeName).size();
        for (const QFileInfo &head : QDir(m_pair.sharedFolder(0) + u"/heads"_s)
                                         .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            bytes += QFileInfo(head.filePath() + u'/' + id + u".json"_s).size();
        }
        return shown ? seconds : -1;
    }

    // Seconds from writing one plain file of `bytes` on A until B holds all of it.
    double plain(int run, qint64 bytes)
    {
        const QString name = u"plain-%1.bin"_s.arg(run);
        QElapsedTimer timer;
        timer.start();
        writeFile(m_pair.sharedFolder(0) + u'/' + name, TavrikBench::randomBytes(m_random, bytes));
        m_pair.scan(0);
        const QString onB = m_pair.sharedFolder(1) + u'/' + name;
        const bool arrived = waitFor([&] { return QFileInfo(onB).size() == bytes; });
        const double seconds = timer.nsecsElapsed() / 1e9;
        return arrived ? seconds : -1;
    }

private:
    SyncthingPair m_pair;
    std::array<std::unique_ptr<NoteStore>, 2> m_stores;
    std::mt19937_64 m_random{20261206};
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (SyncthingPair::program().isEmpty()) {
        std::fprintf(stderr, "syncthing is not installed: sync_note_vs_plain_file not measured\n");
        return 0;
    }
    SyncBench bench;
    if (!bench.start())
        return 1;
    std::vector<double> notes;
    std::vector<double> plains;
    for (int run = 0; run < Runs; ++run) {
        qint64 bytes = 0;
        const double note = bench.note(run, bytes);
        const double plain = bench.plain(run, bytes);
        if (note < 0 || plain < 0) {
            std::fprintf(stderr, "run %d did not arrive\n", run);
            return 1;
        }
        std::fprintf(stderr, "run %d: note %.3f s, plain file of %lld bytes %.3f s\n", run, note,
                     static_cast<long long>(bytes), plain);
        if (run > 0) {
            notes.push_back(note);
            plains.push_back(plain);
        }
    }
    TavrikBench::report("sync_note_vs_plain_file",
                        TavrikBench::median(notes) / TavrikBench::median(plains),
                        TavrikBench::Goal::AtMost, 1.5);
    return TavrikBench::exitCode();
}
