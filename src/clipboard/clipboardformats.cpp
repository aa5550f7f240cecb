// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/clipboardformats_p.h"

#include "clipboard/clipboardlayout_p.h"
#include "clipboard/clipboardmime_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

QClipboard *systemClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        ? QGuiApplication::clipboard()
        : nullptr;
}

} // namespace

bool ReadClipboardHtmlFragment(QByteArray &fragment)
{
    QClipboard *clipboard = systemClipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return false;
    if (data->hasFormat(ClipboardMime::HtmlFormat)) {
        const std::optional<QByteArray> found
            = ClipboardLayout::htmlFragment(data->data(ClipboardMime::HtmlFormat));
        if (!found)
            return false;
        fragment = *found;
        return true;
    }
    if (!data->hasHtml())
        return false;
    // html() decodes what other programs offer (UTF-16 with a byte order mark included).
    fragment = data->html().toUtf8();
    return true;
}

bool WriteClipboardHtml(const QByteArray &fragment)
{
    QClipboard *clipboard = systemClipboard();
    const std::optional<QByteArray> layout = ClipboardLayout::buildHtmlFormat(fragment);
    if (!clipboard || !layout)
        return false;
    auto *data = new QMimeData;
    const qsizetype zero = fragment.indexOf('\0');
    data->setData(ClipboardMime::Html, zero < 0 ? fragment : fragment.left(zero));
    data->setData(ClipboardMime::HtmlFormat, *layout);
    clipboard->setMimeData(data);
    return true;
}

bool WriteClipboardFileList(const std::vector<QString> &paths)
{
    QClipboard *clipboard = systemClipboard();
    if (!clipboard || paths.empty())
        return false;
    QList<QUrl> urls;
    QByteArray copied("copy");
    for (const QString &path : paths) {
        urls.append(QUrl::fromLocalFile(path));
        copied += '\n' + urls.constLast().toEncoded();
    }
    auto *data = new QMimeData;
    data->setUrls(urls);
    data->setData(ClipboardMime::GnomeCopiedFiles, copied);
    data->setData(ClipboardMime::FileDrop, ClipboardLayout::buildFileList(paths));
    data->setData(ClipboardMime::PreferredDropEffect, ClipboardLayout::dropEffect());
    clipboard->setMimeData(data);
    return true;
}

} // namespace TAVRIKCORE::RICHEDITOR
