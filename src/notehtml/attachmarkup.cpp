// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/attachmarkup_p.h"

#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "common/jsontext_p.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "notehtml/htmldocument_p.h"

#include <functional>
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

namespace {

// Reads the attachment entries of note HTML into `records` (ParseAttList's rules); `pathOf`
// gives the path of an entry from its store name and kept name (empty for a file in the root).
int parseAttList(const QString &noteId, const QString &html, std::vector<NewAttachFile> &records,
                 QString *plainText,
                 const std::function<QString(const QString &, const QString &)> &pathOf)
{
    std::vector<Entry> entries; // position = order number
    std::map<QString, std::size_t> keys;
    const bool noteIdSafe = isSafeNoteId(noteId);
    const auto readImage = [&](const std::optional<QString> &exdata, const QString &className,
                               const std::optional<QString> &src) {
        if (!exdata)
            return;
        const QString classStore = GetFileNameFromPath(className);
        if (!classStore.isEmpty() && keys.find(classStore) == keys.end()) {
            const QString origName = AttachMarkup::GetOrigNameFromJson(ToNarrow(*exdata));
            const QString key = classStore + origName;
            if (keys.find(key) == keys.end()) {
                if (!IsSafeFileName(classStore)) {
                    AttachMarkup::logUnsafeName(classStore);
                } else if (!origName.isEmpty()
                           && !IsSafeFileName(AttachMarkup::keptFileName(origName))) {
                    AttachMarkup::logUnsafeName(origName);
                } else if (!origName.isEmpty() && !noteIdSafe) {
                    AttachMarkup::logUnsafeName(noteId);
                } else {
                    keys.emplace(key, entries.size());
                    entries.push_back({classStore, origName, 2, 0});
                }
            }
        }
        if (src) {
            const QString srcStore = GetFileNameFromPath(*src);
            if (!srcStore.isEmpty() && keys.find(srcStore) == keys.end()) {
                if (!IsSafeFileName(srcStore)) {
                    AttachMarkup::logUnsafeName(srcStore);
                } else {
                    keys.emplace(srcStore, entries.size());
                    entries.push_back({srcStore, QString(), 1, 1});
                }
            }
        }
    };

    // The plain text needs the document; the list alone only the pictures' attributes.
    bool parsed = false;
    if (plainText) {
        HtmlDocument doc;
        parsed = doc.parse(html);
        if (parsed) {
            *plainText = HtmlDocument::innerText(doc.body());
            for (HtmlDocument::Element image : doc.elementsByTagName("img"))
                readImage(HtmlDocument::attribute(image, "zv_exdata"),
                          HtmlDocument::className(image), HtmlDocument::attribute(image, "src"));
        }
    } else {
        parsed = HtmlDocument::scan(html, "img", [&](const HtmlDocument::ScannedElement &image) {
            readImage(image.attribute("zv_exdata"), image.className(), image.attribute("src"));
        });
    }
    if (!parsed) {
        CLog4C::GetInstance()->WriteLog(QStringLiteral("[ERROR] 解析html字串，获取附件列表失败！"));
        return 0;
    }

    records.clear();
    records.reserve(entries.size());
    for (const Entry &entry : entries) {
        NewAttachFile record;
        record.origName = entry.origName;
        record.fileKind = entry.fileKind;
        record.fileExt = GetFileExt(entry.storeName);
        record.storeName = entry.storeName;
        record.filePath = pathOf(
            entry.storeName,
            entry.origName.isEmpty() ? QString() : AttachMarkup::keptFileName(entry.origName));
        record.isImageSrc = entry.isImageSrc;
        records.push_back(std::move(record));
    }
    return 1;
}

} // namespace

int AttachMarkup::ParseAttList(const QString &noteId, const QString &html,
                               std::vector<NewAttachFile> &records, QString *plainText)
{
    // GetAttachFilePath checks (and creates) the folders on every call; the first call for a
    // kept name creates the note's folder, the other paths follow the same rule as text.
    const QString root = GetAttachRootDir();
    bool noteFolderMade = false;
    return parseAttList(noteId, html, records, plainText,
                        [&](const QString &storeName, const QString &kept) {
                            if (kept.isEmpty() || noteFolderMade)
                                return Internal::attachFilePathIn(root, noteId, storeName, kept);
                            noteFolderMade = true;
                            return GetAttachFilePath(noteId, storeName, kept);
                        });
}

int AttachMarkup::ListAttachments(const QString &root, const QString &noteId, const QString &html,
                                  std::vector<NewAttachFile> &records)
{
    return parseAttList(noteId, html, records, nullptr,
                        [&](const QString &storeName, const QString &kept) {
                            return Internal::attachFilePathIn(root, noteId, storeName, kept);
                        });
}

int AttachMarkup::ParseAttOrigFileNameList(const QString &html, std::vector<QString> &names)
{
    const bool parsed
        = HtmlDocument::scan(html, "img", [&](const HtmlDocument::ScannedElement &image) {
              const std::optional<QString> exdata = image.attribute("zv_exdata");
              if (!exdata)
                  return;
              QString origName = GetOrigNameFromJson(ToNarrow(*exdata));
              if (!origName.isEmpty())
                  names.push_back(std::move(origName));
          });
    if (!parsed) {
        CLog4C::GetInstance()->WriteLog(
            QStringLiteral("[ERROR] 解析html字串，获取附件原文件名列表失败！"));
        return 0;
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
