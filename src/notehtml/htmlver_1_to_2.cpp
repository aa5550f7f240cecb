// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/htmlver_1_to_2_p.h"

#include "common/log4c.h"
#include "common/pathutils.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmldocument_p.h"

namespace TAVRIKCORE::RICHEDITOR {

int HtmlVer_1_To_2::DoUpgrade(const QString &input, QString &output)
{
    HtmlDocument doc;
    if (!doc.parse(input)) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] HtmlVer_1_To_2::DoUpgrade失败！"));
        return 0;
    }
    bool changed = false;
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        if (!HtmlDocument::attribute(image, "zv_exdata").value_or(QString()).isEmpty())
            continue;
        const QString path = HtmlDocument::className(image);
        if (!path.contains(u'/') && !path.contains(u'\\'))
            continue;
        HtmlDocument::setAttribute(image, "zv_exdata",
                                   AttachMarkup::FormatOrigNameToJson(GetFileNameFromPath(path)));
        changed = true;
    }
    if (!changed) {
        output = input;
        return 1;
    }
    output = HtmlDocument::innerHtml(doc.body());
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR
