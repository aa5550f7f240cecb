// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/notefolderexport.h"

#include "attach/fileclassifier_p.h"
#include "common/appdirectory_p.h"
#include "common/commonutils.h"
#include "common/durablefile_p.h"
#include "common/writelog_p.h"
#include "notehtml/attachmarkup_p.h"
#include "notehtml/exportfiles_p.h"
#include "notehtml/htmldocument_p.h"
#include "notehtml/htmlfileupgrademgr_p.h"
#include "notehtml/notehtmlrw.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <set>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

QString escapedText(const QString &text)
{
    return text.toHtmlEscaped();
}

class Exporter
{
public:
    Exporter(const QString &noteId, const QString &folder, NoteFolderExport::Result &result)
        : m_root(Internal::attachRootPath()), m_noteId(noteId), m_folder(folder), m_result(result)
    { }

    // Copies the store file `name` (in the root, or the note's kept copy) beside the HTML file
    // as `wanted`; gives the reference to put in the markup, empty when it is missing.
    QString copy(const QString &source, const QString &wanted)
    {
        if (!QFileInfo(source).isFile()) {
            m_result.missing.push_back(source);
            Internal::writeLog(QStringLiteral("[ERROR] NoteFolderExport: not in the store, left "
                                              "as it was: ")
                               + source);
            return {};
        }
        const QString name = freeName(wanted);
        const QString target = m_folder + u'/' + name;
        if (!QFile::copy(source, target)) {
            m_result.missing.push_back(source);
            Internal::writeLog(QStringLiteral("[ERROR] NoteFolderExport: cannot copy %1 to %2")
                                   .arg(source, target));
            return {};
        }
        m_result.files.push_back(target);
        return QString::fromLatin1(QUrl::toPercentEncoding(name));
    }

    // Points one attachment element at copies beside the HTML file.
    void exportAttachment(HtmlDocument &doc, HtmlDocument::Element image)
    {
        const QString origName = AttachMarkup::GetOrigNameFromJson(
            HtmlDocument::attribute(image, "zv_exdata").value_or(QString()).toUtf8());
        const QString storeName = GetFileNameFromPath(HtmlDocument::className(image));
        const QString shown
            = GetFileNameFromPath(HtmlDocument::attribute(image, "src").value_or(QString()));
        const QString kept = AttachMarkup::keptFileName(origName);
        const bool keptSafe = IsSafeFileName(kept) && IsSafeFileName(m_noteId);
        const QString name = keptSafe ? kept : storeName;
        const QString filePath = keptSafe
            ? Internal::attachFilePathIn(m_root, m_noteId, storeName, kept)
            : m_root + u'/' + storeName;

        if (FileClassifier::IsPicFileType(name.isEmpty() ? storeName : name)) {
            // The picture the page shows, else the kept copy.
            const QString source
                = IsSafeFileName(shown) && QFileInfo(m_root + u'/' + shown).isFile()
                ? m_root + u'/' + shown
                : filePath;
            const QString reference = copy(source, name);
            if (!reference.isEmpty())
                pointAt(image, reference);
            return;
        }
        if (IsSafeFileName(shown)) {
            const QString card = copy(m_root + u'/' + shown, name + QStringLiteral(".bmp"));
            if (!card.isEmpty())
                pointAt(image, card);
        }
        if (IsSafeFileName(storeName)) {
            const QString file = copy(filePath, name);
            if (!file.isEmpty()) {
                if (HtmlDocument::Element link = doc.wrapElement(image, "a"))
                    HtmlDocument::setAttribute(link, "href", file);
            }
        }
    }

    // An ordinary picture shown from the store gets its copy too.
    void exportPicture(HtmlDocument::Element image)
    {
        const QString src = HtmlDocument::attribute(image, "src").value_or(QString());
        QString normalized = src;
        normalized.replace(u'\\', u'/');
        if (!normalized.contains(QStringLiteral("userdata/attachment/")))
            return;
        const QString name = GetFileNameFromPath(normalized);
        if (!IsSafeFileName(name))
            return;
        const QString reference = copy(m_root + u'/' + name, name);
        if (!reference.isEmpty())
            pointAt(image, reference);
    }

