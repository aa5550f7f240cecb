// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Reading the attachment list of a large note against a bare parse of the same text, and storing
// a note against writing and hashing its bytes.
#include "benchutil.h"

#include "common/commonutils.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/notehtmlrw.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <functional>
#include <fcntl.h>
#include <unistd.h>

using namespace TAVRIKCORE::RICHEDITOR;

using TavrikBench::median;

namespace {

// About 2 MB of editor markup with 1,000 attachment elements among ordinary paragraphs.
QString generateNote()
{
    QString html;
    html.reserve(2 * 1024 * 1024 + 4096);
    const QString filler = QStringLiteral(
        "<p>Meeting notes <b>bold</b> and <span style=\"color: rgb(255, 0, 0);\">red</span> text, "
        "中文内容 with a <a href=\"https://example.com/x?a=1&amp;b=2\">link</a>.</p>");
    int element = 0;
    while (html.size() < 2 * 1024 * 1024) {
        html += filler;
        if (element < 1000 && html.size() > element * 2000) {
            const QString store = QStringLiteral("%1.docx").arg(element, 32, 16, QChar(u'0'));
            const QString thumb = QStringLiteral("%1.png").arg(element, 32, 16, QChar(u'0'));
            html += QStringLiteral("<img class=\"userdata\\attachment\\%1\" "
                                   "src=\"../userdata\\attachment\\%2\" "
                                   "zv_exdata=\"%3\" data-ke-src=\"../userdata\\attachment\\%2\">")
                        .arg(store, thumb,
                             AttachMarkup::FormatOrigNameToJson(
                                 QStringLiteral("报告 %1.docx").arg(element))
                                 .toHtmlEscaped());
            ++element;
        }
    }
    return html;
}

bool writeFlushed(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size()
        && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

int main()
{
    QTemporaryDir app;
    SetAppDirectory(app.path());
    const QString note = generateNote();
    const QByteArray utf8 = note.toUtf8();

    std::vector<NewAttachFile> records;
    AttachMarkup::ParseAttList(QStringLiteral("benchnote"), note, records); // warm-up
    if (records.size() != 2000) {
        std::fprintf(stderr, "unexpected record count %zu\n", records.size());
        return 1;
    }
    // Blocks of runs alternate, so both sides see the same machine load; within a block a side
    // runs after itself, so it pays for the memory it freed itself (freeing a document tree
    // leaves the allocator work that the next allocations do). The first run of each block is
    // left out; medians of each side.
    std::vector<double> parseTimes;
    std::vector<double> listTimes;
    const auto timeBlock = [](std::vector<double> &times, const std::function<void()> &work) {
        for (int run = 0; run < 5; ++run) {
            const double seconds = TavrikBench::secondsOf(work);
            if (run > 0)
                times.push_back(seconds);
        }
    };
    for (int block = 0; block < 6; ++block) {
        timeBlock(parseTimes, [&] {
            xmlDocPtr doc = htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8",
                                           HTML_PARSE_RECOVER | HTML_PARSE_NOERROR
                                               | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
            xmlFreeDoc(doc);
        });
        timeBlock(listTimes,
                  [&] { AttachMarkup::ParseAttList(QStringLiteral("benchnote"), note, records); });
    }
    const double parseNs = median(parseTimes);
    const double listNs = median(listTimes);
    TavrikBench::report("parse_att_list_vs_parse", listNs / parseNs, TavrikBench::Goal::AtMost,
                        1.3);
    std::fprintf(stderr, "attachment list %.1f ms, parse %.1f ms (medians of %zu)\n",
                 listNs * 1000, parseNs * 1000, listTimes.size());

    int counter = 0;
    const QString plainPath = app.filePath(QStringLiteral("plain.html"));
    std::vector<double> writeTimes;
    std::vector<double> saveTimes;
    for (int run = 0; run < 21; ++run) {
        writeTimes.push_back(TavrikBench::secondsOf([&] {
            const QByteArray bytes
                = NoteHtmlRW::header(2) + note.toUtf8() + QByteArray::number(++counter);
            writeFlushed(plainPath, bytes);
            QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
        }));
        saveTimes.push_back(TavrikBench::secondsOf([&] {
            QString content = note + QString::number(++counter); // a new file every time
            NewAttachFile record;
            int version = NOTE_HTML_VER_2;
            NoteHtmlRW::SaveHtmlTextToFile(content, record, &version);
        }));
    }
    const double saveNs = median(saveTimes);
    const double writeNs = median(writeTimes);
    TavrikBench::report("note_save_vs_write_hash", saveNs / writeNs, TavrikBench::Goal::AtMost,
                        1.3);
    return TavrikBench::exitCode();
}
