// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/contentnamedfile_p.h"

#include "common/filemd5.h"
#include "common/pathutils.h"
#include "common/writelog_p.h"

namespace TAVRIKCORE::RICHEDITOR::Internal {

bool placeContentNamed(const QString &target, const QString &hash,
                       const std::function<bool(Placement)> &put, const QString &replacedLine)
{
    if (IsFileExist(target)) {
        if (CalcFileMd5(target) == hash)
            return true;
        if (!put(Placement::Replace))
            return false;
        writeLog(replacedLine);
        return true;
    }
    // Someone else may place it meanwhile: fine when it is the same content.
    return put(Placement::KeepExisting) || (IsFileExist(target) && CalcFileMd5(target) == hash);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