    // `wanted`, or "base(n).ext" with the first n that no file in the folder and no copy has.
    QString freeName(const QString &wanted)
    {
        QString name = wanted;
        const qsizetype dot = wanted.lastIndexOf(u'.');
        const QString base = dot > 0 ? wanted.left(dot) : wanted;
        const QString extension = dot > 0 ? wanted.mid(dot) : QString();
        for (int n = 1; m_taken.count(name) || QFileInfo::exists(m_folder + u'/' + name); ++n)
            name = base + u'(' + QString::number(n) + u')' + extension;
        m_taken.insert(name);
        return name;
    }

private:
    static void pointAt(HtmlDocument::Element image, const QString &reference)
    {
        HtmlDocument::setAttribute(image, "src", reference);
        HtmlDocument::removeAttribute(image, "data-ke-src");
        HtmlDocument::removeAttribute(image, "zvimgsrc");
    }

    const QString m_root;
    const QString m_noteId;
    const QString m_folder;
    NoteFolderExport::Result &m_result;
    std::set<QString> m_taken;
};

NoteFolderExport::Result failed(NoteFolderExport::Result result, const QString &error)
{
    result.error = error;
    Internal::writeLog(QStringLiteral("[ERROR] NoteFolderExport: ") + error);
    return result;
}

// Exports the note markup `content` (read from `source`, which the messages name) into `folder`
// as `fileName`, the bytes made by `writer`.
NoteFolderExport::Result exportMarkup(const QString &noteId, const QString &content,
                                      const QString &source, const QString &folder,
                                      const QString &fileName,
                                      const NoteFolderExport::Writer &writer)
{
    NoteFolderExport::Result result;
    HtmlDocument doc;
    if (!doc.parse(content) || !doc.body())
        return failed(result, QStringLiteral("the note's markup does not parse: ") + source);
    if (!IsSafeFileName(fileName))
        return failed(result, QStringLiteral("not a file name: ") + fileName);
    const QString target = QFileInfo(folder).absoluteFilePath();
    if (!MakeDirectories(target))
        return failed(result, QStringLiteral("cannot create the folder ") + target);

    Exporter exporter(noteId, target, result);
    const QString file = exporter.freeName(fileName);
    for (HtmlDocument::Element image : doc.elementsByTagName("img")) {
        if (HtmlDocument::attribute(image, "zv_exdata"))
            exporter.exportAttachment(doc, image);
        else
            exporter.exportPicture(image);
    }
    const std::optional<QByteArray> bytes = writer(HtmlDocument::innerHtmlUtf8(doc.body()));
    if (!bytes) {
        for (const QString &copy : result.files)
            QFile::remove(copy);
        result.files.clear();
        return failed(result, QStringLiteral("the note could not be converted: ") + source);
    }
    result.htmlPath = target + u'/' + file;
    const int error = Internal::replaceDurably(result.htmlPath, {*bytes});
    if (error != 0) {
        return failed(
            result,
            QStringLiteral("cannot write %1: %2").arg(result.htmlPath, qt_error_string(error)));
    }
    return result;
}

} // namespace

NoteFolderExport::Result NoteFolderExport::Export(const QString &noteId, const QString &noteFile,
                                                  const QString &folder, const QString &htmlName)
{
    const QString notePath
        = noteFile.contains(u'/') ? noteFile : Internal::attachRootPath() + u'/' + noteFile;
    QString content;
    int version = 0;
    if (!NoteHtmlRW::ReadHtmlTextFromFile(notePath, content, version))
        return failed({}, QStringLiteral("cannot read the note file ") + notePath);
    if (version < NOTE_HTML_VER_2) {
        HtmlFileUpgradeMgr upgrades;
        upgrades.UpgradeHtml(content, version, NOTE_HTML_VER_2, content);
    }
    const QByteArray title = escapedText(QFileInfo(htmlName).completeBaseName()).toUtf8();
    return exportMarkup(noteId, content, notePath, folder, htmlName,
                        [&title](const QByteArray &body) -> std::optional<QByteArray> {
                            return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>"
                                + title + "</title></head>\n<body>" + body + "</body></html>\n";
                        });
}

NoteFolderExport::Result NoteFolderExport::ExportContent(const QString &noteId,
                                                         const QString &content,
                                                         const QString &folder,
                                                         const QString &fileName,
                                                         const Writer &writer)
{
    return exportMarkup(noteId, content, QStringLiteral("note ") + noteId, folder, fileName,
                        writer);
}

} // namespace TAVRIKCORE::RICHEDITOR
