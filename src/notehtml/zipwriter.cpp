// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/zipwriter_p.h"

#include <QDateTime>

#include <array>
#include <limits>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr quint32 kMaxSize = std::numeric_limits<quint32>::max();

// The CRC-32 of ZIP (reflected polynomial 0xEDB88320), one table lookup per byte.
quint32 crc32(QByteArrayView data)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> values{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
        return values;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// The local time as MS-DOS stores it: time in the low half, date in the high half.
quint32 dosDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    const quint32 dosDate
        = quint32(qMax(date.year() - 1980, 0) << 9 | date.month() << 5 | date.day());
    const quint32 dosTime = quint32(time.hour() << 11 | time.minute() << 5 | time.second() / 2);
    return dosDate << 16 | dosTime;
}

} // namespace

void ZipWriter::add(QByteArrayView name, QByteArrayView data)
{
    if (quint64(m_entries.size()) + 30 + name.size() + data.size() > kMaxSize || m_count == 0xFFFF
        || name.size() > 0xFFFF) {
        m_tooLarge = true;
        return;
    }
    const quint32 offset = quint32(m_entries.size());
    const quint32 crc = crc32(data);
    // 1980-01-01 00:00: day 1 of month 1 of year 0.
    const quint32 stamp = m_dates == Dates::Now ? dosDateTime() : quint32(1 << 5 | 1) << 16;
    // The fields after the signature that the entry's header and its directory record share:
    // version needed, flags, method (stored), time, date, CRC, sizes, name length, extra length.
    QByteArray common;
    put16(common, 10);
    put16(common, 0);
    put16(common, 0);
    put32(common, stamp);
    put32(common, crc);
    put32(common, quint32(data.size()));
    put32(common, quint32(data.size()));
    put16(common, quint32(name.size()));
    put16(common, 0);

    put32(m_entries, 0x04034B50);
    m_entries.append(common).append(name).append(data);

    put32(m_directory, 0x02014B50);
    put16(m_directory, 10); // made by: MS-DOS attributes, version 1.0
    m_directory.append(common);
    put16(m_directory, 0); // comment length
    put16(m_directory, 0); // disk number
    put16(m_directory, 0); // internal attributes
    put32(m_directory, 0); // external attributes
    put32(m_directory, offset);
    m_directory.append(name);
    ++m_count;
}

QByteArray ZipWriter::finish()
{
    if (m_tooLarge || quint64(m_entries.size()) + m_directory.size() + 22 > kMaxSize)
        return {};
    const quint32 directoryOffset = quint32(m_entries.size());
    QByteArray archive = std::move(m_entries);
    archive.append(m_directory);
    put32(archive, 0x06054B50);
    put16(archive, 0); // this disk
    put16(archive, 0); // the directory's disk
    put16(archive, m_count);
    put16(archive, m_count);
    put32(archive, quint32(m_directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0); // comment length
    m_entries.clear();
    m_directory.clear();
    m_count = 0;
    return archive;
}

} // namespace TAVRIKCORE::RICHEDITOR
