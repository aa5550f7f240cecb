// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notebookcheck.h"

#include "livenotes.h"
#include "notestore.h"

#include "store/storecheck.h"

#include <QSet>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

QString NotebookCheck::report() const
{
    if (clean())
        return u"notebook check: clean (%1 notes, %2 files)"_s.arg(notes).arg(files);
    QString text = u"notebook check: %1 problem(s) (%2 notes, %3 files)"_s.arg(findings.size())
                       .arg(notes)
                       .arg(files);
    for (const StoreFinding &finding : findings)
        text += u"\n  "_s + StoreFindingKindName(finding.kind) + u": "_s + finding.path + u" ("_s
            + finding.detail + u')';
    return text;
}

NotebookCheck NotebookCheck::Run(const NoteStore &store, const StoreProgress &progress)
{
    NotebookCheck check;
    QSet<QString> files;
    for (const NoteInfo &note : store.notes()) {
        ++check.notes;
        for (const NoteFile &file : store.files(note.id))
            files.insert(file.filePath.isEmpty() ? file.storeName : file.filePath);
    }
    check.files = int(files.size());
    check.findings = StoreCheck::Run(liveNotesOf(store), progress);
    return check;
}
