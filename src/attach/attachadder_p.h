// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "tavrik_autotest_export_p.h"

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace TAVRIKCORE::RICHEDITOR {

// The rules of adding files to a note: the batch filter with its limits, its messages, and
// the markup the page gives an added file.
class TAVRIK_AUTOTEST_EXPORT AttachAdder
{
public:
    // At most this many bytes of attachments per note (10 MiB); exactly this much is accepted.
    static constexpr quint64 MaxNoteAttachBytes = 10485760;

    // What the batch filter removed.
    struct FilterOutcome
    {
        bool sawFolder = false;
        bool sawEmptyFile = false;
        bool passedLimit = false;
        QStringList notRegular; // paths of pipes, sockets and devices
        QStringList unreadable; // paths that cannot be opened (permissions, link loops)
    };

    // One message to show: a source text for ShowMessage with its argument.
    struct Notice
    {
        QString source;
        QString arg;
    };

    // Removes, in list order, folders, files that are not regular files or cannot be opened
    // (each opened without blocking, see DropFiles::ProbeFile), empty files and files that
    // would take the running total (starting at `existingTotal`) past MaxNoteAttachBytes; a
    // file too large leaves the total unchanged, so later, smaller files may still fit.
    static FilterOutcome FilterDropFiles(std::vector<DropFileInfo> &files, quint64 existingTotal);

    // The messages for an outcome, each at most once, in this order: folder, empty file,
    // limit ("暂不支持文件夹粘贴！", "不能上传文件大小为0的附件！", "最大支持上传10M附件！").
    // These are the source texts, for ShowMessage.
    static QStringList FilterMessages(const FilterOutcome &outcome);

    // The messages naming the refused files, after those of FilterMessages: "Only regular
    // files can be attached; not attached: %1" and "These files cannot be opened and were not
    // attached: %1", each with the paths as “a”, “b”.
    static std::vector<Notice> RefusalNotices(const FilterOutcome &outcome);

    // Names for a message: “a”, “b”.
    static QString QuotedNames(const QStringList &names);

    // The element the page inserts for a file stored as `stored`, as the page serialises it:
    // an <img> with src, class, zv_exdata, data-ke-src and zvimgsrc in this order.
    static QString AttachmentMarkup(const DropFileInfo &info, const MAF_RESULT &stored);

    // Shows one of the adding messages in the application's plain modal message box with an
    // OK button: `source`, a text marked for translation in the context "AttachAdder", in the
    // user's language with "%1" replaced by `arg`. The log gets "[MESSAGE] " and the source
    // text with `arg`, the same in every language.
    static void ShowMessage(QWidget *parent, const QString &source, const QString &arg = QString());
};

} // namespace TAVRIKCORE::RICHEDITOR
