// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/attachmarkup_p.h"

#include <QByteArray>
#include <QString>

// Texts the attachment, clipboard and handler tests share.

// The time the tests' records and cards carry.
inline const QString Time = QStringLiteral("2026/03/04 05:06");

// An attachment element as the page keeps it.
inline QString attachElement(const QString &storeName, const QString &showName,
                             const QString &origName)
{
    using namespace Qt::StringLiterals;
    using TAVRIKCORE::RICHEDITOR::AttachMarkup;
    return u"<img class=\"userdata\\attachment\\"_s + storeName
        + u"\" src=\"../userdata\\attachment\\"_s + showName + u"\" zv_exdata='"_s
        + AttachMarkup::FormatOrigNameToJson(origName) + u"'>"_s;
}

// The clipboard's "HTML Format" layout of an empty fragment, and its MIME type.
inline const QByteArray EmptyLayout
    = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000172\r\n"
      "StartFragment:00000111\r\nEndFragment:00000136\r\n<html><body>\r\n"
      "<!--StartFragment -->\r\n\r\n<!--EndFragment-->\r\n</body>\r\n</html>";
inline const QString HtmlFormat
    = QStringLiteral("application/x-qt-windows-mime;value=\"HTML Format\"");
