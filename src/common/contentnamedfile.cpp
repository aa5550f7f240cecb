// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/contentnamedfile_p.h"

#include "common/filemd5.h"
#include "common/pathutils.h"
#include "common/writelog_p.h"

#include <cerrno>

namespace TAVRIKCORE::RICHEDITOR::Internal {

int placeContentNamed(const QString &target, const QString &hash,
                      const std::function<bool(Placement)> &put, const QString &replacedLine)
{
    if (IsFileExist(target)) {
        if (CalcFileMd5(target) == hash) {
            touchFile(target); // used again: no clean-up takes it for an old unreferenced file
            return 0;
        }
        errno = 0;
        if (!put(Placement::Replace))
            return errno != 0 ? errno : EIO;
        writeLog(replacedLine);
        return 0;
    }
    errno = 0;
    if (put(Placement::KeepExisting))
        return 0;
    // Someone else may place it meanwhile: fine when it is the same content.
    const int error = errno != 0 ? errno : EIO;
    return IsFileExist(target) && CalcFileMd5(target) == hash ? 0 : error;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
