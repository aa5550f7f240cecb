// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notebookcheck.h"

#include "livenotes.h"
#include "notestore.h"

#include "common/commonutils.h"
#include "store/storecheck.h"

#include <QDir>
#include <algorithm>
#include <map>

#include <QSet>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

size_t NotebookCheck::waiting() const
{
    return size_t(std::count_if(findings.begin(), findings.end(), [](const StoreFinding &f) {
        return f.kind == StoreFindingKind::WaitingForSync;
    }));
}

QString NotebookCheck::report() const
{
    if (clean()) {
        const QString text = u"notebook check: clean (%1 notes, %2 files)"_s.arg(notes).arg(files);
        return waiting() ? text + u"; %1 file(s) waiting for sync"_s.arg(waiting()) : text;
    }
    QString text
        = u"notebook check: %1 problem(s) (%2 notes, %3 files)"_s.arg(findings.size() - waiting())
              .arg(notes)
              .arg(files);
    for (size_t i = 0; i < findings.size(); ++i)
        text += u"\n  "_s + describe(i);
    return text;
}

QString NotebookCheck::describe(size_t finding) const
{
    const StoreFinding &f = findings.at(finding);
    const QString title = finding < titles.size() ? titles[finding] : QString();
    return (title.isEmpty() ? QString() : title + u": "_s) + StoreFindingKindName(f.kind) + u": "_s
        + f.path + u" ("_s + f.detail + u')';
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
    // Whose finding: a note's own file, or anything in the note's folder.
    const QString root = QDir::cleanPath(GetAttachRootDir()) + u'/';
    std::map<QString, QString> owners; // note file or note folder -> title
    for (const NoteInfo &note : store.notes()) {
        owners[root + note.id] = note.title;
        for (const QString &name : store.noteFileNames(note.id))
            owners[QDir::cleanPath(root + name)] = note.title;
    }
    for (const StoreFinding &finding : check.findings) {
        const QString path = QDir::cleanPath(finding.path);
        auto owner = owners.find(path);
        if (owner == owners.end())
            owner = owners.find(path.section(u'/', 0, -2));
        check.titles.push_back(owner == owners.end() ? QString() : owner->second);
    }
    return check;
}
