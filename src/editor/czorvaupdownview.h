// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "editor/zvsplitterbarstate.h"
#include "skin/containerwnd.h"
#include "skin/izvsplitterbarnotify.h"
#include "tavrik_export.h"

#include <memory>

namespace TAVRIKCORE::RICHEDITOR {

// A container that shows two windows one above the other (typically the editor and a second
// pane) with a splitter bar between them. The bar can be dragged, and folded with a click on
// its grip so that the lower pane collapses towards the bottom. The lower pane keeps its
// height when the container is resized.
class TAVRIK_EXPORT CZorvaUpDownView : public ContainerWnd, public IZvSplitterbarNotify
{
    Q_OBJECT

public:
    // The bar, with the unfolding rule that gives a lower pane without room 218 pixels.
    class TAVRIK_EXPORT Splitterbar2014 : public ZvSplitterbarState
    {
    public:
        void FoldBar(int fold) override;
    };

    static constexpr int BarId = 65535;
    static constexpr int BarThickness = 8;
    static constexpr int DefaultBottomHeight = 218;

    CZorvaUpDownView();
    ~CZorvaUpDownView() override;

    // Creates the view as a visible child of `parent` at `rect` with the child id `id`, then
    // its bar (thickness 8, folding towards the bottom) with the picture
    // res/splitterbar.png among the program's files when that file can be read. Returns 1, or 0
    // when the container could not be created.
    int Create(QWidget *parent, const QRect &rect, int id);

    // Shows `upper` above and `lower` below the bar (both become children of the view). With
    // either missing nothing changes.
    void SetSplitterWnd(QWidget *upper, QWidget *lower);

    // The lower pane's height including the bar; values of 0 or less are ignored.
    void SetBottomHeight(int height);
    int bottomHeight() const;

    Splitterbar2014 &splitterBar();

protected:
    // Gives the upper pane the height left above the lower pane (0 when there is none) and
    // lays the panes out.
    void AdjustLayout(const QRect &clientRect) override;

    int OnSplitterDragAllowed() override;
    // Keeps the height the user dragged the lower pane to.
    void OnSplitterChildWindowSizeChanged() override;

private:
    using ContainerWnd::Create;

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace TAVRIKCORE::RICHEDITOR
