// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "import/htmlfileimport.h"

#include "common/commonutils.h"
#include "import/importedfiles_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmldocument_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <libxml/tree.h>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

using Internal::ImportedFiles;

class PageReader
{
public:
    PageReader(const QString &folder, ImportedFiles &files) : m_folder(folder), m_files(files) { }

    // A picture this editor exported: its markup comes back, pointing at the new copies.
    void restoreAttachment(HtmlDocument &doc, HtmlDocument::Element image)
    {
        const QString origName = AttachMarkup::GetOrigNameFromJson(
            HtmlDocument::attribute(image, "zv_exdata").value_or(QString()).toUtf8());
        HtmlDocument::Element link = image->parent;
        const bool card
            = HtmlDocument::isElement(link, "a") && HtmlDocument::attribute(link, "href");
        const QString shown = HtmlDocument::attribute(image, "src").value_or(QString());
        const QString file = card ? *HtmlDocument::attribute(link, "href") : shown;
        std::optional<ImportedFiles::Stored> stored = store(file, origName);
        if (!stored) {
            doc.removeElement(card ? link : image);
            return;
        }
        if (card) {
            if (const std::optional<QString> cardPath = localPath(shown, false))
                ImportedFiles::useCard(*stored, *cardPath);
        }
        doc.replaceElement(card ? link : image, ImportedFiles::markup(*stored));
    }

    // A picture of the page's folder becomes the note's.
    void importPicture(HtmlDocument &doc, HtmlDocument::Element image)
    {
        const QString src = HtmlDocument::attribute(image, "src").value_or(QString());
        if (isAddress(src))
            return;
        const std::optional<ImportedFiles::Stored> stored
            = store(src, GetFileNameFromPath(QUrl::fromPercentEncoding(src.toUtf8())));
        if (stored)
            doc.replaceElement(image, ImportedFiles::markup(*stored));
        else
            doc.removeElement(image);
    }

private:
    // data:, http:, file: and the like, and addresses starting with "//".
    static bool isAddress(const QString &src)
    {
        const qsizetype colon = src.indexOf(u':');
        const qsizetype slash = src.indexOf(u'/');
        return src.startsWith(QLatin1String("//")) || (colon > 0 && (slash < 0 || colon < slash));
    }

    // The file a relative reference names inside the page's folder; nullopt (skipped when
    // `report`) when it leads out of it.
    std::optional<QString> localPath(const QString &reference, bool report)
    {
        const QString path = QUrl::fromPercentEncoding(reference.toUtf8());
        bool inside = !path.isEmpty() && !isAddress(path) && !QDir::isAbsolutePath(path);
        for (const QString &part : path.split(u'/')) {
            if (part == QLatin1String(".."))
                inside = false;
        }
        if (!inside) {
            if (report)
                m_files.skip(ImportSkip::Reason::UnsafeName, path);
            return std::nullopt;
        }
        return m_folder + u'/' + path;
    }

    std::optional<ImportedFiles::Stored> store(const QString &reference, const QString &name)
    {
        const std::optional<QString> path = localPath(reference, true);
        if (!path)
            return std::nullopt;
        return m_files.add(*path, name.isEmpty() ? GetFileNameFromPath(*path) : name);
    }

    QString m_folder;
    ImportedFiles &m_files;
};

} // namespace

std::optional<ImportedNote> HtmlFileImport::Import(const QString &path,
                                                   std::vector<ImportSkip> &skipped)
{
    const QFileInfo info(path);
    QFile file(path);
    HtmlDocument doc;
    if (!file.open(QIODevice::ReadOnly) || !doc.parsePage(file.readAll()) || !doc.body()) {
        ImportedFiles::record(
            skipped,
            {ImportSkip::Reason::Unreadable, QString(), info.fileName(), file.errorString()});
        return std::nullopt;
    }
    ImportedNote note;
    note.noteId = CreateGuidString();
    const std::vector<HtmlDocument::Element> titles = doc.elementsByTagName("title");
    note.title = titles.empty() ? QString() : HtmlDocument::innerText(titles.front()).trimmed();
    if (note.title.isEmpty())
        note.title = info.completeBaseName();
    note.created = info.birthTime();
    note.updated = info.lastModified();

    ImportedFiles files(note.noteId, note.title, skipped);
    PageReader reader(info.absolutePath(), files);
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        if (HtmlDocument::attribute(image, "zv_exdata"))
            reader.restoreAttachment(doc, image);
        else
            reader.importPicture(doc, image);
    }
    note.html = HtmlDocument::innerHtml(doc.body());
    return note;
}

} // namespace TAVRIKCORE::RICHEDITOR
