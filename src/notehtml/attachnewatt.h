// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QString>

namespace TAVRIKCORE::RICHEDITOR {

// One change to apply to the attachment elements of a note whose zv_exdata is oldExdata.
struct AttachNewAtt
{
    QString oldExdata; // the complete current zv_exdata text of the elements to change
    QString newExdata; // the zv_exdata text to put in its place
    QString newFileName; // the file name to put at the end of the element's image paths
};

} // namespace TAVRIKCORE::RICHEDITOR
