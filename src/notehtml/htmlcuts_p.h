// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QStringView>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Cuts note HTML into stretches that can be read on their own: each cut is before a block
// element (a paragraph, heading, list, table, ...) of the body's own, so no element and no run
// of text is split. Found by following the markup's nesting without building a tree, as the
// editor's browser writes it: balanced tags, void elements, quoted attribute values, comments.
class TAVRIK_AUTOTEST_EXPORT HtmlCuts
{
public:
    // At most `count` stretches of about as many characters each, none shorter than
    // `shortest`; a stretch starts at a heading where one is within a tenth of its share of
    // the place it would start. The whole, alone, when the nesting cannot be followed.
    static std::vector<QStringView> cut(QStringView html, int count, qsizetype shortest);
};

} // namespace TAVRIKCORE::RICHEDITOR
