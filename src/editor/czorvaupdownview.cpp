// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/czorvaupdownview.h"

#include "common/appdirectory.h"
#include "common/writelog_p.h"
#include "skin/cgditoolbox_p.h"

#include <QFile>

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

void CZorvaUpDownView::Splitterbar2014::FoldBar(int fold)
{
    if (fold == 0) {
        const bool wasFolded = isFolded();
        setFolded(false);
        const QRect client = parentClientRect();
        const int extent = std::min(GetFirstWndWH(), client.height() - thickness());
        if (client.top() + client.height() - (thickness() + extent) <= 0)
            SetFirstWndWH(extent - client.top() - DefaultBottomHeight);
        setFolded(wasFolded);
    }
    CZvSplitterbarEx::FoldBar(fold);
}

class CZorvaUpDownView::Private
{
public:
    Splitterbar2014 splitterBar;
    int bottomHeight = DefaultBottomHeight;
};

CZorvaUpDownView::CZorvaUpDownView() : d(std::make_unique<Private>()) { }

CZorvaUpDownView::~CZorvaUpDownView() = default;

int CZorvaUpDownView::Create(QWidget *parent, const QRect &rect, int id)
{
    if (!ContainerWnd::Create(parent, rect, id, StyleVisible))
        return 0;
    d->splitterBar.SetNotify(this);
    d->splitterBar.CreateSplitterBar(this, BarId, true);
    d->splitterBar.SetThickness(BarThickness);
    d->splitterBar.SetBerthPos(CZvSplitterbar::Bottom);
    d->splitterBar.setEdgeSide(CZvSplitterbar::Bottom);

    const QString found = FindProgramFile(QStringLiteral("res/splitterbar.png"));
    const QString path = found.isEmpty() ? QStringLiteral("res/splitterbar.png") : found;
    QImage picture;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (CGdiToolBox::LoadImageFromMemory(picture, bytes.constData(), bytes.size())) {
            picture = picture.convertToFormat(QImage::Format_ARGB32);
            CGdiToolBox::PreMultiplyAlpha(picture);
        } else {
            Internal::writeLog(QStringLiteral("[ERROR] 分隔条图片无法读取：") + path);
        }
    } else {
        Internal::writeLog(QStringLiteral("[WARN] 分隔条图片不存在：") + path);
    }
    d->splitterBar.SetSkinPic(picture);
    return 1;
}

void CZorvaUpDownView::SetSplitterWnd(QWidget *upper, QWidget *lower)
{
    if (!upper || !lower)
        return;
    for (QWidget *pane : {upper, lower}) {
        if (pane->parentWidget() != this)
            pane->setParent(this);
        pane->show();
    }
    d->splitterBar.SetSplitterWnd(upper, lower);
    AdjustLayout(rect());
}

void CZorvaUpDownView::SetBottomHeight(int height)
{
    if (height > 0)
        d->bottomHeight = height;
}

int CZorvaUpDownView::bottomHeight() const
{
    return d->bottomHeight;
}

CZorvaUpDownView::Splitterbar2014 &CZorvaUpDownView::splitterBar()
{
    return d->splitterBar;
}

void CZorvaUpDownView::AdjustLayout(const QRect &clientRect)
{
    if (d->splitterBar.parentWidget() != this || clientRect.height() <= 0)
        return;
    d->splitterBar.SetFirstWndWH(std::max(clientRect.height() - d->bottomHeight, 0));
    d->splitterBar.AdjustLayout();
}

int CZorvaUpDownView::OnSplitterDragAllowed()
{
    return 1;
}

void CZorvaUpDownView::OnSplitterChildWindowSizeChanged()
{
    QWidget *lower = d->splitterBar.secondPane();
    if (lower && lower->height() > 0)
        d->bottomHeight = lower->height() + d->splitterBar.thickness();
}

} // namespace TAVRIKCORE::RICHEDITOR
