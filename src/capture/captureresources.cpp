// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "capture/captureresources_p.h"

#include "common/commonutils.h"

#include <QFile>
#include <QImage>
#include <QtEndian>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// Icon directory: reserved, type (1 icon, 2 cursor), count; then 16-byte entries of width,
// height, colours, reserved, planes or hot spot x, bit count or hot spot y, size, offset.
constexpr int DirectorySize = 6;
constexpr int EntrySize = 16;

quint16 word(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 dword(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

void putWord(QByteArray &bytes, int at, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes.data() + at);
}

} // namespace

QString CaptureResources::Folder()
{
    const QString folder = FindProgramFile(QStringLiteral("res"));
    return folder.isEmpty() ? QString() : folder + u'/';
}

QPixmap CaptureResources::LoadIcon(const QString &name)
{
    const QString folder = Folder();
    if (folder.isEmpty())
        return QPixmap();
    return QPixmap(folder + name, "ICO");
}

std::optional<QCursor> CaptureResources::LoadCursor(const QString &name)
{
    const QString folder = Folder();
    QFile file(folder + name);
    if (folder.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return CursorFromBytes(file.readAll());
}

std::optional<QCursor> CaptureResources::CursorFromBytes(const QByteArray &bytes)
{
    if (bytes.size() < DirectorySize + EntrySize || word(bytes, 0) != 0 || word(bytes, 2) != 2
        || word(bytes, 4) == 0)
        return std::nullopt;
    const QPoint hotSpot(word(bytes, DirectorySize + 4), word(bytes, DirectorySize + 6));
    const quint32 offset = dword(bytes, DirectorySize + 12);
    if (offset >= quint32(bytes.size()))
        return std::nullopt;
    // Read as an icon: type 1, one plane, and the bit count of the picture itself (32 for
    // a PNG picture).
    QByteArray icon = bytes;
    putWord(icon, 2, 1);
    putWord(icon, DirectorySize + 4, 1);
    const bool png = bytes.mid(int(offset), 4) == QByteArray("\x89PNG", 4);
    quint16 bits = 32;
    if (!png && offset + 16 <= quint32(bytes.size()))
        bits = word(bytes, int(offset) + 14);
    putWord(icon, DirectorySize + 6, bits);
    const QImage picture = QImage::fromData(icon, "ICO");
    if (picture.isNull())
        return std::nullopt;
    return QCursor(QPixmap::fromImage(picture), hotSpot.x(), hotSpot.y());
}

} // namespace TAVRIKCORE::RICHEDITOR
