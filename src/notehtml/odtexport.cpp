// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/odtexport_p.h"

#include "common/writelog_p.h"
#include "notehtml/exportfiles_p.h"
#include "notehtml/mhtexport_p.h"
#include "notehtml/notehtmlrw.h"

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

// Headings and relative sizes (<big>, <font size>) are a size step in a rich-text document,
// which the writer does not store; they get the point size the step stands for.
void fixRelativeSizes(QTextDocument &document)
{
    constexpr qreal BasePoints = 12;
    constexpr qreal Scale[] = {0.7, 0.8, 1.0, 1.2, 1.5, 2.0, 2.4}; // steps -2 to 4
    struct Run
    {
        int from, to;
        qreal points;
    };
    std::vector<Run> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::FontSizeAdjustment)
                || format.hasProperty(QTextFormat::FontPointSize))
                continue;
            const int step = qBound(-2, format.intProperty(QTextFormat::FontSizeAdjustment), 4);
            runs.push_back({fragment.position(), fragment.position() + fragment.length(),
                            BasePoints * Scale[step + 2]});
        }
    }
    QTextCursor cursor(&document);
    for (const Run &run : runs) {
        QTextCharFormat sized;
        sized.setFontPointSize(run.points);
        cursor.setPosition(run.from);
        cursor.setPosition(run.to, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(sized);
    }
}

} // namespace

int OdtExport::HtmlToOdt(const QString &html, const QString &target)
{
    QTextDocument document;
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
    fixRelativeSizes(document);

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
    QString converted;
    if (!MhtExport::HtmlConvert(html, converted))
        return 0;
    return HtmlToOdt(converted, target);
}

int OdtExport::NoteHtmlFileToOdtFile(const QString &noteFile, const QString &target)
{
    QString content;
    int version = 0;
    if (!NoteHtmlRW::ReadHtmlTextFromFile(noteFile, content, version))
        return 0;
    return NoteHtmlContentToOdtFile(content, target);
}

QString OdtExport::ExportFailedMessage()
{
    return QCoreApplication::translate("OdtExport", "转化为ODT文档失败！");
}

bool OdtExport::ExportOdt(const QString &noteContent, const QString &target, QString &message)
{
    if (noteContent.isEmpty()) {
        message = MhtExport::EmptyNoteMessage();
        return false;
    }
    if (!NoteHtmlContentToOdtFile(noteContent, target)) {
        message = ExportFailedMessage();
        return false;
    }
    return true;
}

} // namespace TAVRIKCORE::RICHEDITOR
