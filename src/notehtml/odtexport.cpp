// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/odtexport_p.h"

#include "common/writelog_p.h"
#include "notehtml/exportfiles_p.h"
#include "notehtml/mhtexport_p.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

using Internal::writeLog;

namespace {

// Qt's OpenDocument writer puts a table that directly follows a list item inside the list and
// breaks the table's rows apart; a plain paragraph between the two keeps them whole.
void separateTablesFromLists(QTextFrame *frame)
{
    std::vector<QTextBlock> lastListItems;
    std::vector<QTextFrame *> children;
    QTextBlock previous;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        QTextFrame *child = it.currentFrame();
        if (!child) {
            previous = it.currentBlock();
            continue;
        }
        if (previous.isValid() && previous.textList() && qobject_cast<QTextTable *>(child))
            lastListItems.push_back(previous);
        children.push_back(child);
        previous = QTextBlock();
    }
    for (QTextFrame *child : children)
        separateTablesFromLists(child);
    for (auto item = lastListItems.rbegin(); item != lastListItems.rend(); ++item) {
        QTextCursor cursor(*item);
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
}

} // namespace

int OdtExport::HtmlToOdt(const QString &html, const QString &target)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    // Headings are a size step in a rich-text document, which the writer does not store; they
    // get the point sizes a browser gives them instead.
    document.setDefaultStyleSheet(
        QStringLiteral("h1 { font-size: 24pt } h2 { font-size: 18pt } h3 { font-size: 14pt } "
                       "h4 { font-size: 12pt } h5 { font-size: 10pt } h6 { font-size: 8pt }"));
    // Every local picture is a resource, so nothing is read from disk behind the export's back:
    // those that could not be read are empty pictures, which the writer leaves out.
    for (const ExportFiles::Picture &picture :
         ExportFiles::localPictures(html, QStringLiteral("HtmlToOdt"))) {
        const QVariant resource
            = picture.mimeType.isEmpty() ? QVariant(QImage()) : QVariant(picture.bytes);
        document.addResource(QTextDocument::ImageResource, QUrl(picture.src), resource);
    }
    document.setHtml(html);
    separateTablesFromLists(document.rootFrame());

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, QByteArrayLiteral("odf"));
    if (!writer.write(&document)) {
        writeLog(QStringLiteral("[ERROR:] HtmlToOdt 发送未知错误！"));
        return 0;
    }
    if (const int error = ExportFiles::replace(target, buffer.data())) {
        ExportFiles::logWriteFailure(QStringLiteral("HtmlToOdt"), target, error);
        return 0;
    }
    return 1;
}

int OdtExport::NoteHtmlContentToOdtFile(const QString &html, const QString &target)
{
    return MhtExport::convertAndWrite(html, target, &HtmlToOdt);
}

int OdtExport::NoteHtmlFileToOdtFile(const QString &noteFile, const QString &target)
{
    return MhtExport::convertFileAndWrite(noteFile, target, &HtmlToOdt);
}

QString OdtExport::ExportFailedMessage()
{
    return QCoreApplication::translate("OdtExport", "转化为ODT文档失败！");
}

bool OdtExport::ExportOdt(const QString &noteContent, const QString &target, QString &message)
{
    return MhtExport::exportForUser(noteContent, target, message, &HtmlToOdt,
                                    ExportFailedMessage());
}

} // namespace TAVRIKCORE::RICHEDITOR
