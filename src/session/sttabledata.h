// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// One cell of a table to insert into the page.
struct StTableCell
{
    QString style;
    QString value;
    QString width;
};

// A table to insert into the page (ZvWebNoteHandler::InsertTable).
struct StTableData
{
    int colNum = 0;
    int rowNum = 0;
    std::vector<std::vector<StTableCell>> rowList;
};

} // namespace TAVRIKCORE::RICHEDITOR
