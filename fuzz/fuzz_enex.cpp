// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Reads arbitrary bytes as an Evernote export and turns each note's text into note HTML: reading
// never crashes, a kept resource file holds exactly the bytes its hash and size name, none of
// them outlives its note, and a failed read says why.
#include "fuzzcheck.h"
#include "import/enexreader_p.h"
#include "import/enmlconverter_p.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace TAVRIKCORE::RICHEDITOR::Internal;
using TavrikFuzz::check;

namespace {

constexpr quint64 MaxResourceBytes = 4096;

void checkResource(const EnexResource &resource)
{
    if (resource.path.isEmpty()) {
        check(resource.tooLarge || resource.badData || resource.size == 0,
              "a dropped resource says why");
        return;
    }
    check(!resource.tooLarge && !resource.badData, "a kept resource is sound");
    check(resource.size <= MaxResourceBytes, "a kept resource is within the limit");
    QFile file(resource.path);
    check(file.open(QIODevice::ReadOnly), "a kept resource's file opens");
    const QByteArray bytes = file.readAll();
    check(quint64(bytes.size()) == resource.size, "a kept resource has its size");
    check(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
              == resource.md5,
          "a kept resource has its hash");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString folder = TavrikFuzz::scratchAppDirectory() + QStringLiteral("enex/");
    static const QString path = TavrikFuzz::scratchAppDirectory() + QStringLiteral("export.enex");
    QDir().mkpath(folder);
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file opens");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    EnexReader reader(folder, MaxResourceBytes);
    const bool read = reader.read(path, [](EnexNote &note) {
        for (const EnexResource &resource : note.resources)
            checkResource(resource);
        enmlToNoteHtml(note.content, [](const QString &hash) {
            return hash.size() == 32 ? QStringLiteral("<img>") : QString();
        });
    });
    check(read || !reader.error().isEmpty(), "a failed read says why");
    check(QDir(folder).isEmpty(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
          "no resource file outlives its note");
    return 0;
}
