// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "sampleattachments.h"

#include "bridge/zvwebnotehandler.h"

#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// A harbour at dusk: sky, sun, hills, water and a boat.
QImage drawPicture()
{
    QImage image(360, 220, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 140);
    sky.setColorAt(0, QColor(0x2b, 0x4c, 0x7e));
    sky.setColorAt(1, QColor(0xf4, 0xa2, 0x61));
    p.fillRect(0, 0, 360, 140, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd1, 0x66));
    p.drawEllipse(QPointF(250, 120), 28, 28);
    QPainterPath hills;
    hills.moveTo(0, 140);
    hills.cubicTo(60, 90, 120, 100, 180, 130);
    hills.cubicTo(230, 105, 300, 95, 360, 135);
    hills.lineTo(360, 140);
    hills.closeSubpath();
    p.setBrush(QColor(0x3a, 0x5a, 0x40));
    p.drawPath(hills);
    QLinearGradient water(0, 140, 0, 220);
    water.setColorAt(0, QColor(0x1d, 0x6f, 0x8f));
    water.setColorAt(1, QColor(0x0b, 0x3c, 0x5d));
    p.fillRect(0, 140, 360, 80, water);
    p.setBrush(QColor(0xf1, 0xfa, 0xee));
    p.drawPolygon(
        QPolygonF({QPointF(120, 170), QPointF(170, 170), QPointF(160, 182), QPointF(130, 182)}));
    p.drawPolygon(QPolygonF({QPointF(145, 168), QPointF(145, 128), QPointF(168, 166)}));
    return image;
}

// Stores a file as a file dropped on the note `handler` holds, and appends its markup.
bool store(ZvWebNoteHandler &handler, const QString &path, SampleAttachments::Made &made)
{
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(path)});
    std::vector<DropFileInfo> files;
    ZvWebNoteHandler::GetFileList(&dropped, files);
    MAF_RESULT stored;
    if (files.size() != 1 || !handler.MoveAttFile(files.front(), stored))
        return false;
    const DropFileInfo &info = files.front();
    made.sizes[stored.storeName] = info.fileSize;
    made.sizes[stored.showName] = quint64(stored.showSize);
    made.html += ZvWebNoteHandler::AttachmentMarkup(info, stored) + u' ';
    return true;
}

} // namespace

namespace SampleAttachments {

bool make(const QString &noteId, Made &made)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(u"Harbour at dusk.png"_s);
    const QString document = dir.filePath(u"Packing list.txt"_s);
    QFile list(document);
    if (!dir.isValid() || !drawPicture().save(picture) || !list.open(QIODevice::WriteOnly))
        return false;
    list.write("Packing list\n\n- passport\n- charger\n- rain jacket\n- 饺子 recipe\n");
    list.close();
    ZvWebNoteHandler handler;
    handler.SetCurNoteGuid(noteId);
    made.html = u"<p>"_s;
    const bool ok = store(handler, picture, made) && store(handler, document, made);
    made.html += u"</p>"_s;
    return ok;
}

} // namespace SampleAttachments
