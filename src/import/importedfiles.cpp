// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "import/importedfiles_p.h"

#include "attach/attachadder_p.h"
#include "attach/attachstore_p.h"
#include "attach/fileclassifier_p.h"
#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "common/contentnamedfile_p.h"
#include "common/writelog_p.h"

#include <QFileInfo>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

QString reasonText(ImportSkip::Reason reason)
{
    switch (reason) {
    case ImportSkip::Reason::Unreadable:
        return QStringLiteral("cannot be read");
    case ImportSkip::Reason::Malformed:
        return QStringLiteral("the XML breaks off");
    case ImportSkip::Reason::HashMismatch:
        return QStringLiteral("its bytes do not match its hash");
    case ImportSkip::Reason::TooLarge:
        return QStringLiteral("past the note's attachment limit");
    case ImportSkip::Reason::UnsafeName:
        return QStringLiteral("the name leads out of its folder");
    case ImportSkip::Reason::Missing:
        return QStringLiteral("not found");
    case ImportSkip::Reason::NotStored:
        return QStringLiteral("cannot be stored");
    }
    return {};
}

} // namespace

ImportedFiles::ImportedFiles(const QString &noteId, const QString &noteTitle,
                             std::vector<ImportSkip> &skipped)
    : m_noteId(noteId), m_noteTitle(noteTitle), m_skipped(skipped)
{ }

void ImportedFiles::record(std::vector<ImportSkip> &skipped, const ImportSkip &skip)
{
    QString line = QStringLiteral("[ERROR] Import skipped ") + skip.name + QStringLiteral(" (")
        + reasonText(skip.reason);
    if (!skip.detail.isEmpty())
        line += QStringLiteral(": ") + skip.detail;
    if (!skip.note.isEmpty())
        line += QStringLiteral(", note \"") + skip.note + u'"';
    writeLog(line + u')');
    skipped.push_back(skip);
}

void ImportedFiles::skip(ImportSkip::Reason reason, const QString &name, const QString &detail)
{
    record(m_skipped, {reason, m_noteTitle, name, detail});
}

std::optional<ImportedFiles::Stored> ImportedFiles::add(const QString &path, const QString &name)
{
    if (!IsSafeFileName(name)) {
        skip(ImportSkip::Reason::UnsafeName, name);
        return std::nullopt;
    }
    const QFileInfo file(path);
    if (!file.isFile()) {
        skip(ImportSkip::Reason::Missing, name);
        return std::nullopt;
    }
    const quint64 size = quint64(file.size());
    if (size > AttachAdder::MaxNoteAttachBytes
        || m_total + size > AttachAdder::MaxNoteAttachBytes) {
        skip(ImportSkip::Reason::TooLarge, name);
        return std::nullopt;
    }
    Stored stored;
    stored.info.srcPath = path;
    stored.info.keptName = stored.info.displayName = name;
    stored.info.fileExt = FileClassifier::GetFileStuffx(name);
    stored.info.fileSize = size;
    stored.info.addTime = GetAddTimeString();
    std::vector<DropFileInfo> batch{stored.info};
    AttachStore::DoAttSameName(batch, m_names, m_noteId);
    stored.info = batch.front();
    if (!AttachStore::MoveAttFile(m_noteId, stored.info, stored.result)) {
        skip(ImportSkip::Reason::NotStored, name);
        return std::nullopt;
    }
    m_names.push_back(stored.info.keptName);
    m_total += size;
    return stored;
}

bool ImportedFiles::useCard(Stored &stored, const QString &cardPath)
{
    const QString hash = CalcFileMd5(cardPath);
    if (hash.isEmpty())
        return false;
    const QString name = hash + QStringLiteral(".bmp");
    const QString target = attachRootPath() + u'/' + name;
    const int error = placeContentNamed(
        target, hash, [&](Placement placement) { return durableCopy(cardPath, target, placement); },
        QString());
    if (error != 0)
        return false;
    stored.result.showName = name;
    stored.result.showSrc = QStringLiteral("../userdata\\attachment\\") + name;
    stored.result.showSize = int(QFileInfo(target).size());
    return true;
}

QString ImportedFiles::markup(const Stored &stored)
{
    return AttachAdder::AttachmentMarkup(stored.info, stored.result);
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
