// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR::Internal {

// One <resource> of an Evernote export, its Base64 data decoded into a file of its own.
struct EnexResource
{
    QString fileName; // <resource-attributes><file-name>, may be empty
    QString mime;
    QString path; // the decoded bytes; empty when none were kept
    QString md5; // of the decoded bytes, 32 lower-case hex digits
    quint64 size = 0; // decoded bytes, counted up to one past the limit
    bool tooLarge = false; // more than the reader's limit: nothing kept
    bool badData = false; // the data is not Base64: nothing kept
};

struct EnexNote
{
    QString title;
    QDateTime created;
    QDateTime updated;
    QString content; // the ENML text
    std::vector<EnexResource> resources;
};

// Reads an Evernote export (.enex) with libxml2's streaming parser: one note's text at a time,
// each resource's Base64 decoded as it arrives into a file in `folder` (hashed on the way, never
// held whole), so files of any size pass in little memory.
class TAVRIK_AUTOTEST_EXPORT EnexReader
{
public:
    // `folder` ends with '/'. A resource past `maxResourceBytes` keeps no file.
    EnexReader(const QString &folder, quint64 maxResourceBytes);

    // Reads the file at `path`, handing each complete note to `deliver`; the resource files are
    // removed after `deliver` returns. `progress`, when given, hears the bytes read so far out
    // of the file's size. False when the file cannot be read or its XML breaks off (the notes
    // before the fault are delivered; error() says what and where).
    bool read(const QString &path, const std::function<void(EnexNote &)> &deliver,
              const std::function<void(qint64 done, qint64 total)> &progress = {});
    QString error() const { return m_error; }

    // "20240101T120000Z" as UTC; invalid for any other text.
    static QDateTime parseTime(const QString &text);

private:
    QString m_folder;
    quint64 m_maxResourceBytes;
    QString m_error;
};

} // namespace TAVRIKCORE::RICHEDITOR::Internal
