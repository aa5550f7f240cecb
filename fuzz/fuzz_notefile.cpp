// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Reads arbitrary bytes as a stored note file (version header, legacy code page) and writes
// what was read back: reading never fails on a readable file and the round trip keeps text
// and version.
#include "fuzzcheck.h"
#include "notehtml/notehtmlrw.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikFuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = TavrikFuzz::scratchAppDirectory() + QStringLiteral("note.html");
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file opens");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    QString content;
    int version = -1;
    check(NoteHtmlRW::ReadHtmlTextFromFile(path, content, version) == 1, "a readable file reads");
    check(version >= 0, "version read");

    if (content.contains(QChar(0)))
        return 0;
    check(NoteHtmlRW::WriteHtmlTextFile(path, content, version) == 1, "written back");
    QString again;
    int againVersion = -1;
    check(NoteHtmlRW::ReadHtmlTextFromFile(path, again, againVersion) == 1, "read back");
    check(againVersion == version, "version survives a round trip");
    check(again == content, "text survives a round trip");
    return 0;
}
