// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/attachmarkup_p.h"

#include "common/commonutils.h"
#include "common/jsontext_p.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "notehtml/htmldocument_p.h"

#include <map>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

struct Entry
{
    QString storeName;
    QString origName;
    int fileKind = 0;
    int isImageSrc = 0;
};

bool isSafeNoteId(const QString &noteId)
{
    return noteId.isEmpty() || IsSafeFileName(noteId);
}

} // namespace

QString AttachMarkup::keptFileName(const QString &origName)
{
    QString name = origName;
    name.replace(u'\\', QChar(0xFF3C));
    return name;
}

void AttachMarkup::logUnsafeName(const QString &name)
{
    CLog4C::GetInstance()->WriteLog(
        QStringLiteral("[ERROR] Attachment name leaves the attachment folder, skipped: ") + name);
}

QString AttachMarkup::FormatOrigNameToJson(const QString &origName)
{
    return QStringLiteral("{\"OrigName_B64\":\"")
        + QString::fromLatin1(Base64Encode(ToNarrow(origName))) + QStringLiteral("\"}");
}

QString AttachMarkup::GetOrigNameFromJson(const QByteArray &exdata)
{
    Json::Value root;
    if (!Internal::parseJsonText(exdata, root) || !root.isObject())
        return QString();
    const Json::Value &member = root["OrigName_B64"];
    if (!member.isString())
        return QString();
    const std::string text = member.asString();
    QByteArray bytes;
    Base64Decode(QByteArray::fromStdString(text), bytes);
    return FromNarrow(bytes);
}

int AttachMarkup::ParseAttList(const QString &noteId, const QString &html,
                               std::vector<NewAttachFile> &records, QString *plainText)
{
    HtmlDocument doc;
    if (!doc.parse(html)) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] 解析html字串，获取附件列表失败！"));
        return 0;
    }
    if (plainText)
        *plainText = HtmlDocument::innerText(doc.body());

    std::vector<Entry> entries; // position = order number
    std::map<QString, std::size_t> keys;
    const bool noteIdSafe = isSafeNoteId(noteId);
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        const std::optional<QString> exdata = HtmlDocument::attribute(image, "zv_exdata");
        if (!exdata)
            continue;

        const QString classStore = GetFileNameFromPath(HtmlDocument::className(image));
        if (!classStore.isEmpty() && keys.find(classStore) == keys.end()) {
            const QString origName = GetOrigNameFromJson(ToNarrow(*exdata));
            const QString key = classStore + origName;
            if (keys.find(key) == keys.end()) {
                if (!IsSafeFileName(classStore)) {
                    logUnsafeName(classStore);
                } else if (!origName.isEmpty() && !IsSafeFileName(keptFileName(origName))) {
                    logUnsafeName(origName);
                } else if (!origName.isEmpty() && !noteIdSafe) {
                    logUnsafeName(noteId);
                } else {
                    keys.emplace(key, entries.size());
                    entries.push_back({classStore, origName, 2, 0});
                }
            }
        }

        const std::optional<QString> src = HtmlDocument::attribute(image, "src");
        if (src) {
            const QString srcStore = GetFileNameFromPath(*src);
            if (!srcStore.isEmpty() && keys.find(srcStore) == keys.end()) {
                if (!IsSafeFileName(srcStore)) {
                    logUnsafeName(srcStore);
                } else {
                    keys.emplace(srcStore, entries.size());
                    entries.push_back({srcStore, QString(), 1, 1});
                }
            }
        }
    }

    records.clear();
    records.reserve(entries.size());
    // GetAttachFilePath checks (and creates) the folders on every call; the first call for a
    // kept name creates the note's folder, the other paths follow the same rule as text.
    const QString root = GetAttachRootDir() + u'/';
    QString noteFolder;
    for (const Entry &entry : entries) {
        NewAttachFile record;
        record.origName = entry.origName;
        record.fileKind = entry.fileKind;
        record.fileExt = GetFileExt(entry.storeName);
        record.storeName = entry.storeName;
        if (entry.origName.isEmpty()) {
            record.filePath = root + entry.storeName;
        } else if (noteFolder.isEmpty()) {
            const QString kept = keptFileName(entry.origName);
            record.filePath = GetAttachFilePath(noteId, entry.storeName, kept);
            noteFolder = record.filePath.left(record.filePath.size() - kept.size());
        } else {
            record.filePath = noteFolder + keptFileName(entry.origName);
        }
        record.isImageSrc = entry.isImageSrc;
        records.push_back(std::move(record));
    }
    return 1;
}

int AttachMarkup::ParseAttOrigFileNameList(const QString &html, std::vector<QString> &names)
{
    HtmlDocument doc;
    if (!doc.parse(html)) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] 解析html字串，获取附件原文件名列表失败！"));
        return 0;
    }
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        const std::optional<QString> exdata = HtmlDocument::attribute(image, "zv_exdata");
        if (!exdata)
            continue;
        QString origName = GetOrigNameFromJson(ToNarrow(*exdata));
        if (!origName.isEmpty())
            names.push_back(std::move(origName));
    }
    return 1;
}

void AttachMarkup::GetAttachFileFromHtml(const QString &noteId, const QString &html,
                                         std::vector<QString> &paths, QString *plainText)
{
    std::vector<NewAttachFile> records;
    ParseAttList(noteId, html, records, plainText);
    for (const NewAttachFile &record : records) {
        if (record.isImageSrc == 0 && IsFileExist(record.filePath))
            paths.push_back(record.filePath);
    }
}

} // namespace TAVRIKCORE::RICHEDITOR
