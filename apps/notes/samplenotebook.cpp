// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "samplenotebook.h"

#include "notestore.h"
#include "sampleattachments.h"

#include "bridge/zvwebnotehandler.h"
#include "common/commonutils.h"
#include "notehtml/notehtmlrw.h"

#include <QFile>
#include <QTextDocumentFragment>

using namespace Qt::StringLiterals;
using namespace TAVRIKCORE::RICHEDITOR;

// The samples are compiled into a static library, whose resources need an explicit start.
static void initSampleResources()
{
    Q_INIT_RESOURCE(samples);
}

namespace {

struct Sample
{
    QString title;
    QString resource;
    int ageMinutes; // how long ago the sample was last changed, for a lived-in list
    bool readOnly;
    bool withAttachments = false; // shows a picture and a document card
};

bool addSample(NoteStore &store, const Sample &sample, QString &error)
{
    QFile file(sample.resource);
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"The sample note %1 is missing from the program"_s.arg(sample.resource);
        return false;
    }
    QString html = QString::fromUtf8(file.readAll());
    const QString id = CreateGuidString();
    SampleAttachments::Made attachments;
    if (sample.withAttachments) {
        if (!SampleAttachments::make(id, attachments)) {
            error = u"Cannot store the attachments of the sample note “%1”"_s.arg(sample.title);
            return false;
        }
        html += u"<h2>Pictures and files</h2>\n<p>Dropped pictures show as themselves, other "
                u"files as a card with their name, time and size:</p>\n"_s
            + attachments.html + u'\n';
    }
    // The preview is the text below the note's heading.
    QString text = QTextDocumentFragment::fromHtml(html).toPlainText().trimmed();
    text = text.mid(text.indexOf(u'\n') < 0 ? text.size() : text.indexOf(u'\n') + 1);
    int version = 2;
    NewAttachFile noteFile;
    if (!NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version)) {
        error = u"Cannot write the sample note “%1” into the attachment store"_s.arg(sample.title);
        return false;
    }
    std::vector<NewAttachFile> records;
    ZvWebNoteHandler::ParseAttList(id, html, records);
    records.insert(records.begin(), noteFile);
    std::vector<NoteFile> files;
    for (const NewAttachFile &r : records)
        files.push_back({r.origName, r.fileKind, r.modifyTime, r.fileExt, r.storeName, r.filePath,
                         r.isImageSrc});
    const bool ok = store.addNote(id, sample.title)
        && store.saveNote(id, files, attachments.sizes, text)
        && store.setModified(id, QDateTime::currentDateTime().addSecs(-60 * sample.ageMinutes))
        && (!sample.readOnly || store.setReadOnly(id, true));
    if (!ok)
        error = store.lastError();
    return ok;
}

} // namespace

namespace SampleNotebook {

int populate(NoteStore &store, QString *error)
{
    if (store.noteCount() > 0)
        return 0;
    initSampleResources();
    const Sample samples[] = {
        {u"Welcome to Tavrik Notes"_s, u":/samples/welcome.html"_s, 0, false, true},
        {u"Weekly plan"_s, u":/samples/weeklyplan.html"_s, 95, false},
        {u"Dumplings 饺子"_s, u":/samples/dumplings.html"_s, 60 * 26, false},
        {u"Reading notes"_s, u":/samples/reading.html"_s, 60 * 24 * 9, true},
    };
    int added = 0;
    QString reason;
    for (const Sample &sample : samples) {
        if (!addSample(store, sample, reason)) {
            if (error)
                *error = reason;
            break;
        }
        ++added;
    }
    return added;
}

} // namespace SampleNotebook
