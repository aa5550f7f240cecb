// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "import/enexfileimport.h"

#include "attach/attachadder_p.h"
#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "import/enexreader_p.h"
#include "import/enmlconverter_p.h"
#include "import/importedfiles_p.h"
#include "notehtml/htmldocument_p.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include <map>
#include <set>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

using Internal::ImportedFiles;

// A resource without a file name is named by its hash and the extension of its type.
QString resourceName(const Internal::EnexResource &resource)
{
    if (!resource.fileName.isEmpty())
        return resource.fileName;
    const QString suffix = QMimeDatabase().mimeTypeForName(resource.mime).preferredSuffix();
    return suffix.isEmpty() ? resource.md5 : resource.md5 + u'.' + suffix;
}

std::set<QString> mediaHashes(const QString &enml)
{
    std::set<QString> hashes;
    HtmlDocument::scan(enml, "en-media", [&](const HtmlDocument::ScannedElement &media) {
        hashes.insert(media.attribute("hash").value_or(QString()).toLower());
    });
    return hashes;
}

ImportedNote importNote(Internal::EnexNote &enex, std::vector<ImportSkip> &skipped)
{
    ImportedNote note;
    note.noteId = CreateGuidString();
    note.title = enex.title;
    note.created = enex.created;
    note.updated = enex.updated;
    ImportedFiles files(note.noteId, note.title, skipped);
    const std::set<QString> hashes = mediaHashes(enex.content);
    std::map<QString, QString> markups;
    for (const Internal::EnexResource &resource : enex.resources) {
        const QString name = resourceName(resource);
        if (resource.tooLarge) {
            files.skip(ImportSkip::Reason::TooLarge, name);
        } else if (resource.badData || resource.path.isEmpty()) {
            files.skip(ImportSkip::Reason::Unreadable, name);
        } else if (!hashes.count(resource.md5)) {
            files.skip(ImportSkip::Reason::HashMismatch, name);
        } else if (auto stored = files.add(resource.path, name)) {
            markups[resource.md5] = ImportedFiles::markup(*stored);
        }
    }
    note.html = Internal::enmlToNoteHtml(enex.content, [&](const QString &hash) {
        const auto found = markups.find(hash.toLower());
        return found == markups.end() ? QString() : found->second;
    });
    return note;
}

} // namespace

bool EnexFileImport::Import(const QString &path, const std::function<void(ImportedNote &)> &deliver,
                            std::vector<ImportSkip> &skipped,
                            const std::function<void(qint64 done, qint64 total)> &progress)
{
    Internal::EnexReader reader(Internal::attachRootPath() + u'/', AttachAdder::MaxNoteAttachBytes);
    MakeDirectories(Internal::attachRootPath());
    const bool read = reader.read(
        path,
        [&](Internal::EnexNote &enex) {
            ImportedNote note = importNote(enex, skipped);
            deliver(note);
        },
        progress);
    if (!read) {
        const bool opened = QFileInfo(path).isReadable();
        ImportedFiles::record(
            skipped,
            {opened ? ImportSkip::Reason::Malformed : ImportSkip::Reason::Unreadable, QString(),
             QFileInfo(path).fileName(), reader.error()});
    }
    return read;
}

} // namespace TAVRIKCORE::RICHEDITOR
