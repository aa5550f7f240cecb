// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Reads the attachment list out of arbitrary note HTML: whatever the markup holds, every file
// path it yields stays inside the attachment folder, and the list read without the document
// (no plain text asked for) is the list read with it.
#include "common/commonutils.h"
#include "fuzzcheck.h"
#include "notehtml/attachmarkup_p.h"

#include <QDir>

#include <cstddef>
#include <cstdint>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikFuzz::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SetAppDirectory(TavrikFuzz::scratchAppDirectory());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QString root = GetAttachRootDir() + QLatin1Char('/');

    std::vector<NewAttachFile> records;
    QString plainText;
    AttachMarkup::ParseAttList(QStringLiteral("0123456789abcdef0123456789abcdef"), html, records,
                               &plainText);
    for (const NewAttachFile &record : records) {
        check(record.fileKind == 1 || record.fileKind == 2, "record kind");
        check(!record.filePath.contains(QChar(0)), "no NUL in a path");
        const QString clean = QDir::cleanPath(record.filePath);
        check(clean.startsWith(root) && clean.size() > root.size(), "path inside the store");
        check(clean == record.filePath, "path has no . or .. parts");
    }

    std::vector<NewAttachFile> scanned;
    AttachMarkup::ParseAttList(QStringLiteral("0123456789abcdef0123456789abcdef"), html, scanned);
    check(scanned.size() == records.size(), "same number of records without the document");
    for (std::size_t i = 0; i < scanned.size() && i < records.size(); ++i) {
        check(scanned[i].storeName == records[i].storeName
                  && scanned[i].origName == records[i].origName
                  && scanned[i].fileKind == records[i].fileKind
                  && scanned[i].filePath == records[i].filePath,
              "same records without the document");
    }

    std::vector<QString> names;
    AttachMarkup::ParseAttOrigFileNameList(html, names);
    for (const QString &name : names)
        check(!name.isEmpty(), "original names are not empty");
    return 0;
}
