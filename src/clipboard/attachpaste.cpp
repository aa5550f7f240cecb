// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "clipboard/attachpaste_p.h"

#include "common/commonutils.h"
#include "common/narrowcodec.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmldocument_p.h"

#include <QDir>

#include <set>
#include <utility>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

// The MD5 a content-derived store name carries ("<32 lower-case hex digits>.<ext>"), else empty.
QString hashOf(const QString &storeName)
{
    if (storeName.size() < 34 || storeName.at(32) != u'.')
        return QString();
    const QString hash = storeName.left(32);
    for (QChar c : hash) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return QString();
    }
    return hash;
}

bool holds(const QString &path, const QString &hash)
{
    return IsFileExist(path) && (hash.isEmpty() || CalcFileMd5(path) == hash);
}

} // namespace

bool AttachPaste::showsAttachments(const QString &html)
{
    bool found = false;
    if (html.contains(u"zv_exdata")) {
        HtmlDocument::scan(html, "img", [&](const HtmlDocument::ScannedElement &image) {
            found = found || image.attribute("zv_exdata").has_value();
        });
    }
    return found;
}

std::vector<NewAttachFile>
AttachPaste::attachmentsOf(const QString &root, const QString &targetNote, const QString &html)
{
    std::vector<NewAttachFile> records;
    std::set<std::pair<QString, QString>> seen;
    HtmlDocument::scan(html, "img", [&](const HtmlDocument::ScannedElement &image) {
        const std::optional<QString> exdata = image.attribute("zv_exdata");
        if (!exdata)
            return;
        const QString origName = AttachMarkup::GetOrigNameFromJson(ToNarrow(*exdata));
        const QString storeName = GetFileNameFromPath(image.className());
        if (origName.isEmpty() || storeName.isEmpty() || !seen.insert({storeName, origName}).second)
            return;
        for (const QString &name : {storeName, AttachMarkup::keptFileName(origName)}) {
            if (!IsSafeFileName(name)) {
                AttachMarkup::logUnsafeName(name == storeName ? storeName : origName);
                return;
            }
        }
        NewAttachFile record;
        record.origName = origName;
        record.fileKind = 2;
        record.fileExt = GetFileExt(storeName);
        record.storeName = storeName;
        record.filePath = findSource(root, targetNote, storeName, origName);
        records.push_back(std::move(record));
    });
    return records;
}

QString AttachPaste::findSource(const QString &root, const QString &targetNote,
                                const QString &storeName, const QString &origName)
{
    // Without a content-derived name only the note's own copy counts: nothing tells another
    // note's file of the same name apart.
    const QString hash = hashOf(storeName);
    QStringList notes;
    if (IsSafeFileName(targetNote))
        notes.append(targetNote);
    if (!hash.isEmpty()) {
        const QStringList all = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &note : all) {
            if (note != targetNote && !note.startsWith(u'.'))
                notes.append(note);
        }
    }
    const QString kept = AttachMarkup::keptFileName(origName);
    for (const QString &note : std::as_const(notes)) {
        const QString path = root + u'/' + note + u'/' + kept;
        if (holds(path, hash))
            return path;
    }
    const QString copy = root + u'/' + storeName;
    if (holds(copy, hash))
        return copy;
    Internal::writeLog(QStringLiteral("[ERROR] Pasted attachment not found in the store: ")
                       + origName);
    return QString();
}

std::vector<AttachMarkupRewriter::Repoint>
AttachPaste::repoints(const std::vector<NewAttachFile> &records,
                      const std::vector<AttachNewAtt> &replacements,
                      const std::vector<MAF_RESULT> &stored)
{
    std::vector<AttachMarkupRewriter::Repoint> result;
    for (std::size_t i = 0; i < records.size() && i < replacements.size() && i < stored.size();
         ++i) {
        result.push_back({records[i].origName, records[i].storeName, stored[i].relPath,
                          stored[i].showSrc, replacements[i].newExdata});
    }
    return result;
}

} // namespace TAVRIKCORE::RICHEDITOR
