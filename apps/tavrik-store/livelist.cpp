// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "livelist.h"

#include "livenotes.h"
#include "notestore.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

using TAVRIKCORE::RICHEDITOR::LiveNote;

std::optional<std::vector<LiveNote>> readLiveList(const QString &path, QString &error)
{
    QFile file;
    const bool opened = path == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                     : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = QStringLiteral("Cannot read the live list %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    std::vector<LiveNote> live;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            live.push_back({QString(), line});
        else
            live.push_back({line.left(tab), line.mid(tab + 1)});
    }
    return live;
}

std::optional<std::vector<LiveNote>> readNotebook(const QString &path, QString &error)
{
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("No notebook at %1").arg(path);
        return std::nullopt;
    }
    NoteStore store(path);
    if (!store.openForReading()) {
        error = store.lastError();
        return std::nullopt;
    }
    return liveNotesOf(store);
}
