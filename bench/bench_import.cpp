// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Importing an Evernote export of 100 notes with one picture each into the demo's notebook, as
// File > Import… does, over adding the same 100 pictures to a loaded note by file, measured
// alternately.
#include "benchutil.h"
#include "editorpagebench.h"

#include "mainwindow.h"
#include "noteimport.h"
#include "notestore.h"

#include "attach/dropfiles_p.h"
#include "common/commonutils.h"
#include "store/noteheads.h"

#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>

#include <cstdio>

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

constexpr int Runs = 5;
constexpr int Pictures = 100;
const QString DeviceId = QStringLiteral("0123456789abcdef0123456789abcdef");

// A picture of noise, which PNG cannot shrink much: about 50 KB.
QByteArray noisePng(int seed)
{
    QImage image(130, 100, QImage::Format_RGB32);
    QRandomGenerator random(quint32(seed + 1));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, random.generate() | 0xff000000u);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Writes the pictures as files and the export that holds them, one a note.
bool writeSources(const QString &folder, std::vector<QString> &pictures, const QString &enex)
{
    QFile out(enex);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<en-export>");
    for (int i = 0; i < Pictures; ++i) {
        const QByteArray png = noisePng(i);
        pictures.push_back(folder + QStringLiteral("/photo%1.png").arg(i));
        QFile file(pictures.back());
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
            return false;
        const QByteArray hash = QCryptographicHash::hash(png, QCryptographicHash::Md5).toHex();
        out.write("<note><title>Photo " + QByteArray::number(i)
                  + "</title><content><![CDATA[<en-note><div>A photo of the trip.</div>"
                    "<en-media hash=\""
                  + hash
                  + "\" type=\"image/png\"/></en-note>]]></content><resource>"
                    "<data encoding=\"base64\">"
                  + png.toBase64(QByteArray::Base64Encoding) + "</data><mime>image/png</mime>"
                  + "<resource-attributes><file-name>photo" + QByteArray::number(i)
                  + ".png</file-name></resource-attributes></resource></note>\n");
    }
    out.write("</en-export>\n");
    return out.error() == QFile::NoError;
}

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    // The add side's editor page, in the application folder the notebooks share.
    TavrikBench::EditorPageBench<> editor;
    std::vector<QString> pictures;
    const QString folder = editor.work.path();
    const QString enex = folder + QStringLiteral("/trip.enex");
    if (!editor.ready || !writeSources(folder, pictures, enex))
        return 1;
    ZvWebNoteHandler &handler = editor.handler;

    std::vector<double> importing;
    std::vector<double> adding;
    for (int run = 0; run < Runs + 1; ++run) {
        // A new notebook and its window each time, kept in heads as the demo keeps it; the
        // window's page need not be shown.
        NoteStore store(folder + QStringLiteral("/notes%1.db").arg(run),
                        NoteHeads::DefaultFolder() + QString::number(run), DeviceId);
        if (!store.open())
            return 1;
        MainWindow window(store);
        NoteImport::Report report;
        const double import
            = TavrikBench::secondsOf([&] { report = NoteImport(store).importFiles({enex}); });

        handler.SetEditorHtml(QStringLiteral("<p>Photos of the trip.</p>"));
        handler.SetCurNoteGuid(CreateGuidString());
        std::vector<DropFileInfo> drop(pictures.size());
        for (std::size_t i = 0; i < pictures.size(); ++i)
            DropFiles::BuildDropFileInfo(pictures[i], drop[i]);
        const double add = TavrikBench::secondsOf([&] { handler.AddDropFileToEditor(drop); });

        QString html;
        QString text;
        handler.GetEditorContent(html, text);
        if (report.noteIds.size() != Pictures || !report.skipped.empty()
            || html.count(QStringLiteral("zv_exdata")) != Pictures || editor.prompts.messages) {
            std::fprintf(stderr, "not every picture arrived: %d notes, %d skipped, %d added\n",
                         int(report.noteIds.size()), int(report.skipped.size()),
                         int(html.count(QStringLiteral("zv_exdata"))));
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        importing.push_back(import);
        adding.push_back(add);
    }
    const double ratio = TavrikBench::median(importing) / TavrikBench::median(adding);
    TavrikBench::report("enex_100_notes_vs_add", ratio, TavrikBench::Goal::AtMost, 2);
    std::fprintf(stderr, "importing %.0f ms, adding %.0f ms (medians of %d)\n",
                 TavrikBench::median(importing) * 1000, TavrikBench::median(adding) * 1000, Runs);
    return TavrikBench::exitCode();
}
