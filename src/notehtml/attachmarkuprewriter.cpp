// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/attachmarkuprewriter_p.h"

#include "common/commonutils.h"
#include "common/narrowcodec.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/notehtmlrw.h"

#include <algorithm>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

// Replaces the text after the last `separator` of the attribute by `fileName`; an absent
// attribute or one without the separator stays as it is.
void replaceFileName(HtmlDocument::Element element, const char *name, QChar separator,
                     const QString &fileName)
{
    const std::optional<QString> value = HtmlDocument::attribute(element, name);
    if (!value)
        return;
    const qsizetype last = value->lastIndexOf(separator);
    if (last < 0)
        return;
    HtmlDocument::setAttribute(element, name, value->left(last + 1) + fileName);
}

} // namespace

int AttachMarkupRewriter::UpdateHtmlAttachAttr(const QString &html, const QString &origName,
                                               const QString &classValue, const QString &srcValue,
                                               QString &outHtml, QString &outText)
{
    HtmlDocument doc;
    if (!doc.parse(html)) {
        writeLog(QStringLiteral("[ERROR] 解析html字串，获取附件原文件名列表失败！"));
        return 0;
    }
    const QString target = AttachMarkup::FormatOrigNameToJson(origName);
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        const std::optional<QString> exdata = HtmlDocument::attribute(image, "zv_exdata");
        if (!exdata || exdata->isEmpty() || *exdata != target)
            continue;
        HtmlDocument::setClassName(image, classValue);
        HtmlDocument::setAttribute(image, "src", srcValue);
    }
    outHtml = HtmlDocument::innerHtml(doc.body());
    outText = HtmlDocument::innerText(doc.body());
    return 1;
}

int AttachMarkupRewriter::UpdateAttachAttValue(const QByteArray &html,
                                               const std::vector<AttachNewAtt> &changes,
                                               QByteArray &outHtml)
{
    HtmlDocument doc;
    if (!doc.parse(FromNarrow(html))) {
        writeLog(QStringLiteral("[ERROR] ModifyAttachAttValue 修改附件属性值失败！"));
        return 0;
    }
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        const QString exdata = HtmlDocument::attribute(image, "zv_exdata").value_or(QString());
        if (exdata.isEmpty())
            continue;
        const auto change
            = std::find_if(changes.begin(), changes.end(),
                           [&](const AttachNewAtt &c) { return c.oldExdata == exdata; });
        if (change == changes.end())
            continue;
        replaceFileName(image, "src", u'/', change->newFileName);
        replaceFileName(image, "data-ke-src", u'\\', change->newFileName);
        replaceFileName(image, "zvimgsrc", u'\\', change->newFileName);
        HtmlDocument::setAttribute(image, "zv_exdata", change->newExdata);
    }
    outHtml = HtmlDocument::innerHtmlUtf8(doc.body()); // narrow text is UTF-8
    return 1;
}

std::optional<QString>
AttachMarkupRewriter::RepointAttachments(const QString &html, const std::vector<Repoint> &repoints)
{
    HtmlDocument doc;
    if (!doc.parse(html) || !doc.body())
        return std::nullopt;
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        const std::optional<QString> exdata = HtmlDocument::attribute(image, "zv_exdata");
        if (!exdata)
            continue;
        const QString origName = AttachMarkup::GetOrigNameFromJson(ToNarrow(*exdata));
        const QString storeName = GetFileNameFromPath(HtmlDocument::className(image));
        const auto repoint = std::find_if(repoints.begin(), repoints.end(), [&](const Repoint &r) {
            return !origName.isEmpty() && r.origName == origName && r.storeName == storeName;
        });
        if (repoint == repoints.end()) {
            doc.removeElement(image);
            continue;
        }
        HtmlDocument::setClassName(image, repoint->classValue);
        for (const char *name : {"src", "data-ke-src", "zvimgsrc"})
            HtmlDocument::setAttribute(image, name, repoint->srcValue);
        HtmlDocument::setAttribute(image, "zv_exdata", repoint->exdata);
    }
    return HtmlDocument::innerHtml(doc.body());
}

int AttachMarkupRewriter::UpdateAttachAttValue2(const QByteArray &html,
                                                const std::vector<AttachNewAtt> &,
                                                QByteArray &outHtml)
{
    outHtml = html;
    return 1;
}

int AttachMarkupRewriter::DelAttachFromHtmlFile(const QString &noteId, const QString &origName,
                                                std::vector<NewAttachFile> &records)
{
    const auto noteRecord = std::find_if(records.begin(), records.end(),
                                         [](const NewAttachFile &r) { return r.fileKind == 0; });
    if (noteRecord == records.end() || noteRecord->filePath.isEmpty()
        || !IsFileExist(noteRecord->filePath))
        return 0;
    QString content;
    int version = 0;
    NoteHtmlRW::ReadHtmlTextFromFile(noteRecord->filePath, content, version);

    HtmlDocument doc;
    if (!doc.parse(content)) {
        writeLog(QStringLiteral("[ERROR] DelAttachFromHtmlFile从html文件中删除附件失败！"));
        return 0;
    }
    const QString target = AttachMarkup::FormatOrigNameToJson(origName);
    bool removed = false;
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        if (HtmlDocument::attribute(image, "zv_exdata") == target) {
            doc.removeElement(image);
            removed = true;
            break;
        }
    }
    if (!removed)
        return 0;
    QString newContent = HtmlDocument::innerHtml(doc.body());

    NewAttachFile noteFile;
    if (!NoteHtmlRW::SaveHtmlTextToFile(newContent, noteFile, &version))
        return 0;

    records.clear();
    AttachMarkup::ParseAttList(noteId, newContent, records);
    records.insert(records.begin(), noteFile);
    const QString now = GetCurTimeString();
    for (NewAttachFile &record : records)
        record.modifyTime = now;
    return 1;
}

} // namespace TAVRIKCORE::RICHEDITOR
