// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachadder_p.h"
#include "attach/attachstore_p.h"
#include "attach/dropfiles_p.h"
#include "common/commonutils.h"
#include "notehtml/notehtmlrw.h"
#include "store/storerecords.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>

namespace TAVRIKCORE::RICHEDITOR {

inline QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

struct Added
{
    QString element; // the attachment's markup as the page keeps it
    QString store; // its store name
    QString show; // the picture or thumbnail card shown for it
};

// A notebook made by the store's own adding and saving code in the program's application
// folder, which holds the file-type icons.
class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(GetAppDirectory() + QStringLiteral("userdata")).removeRecursively();
        root = GetAttachRootDir() + u'/';
    }

    Added attach(const QString &noteId, const QString &name, const QByteArray &bytes)
    {
        const QString path = m_src.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        DropFileInfo info;
        EXPECT_TRUE(DropFiles::BuildDropFileInfo(path, info));
        MAF_RESULT result;
        EXPECT_EQ(AttachStore::MoveAttFile(noteId, info, result), 1) << name.toStdString();
        return {AttachAdder::AttachmentMarkup(info, result), result.storeName, result.showName};
    }
    QString save(QString html)
    {
        NewAttachFile record;
        int version = NOTE_HTML_VER_2;
        EXPECT_EQ(NoteHtmlRW::SaveHtmlTextToFile(html, record, &version), 1);
        return record.storeName;
    }
    // Dates everything in the store two hours back, each entry a second older than the next.
    void age() { ageTree(root, 7200); }
    // "<kind> <path below the root>" of each finding or item, sorted.
    template<typename Entry> QStringList named(const std::vector<Entry> &entries) const
    {
        QStringList names;
        for (const Entry &e : entries) {
            if constexpr (std::is_same_v<Entry, StoreItem>)
                names << StoreItemKindName(e.kind) + u' ' + e.path.mid(root.size());
            else
                names << StoreFindingKindName(e.kind) + u' ' + e.path.mid(root.size());
        }
        return sorted(names);
    }

    QString root;
    QTemporaryDir m_src;
    const QString a = CreateGuidString();
    const QString b = CreateGuidString();
};

} // namespace TAVRIKCORE::RICHEDITOR
