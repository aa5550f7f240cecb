// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attach/attachadder_p.h"

#include "attach/dropfiles_p.h"
#include "common/iprompts.h"
#include "common/log4c.h"
#include "common/uilanguage.h"
#include "notehtml/attachmarkup_p.h"

#include <QGuiApplication>

namespace TAVRIKCORE::RICHEDITOR {

AttachAdder::FilterOutcome AttachAdder::FilterDropFiles(std::vector<DropFileInfo> &files,
                                                        quint64 existingTotal)
{
    FilterOutcome outcome;
    quint64 total = existingTotal;
    std::vector<DropFileInfo> kept;
    kept.reserve(files.size());
    for (DropFileInfo &info : files) {
        if (info.isDir) {
            outcome.sawFolder = true;
            continue;
        }
        quint64 size = 0;
        const DropFiles::Probe probe = DropFiles::ProbeFile(info.srcPath, &size);
        if (probe == DropFiles::Probe::NotRegular) {
            outcome.notRegular.append(info.srcPath);
        } else if (probe == DropFiles::Probe::Unreadable) {
            outcome.unreadable.append(info.srcPath);
        } else if ((info.fileSize = size) == 0) {
            outcome.sawEmptyFile = true;
        } else if (total + info.fileSize > MaxNoteAttachBytes
                   || info.fileSize > MaxNoteAttachBytes) {
            outcome.passedLimit = true;
        } else {
            total += info.fileSize;
            kept.push_back(std::move(info));
        }
    }
    files = std::move(kept);
    return outcome;
}

QStringList AttachAdder::FilterMessages(const FilterOutcome &outcome)
{
    QStringList messages;
    if (outcome.sawFolder)
        messages.append(QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "暂不支持文件夹粘贴！")));
    if (outcome.sawEmptyFile)
        messages.append(
            QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "不能上传文件大小为0的附件！")));
    if (outcome.passedLimit)
        messages.append(QStringLiteral(QT_TRANSLATE_NOOP("AttachAdder", "最大支持上传10M附件！")));
    return messages;
}

std::vector<AttachAdder::Notice> AttachAdder::RefusalNotices(const FilterOutcome &outcome)
{
    std::vector<Notice> notices;
    if (!outcome.notRegular.isEmpty())
        notices.push_back(
            {QStringLiteral(QT_TRANSLATE_NOOP(
                 "AttachAdder", "Only regular files can be attached; not attached: %1")),
             QuotedNames(outcome.notRegular)});
    if (!outcome.unreadable.isEmpty())
        notices.push_back(
            {QStringLiteral(QT_TRANSLATE_NOOP(
                 "AttachAdder", "These files cannot be opened and were not attached: %1")),
             QuotedNames(outcome.unreadable)});
    return notices;
}

QString AttachAdder::QuotedNames(const QStringList &names)
{
    return u'\u201C' + names.join(QStringLiteral("\u201D, \u201C")) + u'\u201D';
}

QString AttachAdder::AttachmentMarkup(const DropFileInfo &info, const MAF_RESULT &stored)
{
    // A browser escapes only the ampersand, the double quote and the no-break space in a
    // serialised attribute value.
    const auto quoted = [](const QString &value) -> QString {
        QString text = value;
        text.replace(u'&', QStringLiteral("&amp;"))
            .replace(u'"', QStringLiteral("&quot;"))
            .replace(QChar(0xA0), QStringLiteral("&nbsp;"));
        return u'"' + text + u'"';
    };
    const QString src = quoted(stored.showSrc);
    return QStringLiteral("<img src=") + src + QStringLiteral(" class=") + quoted(stored.relPath)
        + QStringLiteral(" zv_exdata=") + quoted(AttachMarkup::FormatOrigNameToJson(info.keptName))
        + QStringLiteral(" data-ke-src=") + src + QStringLiteral(" zvimgsrc=") + src + u'>';
}

void AttachAdder::ShowMessage(QWidget *parent, const QString &source, const QString &arg)
{
    const QString logged = source.contains(u"%1") ? source.arg(arg) : source;
    CLog4C::GetInstance()->WriteLog(u"[MESSAGE] " + logged);
    IPrompts::instance()->messageBox(parent, UiLanguage::Translate("AttachAdder", source, arg),
                                     QGuiApplication::applicationDisplayName(), QMessageBox::Ok);
}

} // namespace TAVRIKCORE::RICHEDITOR
