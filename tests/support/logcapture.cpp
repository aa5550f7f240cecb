// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "logcapture.h"

#include "common/log4c.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

using TAVRIKCORE::RICHEDITOR::CLog4C;

namespace {

struct FileMark
{
    qint64 size = 0;
    ino_t inode = 0;
};

FileMark markOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {qint64(info.st_size), info.st_ino};
}

// Undoes the log's escapes, so tests compare the messages as they were written.
QString unescaped(const QString &line)
{
    QString text;
    text.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        const QChar kind = i + 1 < line.size() ? line.at(i + 1) : QChar();
        const qsizetype digits = kind == u'x' ? 2 : kind == u'u' ? 4 : 0;
        if (c != u'\\' || kind.isNull()) {
            text += c;
        } else if (digits) {
            text += QChar(char16_t(line.mid(i + 2, digits).toUShort(nullptr, 16)));
            i += 1 + digits;
        } else {
            text += kind == u'n' ? u'\n' : kind == u'r' ? u'\r' : kind == u't' ? u'\t' : kind;
            ++i;
        }
    }
    return text;
}

} // namespace

LogCapture::LogCapture() : m_path(CLog4C::GetInstance()->FilePath())
{
    CLog4C::GetInstance()->Flush();
    const FileMark mark = markOf(m_path);
    m_offset = mark.size;
    m_inode = mark.inode;
}

QString LogCapture::messageOf(const QString &line)
{
    static const QRegularExpression prefix(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}:\\d{3} TID:0x[0-9a-f]+ "));
    const QRegularExpressionMatch match = prefix.match(line);
    return match.hasMatch() ? line.mid(match.capturedLength()) : line;
}

std::vector<QString> LogCapture::lines() const
{
    CLog4C::GetInstance()->Flush();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const FileMark mark = markOf(m_path);
    const bool restarted = mark.inode != m_inode || mark.size < m_offset;
    if (!restarted)
        file.seek(m_offset);
    QByteArray bytes = file.readAll();
    // A pass of the writer thread may still be appending; keep whole lines only.
    bytes.truncate(bytes.lastIndexOf('\n') + 1);

    std::vector<QString> messages;
    for (const QByteArray &line : bytes.split('\n')) {
        if (!line.isEmpty())
            messages.push_back(unescaped(messageOf(QString::fromUtf8(line))));
    }
    return messages;
}
