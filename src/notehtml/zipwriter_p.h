// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace TAVRIKCORE::RICHEDITOR {

// A ZIP archive built in memory, its entries stored as they are (no compression), each with its
// CRC-32, in the order they are added, without extra fields; file names are taken as ASCII.
class ZipWriter
{
public:
    // When the entries are dated: now, or at the first time ZIP can hold (1980-01-01 00:00), so
    // that the same content always makes the same bytes.
    enum class Dates { Now, Fixed };
    explicit ZipWriter(Dates dates = Dates::Now) : m_dates(dates) { }

    // Appends the entry `name` holding `data`.
    void add(QByteArrayView name, QByteArrayView data);

    // The whole archive: the entries followed by their directory. Empty when the archive would
    // pass 4 GiB or 65535 entries, which a plain ZIP archive cannot describe. The writer is empty
    // again afterwards.
    QByteArray finish();

private:
    QByteArray m_entries;
    QByteArray m_directory;
    quint32 m_count = 0;
    bool m_tooLarge = false;
    Dates m_dates;
};

} // namespace TAVRIKCORE::RICHEDITOR
