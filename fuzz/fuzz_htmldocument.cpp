// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Arbitrary bytes as note HTML: parsed as a page and as a fragment, serialized, read by the
// attachment readers, rewritten, upgraded, converted, cut for drawing in parts, and read back as
// a note file. Nothing may crash, no path built from the markup may leave the attachment folder,
// and the cut's stretches are the whole markup.
#include "common/commonutils.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/attachmarkuprewriter_p.h"
#include "notehtml/htmlcuts_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/htmlver_1_to_2_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

void exercise(HtmlDocument &doc)
{
    HtmlDocument::innerHtml(doc.body());
    HtmlDocument::innerText(doc.body());
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        HtmlDocument::attribute(image, "zv_exdata");
        HtmlDocument::className(image);
        HtmlDocument::setAttribute(image, "src", QStringLiteral("x\\y"));
    }
    const auto images = doc.elementsByTagName("img");
    if (!images.empty())
        doc.removeElement(images.front());
    HtmlDocument::innerHtml(doc.body());
}

bool leavesRoot(const QString &path, const QString &root)
{
    return !path.startsWith(root) || path.contains(QStringLiteral("/../"))
        || path.endsWith(QStringLiteral("/..")) || path.contains(QStringLiteral("/./"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString root = [] {
        const QString app = QDir::tempPath() + QStringLiteral("/tavrik-fuzz-htmldocument/");
        QDir().mkpath(app);
        SetAppDirectory(app);
        return GetAttachRootDir() + u'/';
    }();
    if (size > 1 << 20)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    HtmlDocument page;
    if (page.parsePage(bytes))
        exercise(page);
    HtmlDocument fragment;
    if (fragment.parseFragment(bytes))
        exercise(fragment);

    const QString html = QString::fromUtf8(bytes);
    std::vector<NewAttachFile> records;
    QString text;
    AttachMarkup::ParseAttList(QStringLiteral("fuzznote"), html, records, &text);
    for (const NewAttachFile &record : records) {
        if (leavesRoot(record.filePath, root)) {
            std::fprintf(stderr, "path leaves the attachment folder: %s\n",
                         qPrintable(record.filePath));
            std::abort();
        }
    }
    // Cut for drawing in parts, the stretches are the whole markup, in order.
    QString joined;
    for (const QStringView stretch : HtmlCuts::cut(html, 4, 1))
        joined += stretch;
    if (joined != html) {
        std::fprintf(stderr, "the stretches of the cut are not the markup\n");
        std::abort();
    }
    std::vector<QString> names;
    AttachMarkup::ParseAttOrigFileNameList(html, names);
    AttachMarkup::GetOrigNameFromJson(bytes);

    QString out;
    QString outText;
    HtmlVer_1_To_2().DoUpgrade(html, out);
    MhtExport::HtmlConvert(html, out);
    AttachMarkupRewriter::UpdateHtmlAttachAttr(html, QStringLiteral("a.txt"), QStringLiteral("c"),
                                               QStringLiteral("s"), out, outText);
    QByteArray narrow;
    AttachMarkupRewriter::UpdateAttachAttValue(
        bytes, {{QStringLiteral("{}"), QStringLiteral("{\"x\":1}"), QStringLiteral("n.png")}},
        narrow);

    // The same bytes as a note file.
    const QString notePath = root + QStringLiteral("fuzz-note.html");
    QFile file(notePath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
        file.close();
        QString content;
        int version = 0;
        NoteHtmlRW::ReadHtmlTextFromFile(notePath, content, version);
    }
    return 0;
}
