// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QTextObjectInterface>

namespace TAVRIKCORE::RICHEDITOR {

// The pictures of a note laid out on paper (PaperPdf): each img read from the file its src
// names, once, at the size the img gives it (its width and height, one of them alone keeping
// the picture's proportions), else at its own size in pixels, made smaller to the width of the
// text when wider. A picture that cannot be read takes no room. QImage only, so the document
// may be drawn on any thread.
class PaperPictures : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    PaperPictures(qreal textWidth, QObject *parent) : QObject(parent), m_textWidth(textWidth) { }

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;

private:
    const QImage &picture(const QString &path);

    qreal m_textWidth;
    QHash<QString, QImage> m_pictures;
};

} // namespace TAVRIKCORE::RICHEDITOR
