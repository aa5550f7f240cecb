// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/savednotes_p.h"

#include "common/appdirectory.h"
#include "common/durablefile_p.h"
#include "common/writelog_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <openssl/evp.h>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

constexpr int HashDigits = 64;
constexpr qint64 LineBytes = HashDigits + 1;

bool isHashLine(QByteArrayView line)
{
    if (line.size() != HashDigits)
        return false;
    for (const char c : line) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

struct Lines
{
    std::vector<QByteArray> hashes; // oldest first
    int damaged = 0;
    bool cutShort = false; // the last line has no line end
};

// The record's lines; nullopt when it cannot be read (missing included). A record grown past
// twice its bound (written by something else) is read no further than that.
std::optional<Lines> readRecord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(2 * SavedNotes::MaxEntries * LineBytes);
    Lines lines;
    for (const QByteArray &line : bytes.split('\n')) {
        if (isHashLine(line))
            lines.hashes.push_back(line);
        else if (!line.isEmpty())
            ++lines.damaged;
    }
    lines.cutShort = !bytes.isEmpty() && !bytes.endsWith('\n');
    return lines;
}

bool holds(const Lines &lines, const QByteArray &hash)
{
    for (const QByteArray &line : lines.hashes) {
        if (line == hash)
            return true;
    }
    return false;
}

// Keeps the newest half of the lines, replacing the record as a whole.
void compact(const QString &path)
{
    const std::optional<Lines> lines = readRecord(path);
    if (!lines)
        return;
    QByteArray kept;
    const size_t keep = SavedNotes::MaxEntries / 2;
    const size_t from = lines->hashes.size() > keep ? lines->hashes.size() - keep : 0;
    for (size_t i = from; i < lines->hashes.size(); ++i)
        kept += lines->hashes[i] + '\n';
    if (const int error = replaceDurably(path, {kept}))
        writeLog(
            u"[WARN] SavedNotes, the record of saved notes cannot be shortened (error %1): "_s.arg(
                error)
            + path);
}

} // namespace

QString SavedNotes::recordPath()
{
    return GetAppDirectory() + u"userdata/savednotes.sha256"_s;
}

QByteArray SavedNotes::hashOf(QByteArrayView bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), size_t(bytes.size()), digest, &length, EVP_sha256(), nullptr) != 1
        || length != HashDigits / 2)
        return {};
    return QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex();
}

bool SavedNotes::remember(QByteArrayView fileBytes)
{
    const QByteArray hash = hashOf(fileBytes);
    const QString path = recordPath();
    const std::optional<Lines> lines = readRecord(path);
    if (hash.isEmpty() || (lines && holds(*lines, hash)))
        return !hash.isEmpty();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // One write of the whole line, appended: lines of other writers never mix with it.
    QFile file(path);
    const QByteArray line = (lines && lines->cutShort ? "\n" : "") + hash + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)
        || file.write(line) != line.size()) {
        writeLog(u"[WARN] SavedNotes, the record of saved notes cannot be written: "_s + path
                 + u" ("_s + file.errorString() + u')');
        return false;
    }
    const qint64 size = file.size();
    file.close();
    if (size >= MaxEntries * LineBytes)
        compact(path);
    return true;
}

bool SavedNotes::contains(QByteArrayView fileBytes)
{
    const QString path = recordPath();
    const std::optional<Lines> lines = readRecord(path);
    if (!lines) {
        writeLog(u"[INFO] SavedNotes, no record of saved notes at "_s + path
                 + u"; the note is sanitised"_s);
        return false;
    }
    if (lines->damaged > 0)
        writeLog(u"[WARN] SavedNotes, %1 damaged line(s) skipped in "_s.arg(lines->damaged) + path);
    const QByteArray hash = hashOf(fileBytes);
    return !hash.isEmpty() && holds(*lines, hash);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
