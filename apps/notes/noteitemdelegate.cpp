// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "noteitemdelegate.h"

#include "notelistmodel.h"
#include "notesicons.h"

#include "common/uilanguage.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

constexpr int Padding = 8;
constexpr int LineGap = 3;

QFont titleFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

QFont smallFont(const QFont &base)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 0.9);
    return font;
}

} // namespace

QString NoteItemDelegate::dateText(const QDateTime &modified, const QDateTime &now)
{
    if (!modified.isValid())
        return {};
    const QDate day = modified.date();
    if (day == now.date())
        return modified.toString(u"HH:mm"_s);
    if (day.addDays(1) == now.date())
        return tr("Yesterday");
    if (day.year() == now.date().year())
        return QLocale(TAVRIKCORE::RICHEDITOR::UiLanguage::Current()).toString(modified, tr("MMM d", "date of this year"));
    return modified.toString(u"yyyy-MM-dd"_s);
}

void NoteItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group
        = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QColor text
        = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QColor dim = text;
    dim.setAlphaF(0.6);

    const QRect area = option.rect.adjusted(Padding, Padding - 2, -Padding, -Padding + 2);
    const QFont bold = titleFont(option.font);
    const QFont small = smallFont(option.font);
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics smallMetrics(small);

    painter->save();
    const QString date = dateText(index.data(NoteListModel::ModifiedRole).toDateTime(),
                                  QDateTime::currentDateTime());
    const int dateWidth = smallMetrics.horizontalAdvance(date);
    int titleRight = area.right() - dateWidth - Padding;
    if (index.data(NoteListModel::ReadOnlyRole).toBool()) {
        const int side = boldMetrics.height() - 2;
        const QRect lock(titleRight - side, area.top() + 1, side, side);
        NotesIcons::lock(selected ? text : dim).paint(painter, lock);
        titleRight = lock.left() - 4;
    }

    painter->setFont(bold);
    painter->setPen(text);
    const QRect titleRect(area.left(), area.top(), titleRight - area.left(), boldMetrics.height());
    const QString title = index.data(Qt::DisplayRole).toString();
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                      boldMetrics.elidedText(title.isEmpty() ? tr("Untitled") : title,
                                             Qt::ElideRight, titleRect.width()));

    painter->setFont(small);
    painter->setPen(dim);
    painter->drawText(QRect(area.right() - dateWidth, area.top(), dateWidth, boldMetrics.height()),
                      Qt::AlignRight | Qt::AlignVCenter, date);

    QString preview = index.data(NoteListModel::PreviewRole).toString();
    if (preview.isEmpty())
        preview = tr("No text yet");
    const QRect previewRect(area.left(), titleRect.bottom() + LineGap, area.width(),
                            smallMetrics.height());
    painter->drawText(previewRect, Qt::AlignLeft | Qt::AlignVCenter,
                      smallMetrics.elidedText(preview, Qt::ElideRight, previewRect.width()));
    painter->restore();
}

QSize NoteItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const int height = QFontMetrics(titleFont(option.font)).height()
        + QFontMetrics(smallFont(option.font)).height() + LineGap + 2 * Padding;
    return {200, height};
}

void NoteItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    const int height = QFontMetrics(titleFont(option.font)).height() + 6;
    editor->setGeometry(option.rect.left() + Padding - 3, option.rect.top() + Padding - 5,
                        option.rect.width() - 2 * Padding + 6, height);
}
