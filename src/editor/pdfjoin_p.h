// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Joins PDF documents written by QPdfWriter into one whose pages are theirs, in order. Such a
// document has a single cross-reference table and no object streams; each later part's objects
// are numbered after those of the parts before, and its pages join the first part's page tree.
// The first part's header, information and catalog are the result's.
class TAVRIK_AUTOTEST_EXPORT PdfJoin
{
public:
    // The joined document; empty, with the reason in `error`, when a part is not of that shape.
    static QByteArray join(const std::vector<QByteArray> &parts, QString &error);
};

} // namespace TAVRIKCORE::RICHEDITOR
