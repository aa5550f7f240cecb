// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Exporting a note with 10 MiB of pictures to MHT against reading those pictures and writing
// their bytes base64-encoded, and exporting a 2 MB note to ODT, and to PDF from the editor,
// against exporting it to MHT.
#include "benchutil.h"
#include "editorpagebench.h"

#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "editor/noteprinting.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"
#include "notehtml/odtexport_p.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;

using TavrikBench::median;

namespace {

constexpr int PictureCount = 20;
constexpr int Runs = 21;

// A picture of noise, which no compression shrinks: about 512 KiB of PNG.
QByteArray noisePicture(quint32 seed)
{
    QImage image(362, 362, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Writes `bytes` to `path` and flushes them to disk, as the export does.
void writeFlushed(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()
        || ::fsync(fd) != 0)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    if (fd >= 0)
        ::close(fd);
}

// About 2 MB of note markup without pictures: headings, formatted paragraphs, lists and tables.
QString textNote()
{
    QString html;
    const QString section = QStringLiteral(
        "<h2>Section %1</h2><p>Meeting notes <b>bold</b>, <i>italic</i> and "
        "<span style=\"color: rgb(255, 0, 0);\">red</span> text, 中文内容 with a "
        "<a href=\"https://example.com/x?a=%1\">link</a>.</p><ul><li>first point</li>"
        "<li>second point</li></ul><table><tbody><tr><td>cell %1</td><td>value</td></tr>"
        "</tbody></table>");
    for (int n = 0; html.size() < 2 * 1000 * 1000; ++n)
        html += section.arg(n);
    return html;
}

// Median seconds of each of two tasks, run alternately so both see the same machine load.
std::pair<double, double> alternate(int runs, const std::function<void()> &first,
                                    const std::function<void()> &second)
{
    std::vector<double> firstTimes;
    std::vector<double> secondTimes;
    for (int run = 0; run < runs; ++run) {
        firstTimes.push_back(TavrikBench::secondsOf(first));
        secondTimes.push_back(TavrikBench::secondsOf(second));
    }
    return {median(firstTimes), median(secondTimes)};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir app;
    SetAppDirectory(app.path());
    const QString store = GetAttachRootDir() + u'/';
    QDir().mkpath(store);

    QString note = QStringLiteral("<h1>Holiday</h1><p>Twenty pictures.</p>");
    QStringList pictures;
    qint64 pictureBytes = 0;
    for (int n = 0; n < PictureCount; ++n) {
        const QString name = QStringLiteral("%1.png").arg(n, 32, 16, QChar(u'0'));
        const QByteArray png = noisePicture(quint32(n + 1));
        pictureBytes += png.size();
        pictures << store + name;
        QFile file(store + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
            return 1;
        note += QStringLiteral("<p><img src=\"../userdata\\attachment\\%1\"></p>").arg(name);
    }
    std::printf("pictures: %d, %.2f MiB\n", PictureCount, double(pictureBytes) / (1 << 20));

    const QString mht = app.filePath(QStringLiteral("note.mht"));
    const QString plain = app.filePath(QStringLiteral("plain.b64"));
    MhtExport::NoteHtmlContentToMhtFile(note, mht); // warm-up
    const qint64 mhtSize = QFile(mht).size();
    const auto [exportSeconds, readWriteSeconds] = alternate(
        Runs, [&] { MhtExport::NoteHtmlContentToMhtFile(note, mht); },
        [&] {
            QByteArray encoded;
            for (const QString &path : std::as_const(pictures)) {
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                encoded += file.readAll().toBase64();
            }
            // As many bytes as the export writes: its line breaks and headers come on top.
            encoded.append(mhtSize - encoded.size(), '=');
            writeFlushed(plain, encoded);
        });
    std::printf("mht export %.1f ms, read and write base64 %.1f ms (%.2f MiB file)\n",
                exportSeconds * 1e3, readWriteSeconds * 1e3, double(mhtSize) / (1 << 20));
    TavrikBench::report("mht_10mib_vs_read_write", exportSeconds / readWriteSeconds,
                        TavrikBench::Goal::AtMost, 1.5);

    const QString text = textNote();
    const QString odt = app.filePath(QStringLiteral("text.odt"));
    const auto [odtSeconds, mhtSeconds] = alternate(
        5, [&] { OdtExport::NoteHtmlContentToOdtFile(text, odt); },
        [&] { MhtExport::NoteHtmlContentToMhtFile(text, mht); });
    std::printf("2 MB note: odt %.1f ms, mht %.1f ms\n", odtSeconds * 1e3, mhtSeconds * 1e3);
    TavrikBench::report("odt_2mb_vs_mht", odtSeconds / mhtSeconds, TavrikBench::Goal::AtMost, 3);

    // The same note open in the editor, exported to PDF and to MHT; a first export of each
    // is left out.
    QWidget parent;
    CZorvaEditorImpl *editor = TavrikBench::openEditorWindow(parent);
    if (!editor || !NoteHtmlRW::WriteHtmlTextFile(store + QStringLiteral("text.html"), text, 2))
        return 2;
    editor->LoadEditor(QStringLiteral("text"), {QStringLiteral("text.html")}, {}, true);
    const QString pdf = app.filePath(QStringLiteral("text.pdf"));
    QString error;
    const auto exportPdf = [&] {
        if (!NotePrinting::ExportPdf(*editor, pdf, error))
            std::fprintf(stderr, "pdf export failed: %s\n", qPrintable(error));
    };
    const auto exportMht = [&] {
        editor->ExportWord(mht, error);
    };
    // The window keeps drawing while the PDF is drawn: the longest wait of a 10 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestWait = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, &ticks,
                     [&] { longestWait = std::max(longestWait, sinceTick.restart()); });
    ticks.start(10);
    sinceTick.start();
    exportPdf();
    ticks.stop();
    exportMht();
    const auto [pdfSeconds, editorMhtSeconds] = alternate(5, exportPdf, exportMht);
    std::printf("2 MB note: pdf %.1f ms (%.2f MiB file, the window waited %lld ms at most), "
                "mht %.1f ms\n",
                pdfSeconds * 1e3, double(QFile(pdf).size()) / (1 << 20), longestWait,
                editorMhtSeconds * 1e3);
    TavrikBench::report("pdf_2mb_vs_mht", pdfSeconds / editorMhtSeconds, TavrikBench::Goal::AtMost,
                        5);
    return TavrikBench::exitCode();
}
