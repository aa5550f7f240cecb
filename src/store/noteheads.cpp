// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/noteheads.h"

#include "common/appdirectory.h"
#include "common/appdirectory_p.h"
#include "common/durablefile_p.h"
#include "common/jsontext_p.h"
#include "common/pathutils.h"
#include "common/syncenginefiles_p.h"
#include "common/writelog_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <json/writer.h>

#include <algorithm>
#include <set>

namespace TAVRIKCORE::RICHEDITOR {

using namespace Qt::StringLiterals;

namespace {

constexpr int HeadFormat = 1;

Json::Value text(const QString &value)
{
    return Json::Value(value.toUtf8().toStdString());
}

qint64 number(const Json::Value &object, const char *key)
{
    const Json::Value &value = object[key];
    return value.isNumeric() ? qint64(value.asDouble()) : 0;
}

bool isDeviceId(const QString &id)
{
    return id.size() == 32 && std::all_of(id.cbegin(), id.cend(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

// The note files a head's version was made from.
std::set<QString> ancestorsOf(const NoteHead &head)
{
    std::set<QString> files;
    if (!head.base.isEmpty())
        files.insert(head.base);
    for (const ReplacedVersion &version : head.replaced)
        files.insert(version.noteFile);
    files.erase(head.noteFile);
    return files;
}

bool newer(const NoteHead &a, const NoteHead &b)
{
    if (a.changedMs != b.changedMs)
        return a.changedMs > b.changedMs;
    return a.modifiedMs != b.modifiedMs ? a.modifiedMs > b.modifiedMs : a.device > b.device;
}

MergedNote mergeNote(const std::vector<const NoteHead *> &heads)
{
    std::vector<std::set<QString>> ancestors;
    for (const NoteHead *head : heads)
        ancestors.push_back(ancestorsOf(*head));
    // A version's latest word, by note file: the newest head holding that version that no
    // other head's version was made from.
    const bool saved = std::any_of(heads.cbegin(), heads.cend(),
                                   [](const NoteHead *head) { return !head->noteFile.isEmpty(); });
    std::map<QString, const NoteHead *> tips;
    for (const NoteHead *head : heads) {
        // A note never saved has no version yet: any saved one descends from it.
        bool superseded = saved && head->noteFile.isEmpty();
        for (size_t i = 0; i < heads.size() && !superseded; ++i)
            superseded = ancestors[i].count(head->noteFile) > 0;
        if (superseded)
            continue;
        const NoteHead *&tip = tips[head->noteFile];
        if (!tip || newer(*head, *tip))
            tip = head;
    }
    std::vector<const NoteHead *> kept;
    std::vector<const NoteHead *> deleted;
    for (const auto &entry : tips)
        (entry.second->deleted ? deleted : kept).push_back(entry.second);
    auto byNewest = [](const NoteHead *a, const NoteHead *b) {
        return newer(*a, *b);
    };
    std::sort(kept.begin(), kept.end(), byNewest);
    std::sort(deleted.begin(), deleted.end(), byNewest);

    MergedNote merged;
    if (kept.empty()) {
        merged.deleted = true;
        merged.current = *deleted.front();
        return merged;
    }
    merged.current = *kept.front();
    for (size_t i = 1; i < kept.size(); ++i)
        merged.conflicts.push_back(*kept[i]);
    // A rename or a read-only switch made elsewhere after this version counts too.
    const NoteHead *newest = *std::min_element(heads.cbegin(), heads.cend(),
                                               [&](auto a, auto b) { return newer(*a, *b); });
    if (!newest->deleted && newest->changedMs > merged.current.changedMs) {
        merged.current.title = newest->title;
        merged.current.readOnly = newest->readOnly;
    }
    return merged;
}

} // namespace

NoteHeads::NoteHeads(const QString &folder) : m_folder(folder) { }

QString NoteHeads::DefaultFolder()
{
    return Internal::attachRootPath() + u"/heads"_s;
}

QString NoteHeads::DeviceIdPath()
{
    return GetAppDirectory() + u"userdata/device-id"_s;
}

QString NoteHeads::DeviceId(const QString &path, QString &error)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QString id = QString::fromLatin1(file.read(64)).trimmed();
        if (isDeviceId(id))
            return id;
        Internal::writeLog(
            u"NoteHeads: the device id in %1 is not one; a new one is made"_s.arg(path));
    }
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes = id.toLatin1() + '\n';
    if (const int failed = Internal::replaceDurably(path, {bytes})) {
        error = u"Cannot write the device id %1: %2"_s.arg(path, qt_error_string(failed));
        Internal::writeLog(u"NoteHeads: "_s + error);
        return {};
    }
    return id;
}

QString NoteHeads::pathOf(const NoteHead &head, QString &error) const
{
    if (!isDeviceId(head.device) || !IsSafeFileName(head.noteId)) {
        error = u"Cannot write the head of the note %1: not a device id or note id"_s.arg(
            head.noteId);
        Internal::writeLog(u"NoteHeads: "_s + error);
        return {};
    }
    const QString folder = m_folder + u'/' + head.device;
    const QString path = folder + u'/' + head.noteId + u".json"_s;
    if (!QDir().mkpath(folder)) {
        error = u"Cannot write the head %1: %2"_s.arg(path, qt_error_string(EACCES));
        Internal::writeLog(u"NoteHeads: "_s + error);
        return {};
    }
    return path;
}

bool NoteHeads::write(const NoteHead &head, QString &error) const
{
    const QString path = pathOf(head, error);
    if (path.isEmpty())
        return false;
    if (const int failed = Internal::replaceDurably(path, {ToJson(head)})) {
        error = u"Cannot write the head %1: %2"_s.arg(path, qt_error_string(failed));
        Internal::writeLog(u"NoteHeads: "_s + error);
        return false;
    }
    return true;
}

bool NoteHeads::writeNew(const std::vector<NoteHead> &heads, QString &error) const
{
    std::vector<Internal::NewFile> files;
    for (const NoteHead &head : heads) {
        files.push_back({pathOf(head, error), ToJson(head)});
        if (files.back().path.isEmpty())
            return false;
    }
    if (const int failed = Internal::placeNewDurably(files)) {
        error = u"Cannot write the heads of %1 new notes in %2: %3"_s.arg(heads.size())
                    .arg(m_folder, qt_error_string(failed));
        Internal::writeLog(u"NoteHeads: "_s + error);
        return false;
    }
    return true;
}

std::optional<NoteHead> NoteHeads::read(const QString &device, const QString &noteId) const
{
    QFile file(m_folder + u'/' + device + u'/' + noteId + u".json"_s);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString error;
    std::optional<NoteHead> head = FromJson(file.readAll(), error);
    if (head && (head->device != device || head->noteId != noteId))
        return std::nullopt;
    return head;
}

std::vector<NoteHead> NoteHeads::readAll(std::vector<QString> *problems) const
{
    std::vector<NoteHead> heads;
    const QDir root(m_folder);
    const QStringList devices = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &device : devices) {
        if (!isDeviceId(device))
            continue;
        const QDir folder(root.filePath(device));
        for (const QString &name : folder.entryList({u"*.json"_s}, QDir::Files, QDir::Name)) {
            if (Internal::isSyncEngineFile(name))
                continue;
            const QString noteId = name.chopped(5);
            std::optional<NoteHead> head = read(device, noteId);
            if (!head) {
                const QString problem = u"The head %1 cannot be read"_s.arg(folder.filePath(name));
                Internal::writeLog(u"NoteHeads: "_s + problem);
                if (problems)
                    problems->push_back(problem);
                continue;
            }
            heads.push_back(std::move(*head));
        }
    }
    return heads;
}

std::map<QString, MergedNote> NoteHeads::Merge(const std::vector<NoteHead> &heads)
{
    std::map<QString, std::vector<const NoteHead *>> byNote;
    for (const NoteHead &head : heads)
        byNote[head.noteId].push_back(&head);
    std::map<QString, MergedNote> notes;
    for (const auto &[id, noteHeads] : byNote)
        notes.emplace(id, mergeNote(noteHeads));
    return notes;
}

QByteArray NoteHeads::ToJson(const NoteHead &head)
{
    Json::Value root(Json::objectValue);
    root["format"] = HeadFormat;
    root["note"] = text(head.noteId);
    root["device"] = text(head.device);
    root["file"] = text(head.noteFile);
    root["base"] = text(head.base);
    Json::Value replaced(Json::arrayValue);
    const size_t skip = head.replaced.size() > size_t(MaxReplaced)
        ? head.replaced.size() - size_t(MaxReplaced)
        : 0;
    for (size_t i = skip; i < head.replaced.size(); ++i) {
        Json::Value version(Json::objectValue);
        version["file"] = text(head.replaced[i].noteFile);
        version["replaced"] = Json::Int64(head.replaced[i].replacedMs);
        replaced.append(version);
    }
    root["replaced"] = replaced;
    root["title"] = text(head.title);
    root["created"] = Json::Int64(head.createdMs);
    root["modified"] = Json::Int64(head.modifiedMs);
    root["changed"] = Json::Int64(head.changedMs);
    root["readOnly"] = head.readOnly;
    root["deleted"] = head.deleted;
    root["preview"] = text(head.preview);
    Json::Value files(Json::arrayValue);
    for (const NoteHeadFile &f : head.files) {
        Json::Value file(Json::objectValue);
        file["origName"] = text(f.origName);
        file["kind"] = f.fileKind;
        file["modifyTime"] = text(f.modifyTime);
        file["ext"] = text(f.fileExt);
        file["storeName"] = text(f.storeName);
        file["path"] = text(f.filePath);
        file["imageSrc"] = f.isImageSrc;
        files.append(file);
    }
    root["files"] = files;
    Json::Value sizes(Json::objectValue);
    for (const auto &[name, size] : head.sizes)
        sizes[name.toUtf8().toStdString()] = Json::UInt64(size);
    root["sizes"] = sizes;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = " ";
    return QByteArray::fromStdString(Json::writeString(builder, root)) + '\n';
}

std::optional<NoteHead> NoteHeads::FromJson(const QByteArray &json, QString &error)
{
    Json::Value root;
    if (!Internal::ParseJsonObject(json, root)) {
        error = u"not a JSON object"_s;
        return std::nullopt;
    }
    if (number(root, "format") != HeadFormat) {
        error = u"format %1 is not known"_s.arg(number(root, "format"));
        return std::nullopt;
    }
    NoteHead head;
    head.noteId = Internal::JsonText(root, "note");
    head.device = Internal::JsonText(root, "device");
    head.noteFile = Internal::JsonText(root, "file");
    if (!IsSafeFileName(head.noteId) || !isDeviceId(head.device)
        || (!head.noteFile.isEmpty() && !IsSafeFileName(head.noteFile))) {
        error = u"no note, device or note file"_s;
        return std::nullopt;
    }
    head.base = Internal::JsonText(root, "base");
    for (const Json::Value &version : root["replaced"]) {
        if (version.isObject())
            head.replaced.push_back(
                {Internal::JsonText(version, "file"), number(version, "replaced")});
    }
    head.title = Internal::JsonText(root, "title");
    head.createdMs = number(root, "created");
    head.modifiedMs = number(root, "modified");
    head.changedMs = number(root, "changed");
    head.readOnly = Internal::JsonBool(root, "readOnly");
    head.deleted = Internal::JsonBool(root, "deleted");
    head.preview = Internal::JsonText(root, "preview");
    for (const Json::Value &f : root["files"]) {
        if (!f.isObject())
            continue;
        NoteHeadFile file;
        file.origName = Internal::JsonText(f, "origName");
        file.fileKind = int(number(f, "kind"));
        file.modifyTime = Internal::JsonText(f, "modifyTime");
        file.fileExt = Internal::JsonText(f, "ext");
        file.storeName = Internal::JsonText(f, "storeName");
        file.filePath = Internal::JsonText(f, "path");
        file.isImageSrc = int(number(f, "imageSrc"));
        head.files.push_back(std::move(file));
    }
    const Json::Value &sizes = root["sizes"];
    if (sizes.isObject()) {
        for (const std::string &name : sizes.getMemberNames()) {
            if (sizes[name].isNumeric())
                head.sizes[QString::fromStdString(name)] = quint64(sizes[name].asDouble());
        }
    }
    return head;
}

} // namespace TAVRIKCORE::RICHEDITOR
