// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "notehtml/attachnewatt.h"
#include "notehtml/newattachfile.h"
#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

// Changes the attachment markup of note HTML without the editor page. Every output is the
// inner HTML of the body: whatever the input had outside it (a head, comments before <html>)
// is dropped. Elements are matched by comparing their whole zv_exdata text exactly.
class TAVRIK_AUTOTEST_EXPORT AttachMarkupRewriter
{
public:
    // Sets class and src of every attachment element whose zv_exdata is the one of `origName`.
    // 1 with `outHtml` and `outText` (the body's plain text) set, also when nothing matched;
    // 0 with the outputs untouched and the log line
    // "[ERROR] 解析html字串，获取附件原文件名列表失败！" when the HTML cannot be parsed.
    static int UpdateHtmlAttachAttr(const QString &html, const QString &origName,
                                    const QString &classValue, const QString &srcValue,
                                    QString &outHtml, QString &outText);

    // For every attachment element whose zv_exdata equals the oldExdata of a change (the first
    // such change counts): replaces the text after the last '/' of src and after the last '\'
    // of data-ke-src and zvimgsrc by newFileName (an attribute without that separator is left
    // alone) and sets zv_exdata to newExdata. Input and output are UTF-8 (legacy code-page
    // input is decoded as well). 1 with `outHtml` set; 0 with the log line
    // "[ERROR] ModifyAttachAttValue 修改附件属性值失败！" when the HTML cannot be parsed.
    static int UpdateAttachAttValue(const QByteArray &html,
                                    const std::vector<AttachNewAtt> &changes, QByteArray &outHtml);

    // Copies `html` to `outHtml` unchanged; the changes are not applied. Always 1.
    static int UpdateAttachAttValue2(const QByteArray &html,
                                     const std::vector<AttachNewAtt> &changes, QByteArray &outHtml);

    // Where one attachment of pasted markup now points: the elements showing the attachment of
    // original name `origName` whose class names the stored file `storeName` get the new
    // class, src (also data-ke-src and zvimgsrc) and zv_exdata texts.
    struct Repoint
    {
        QString origName;
        QString storeName;
        QString classValue;
        QString srcValue;
        QString exdata;
    };

    // Applies `repoints` to every attachment element of a pasted fragment and removes the
    // attachment elements none of them names, so the result refers only to files the
    // repoints stand for. The result is the inner HTML of the body; an unparsable fragment
    // gives nothing.
    static std::optional<QString> RepointAttachments(const QString &html,
                                                     const std::vector<Repoint> &repoints);

    // Removes the first attachment element whose zv_exdata is the one of `origName` from a stored
    // note and stores the note again (upgraded to version 2 when older).
    //
    // The stored note is the one named by `records`: the filePath of its first record with
    // fileKind 0, the note's own file, which saving a note and this operation put first. On
    // success `records` becomes the new note file's record followed by the files the new content
    // names (ParseAttList), every modifyTime set to now, and the result is 1; the old note file
    // stays. The result is 0 with `records` and the note untouched when there is no such record,
    // its file does not exist, no element matches, or storing fails; when the note cannot be
    // parsed it is 0 with the log line "[ERROR] DelAttachFromHtmlFile从html文件中删除附件失败！".
    static int DelAttachFromHtmlFile(const QString &noteId, const QString &origName,
                                     std::vector<NewAttachFile> &records);
};

} // namespace TAVRIKCORE::RICHEDITOR
