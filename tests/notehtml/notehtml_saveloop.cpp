// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Saves notes of varying size in a loop until it is killed; prints "ready" after the first.
#include "notehtml/notehtmlrw.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

#include <cstdio>

using namespace TAVRIKCORE::RICHEDITOR;

int main(int argc, char **argv)
{
    const quint32 seed = argc > 1 ? QByteArray(argv[1]).toUInt() : 0;
    QRandomGenerator random(seed);
    for (quint64 i = 0;; ++i) {
        QString content = QStringLiteral("<p>round %1 note %2 ").arg(seed).arg(i);
        content += QString(random.bounded(1000, 400000), QChar(u'a' + int(i % 26)));
        content += QStringLiteral("</p>");
        NewAttachFile record;
        int version = NOTE_HTML_VER_2;
        if (!NoteHtmlRW::SaveHtmlTextToFile(content, record, &version))
            return 1;
        if (i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
