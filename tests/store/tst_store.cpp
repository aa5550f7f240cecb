// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/czorvaeditorimpl.h"
#include "editorhost.h"
#include "logcapture.h"
#include "store/notefolderexport.h"
#include "store/storecheck.h"
#include "store/storecleanup.h"
#include "storenotebook.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QWebEngineView>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

namespace {

TEST_F(StoreTest, CheckNamesEveryDamageAndChangesNothing)
{
    const QByteArray picture = pngBytes(filledImage(4, 3, Qt::red));
    const Added photo = attach(a, u"photo.png"_s, picture);
    const Added report = attach(a, u"report.pdf"_s, "%PDF-1.4 report");
    const QString noteA = save(u"<p>A</p>"_s + photo.element + report.element);
    const QString noteB = save(u"<p>B</p>"_s + attach(b, u"photo.png"_s, picture).element);
    const QString old = save(u"<p>an older version</p>"_s);
    const std::vector<LiveNote> live = {{a, noteA}, {b, root + noteB}};
    EXPECT_EQ(named(StoreCheck::Run(live)), QStringList());

    QByteArray flipped = readBytes(root + photo.store);
    flipped[10] = char(flipped[10] ^ 0x20);
    ASSERT_TRUE(writeBytes(root + photo.store, flipped));
    ASSERT_TRUE(QFile::remove(root + report.show));
    ASSERT_TRUE(QFile::resize(root + old, 10));
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), root + u"escape"_s));
    ASSERT_TRUE(writeBytes(root + u"notes.txt"_s, "x"));
    ASSERT_TRUE(QDir().mkpath(root + a + u"/sub"_s));
    const QStringList before = QDir(root).entryList(QDir::AllEntries | QDir::System);

    const std::vector<StoreFinding> findings = StoreCheck::Run(
        {{a, noteA}, {b, root + noteB}, {QString(), outside.filePath(u"x.html"_s)}});
    const QStringList expected
        = sorted({u"bad-note-file "_s + old, u"damaged "_s + old, u"damaged "_s + photo.store,
                  u"link-out-of-store escape"_s, u"missing "_s + report.show,
                  u"stray "_s + a + u"/sub"_s, u"stray notes.txt"_s});
    QStringList outsideFindings = named(findings).filter(u"live-note"_s);
    EXPECT_EQ(named(findings).filter(QRegularExpression(u"^(?!.*live-note)"_s)), expected);
    EXPECT_EQ(outsideFindings.size(), 2); // outside the store, and unreadable
    for (const StoreFinding &f : findings) {
        if (f.kind == StoreFindingKind::DamagedFile && f.path == root + photo.store)
            EXPECT_EQ(f.detail, u"its bytes hash to "_s + CalcFileMd5(root + photo.store));
        if (f.kind == StoreFindingKind::MissingFile)
            EXPECT_EQ(f.detail, u"referenced by "_s + root + noteA);
        if (f.kind == StoreFindingKind::LinkOutOfStore)
            EXPECT_EQ(f.detail, u"leads to "_s + QFileInfo(outside.path()).canonicalFilePath());
    }
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::System), before);
}

TEST_F(StoreTest, CleanupRemovesExactlyWhatNoLiveNoteReferencesOldestFirst)
{
    const Added photo = attach(a, u"photo.png"_s, pngBytes(filledImage(4, 3, Qt::red)));
    const Added report = attach(a, u"report.pdf"_s, "%PDF-1.4 report");
    const QString first = save(u"<p>A</p>"_s + photo.element + report.element);
    const QString second = save(u"<p>A</p>"_s + photo.element); // the report deleted
    const Added gone = attach(b, u"gone.png"_s, pngBytes(filledImage(2, 2, Qt::blue)));
    const QString noteB = save(u"<p>B</p>"_s + gone.element); // a note the host has deleted
    const QString stale = CreateGuidString() + u".tmp"_s;
    ASSERT_TRUE(writeBytes(root + stale, "half a note"));
    age();
    ASSERT_TRUE(writeBytes(root + u"5d41402abc4b2a76b9719d911017c592.txt"_s, "hello"));

    // While the old version is live too, it and the report stay.
    const StoreCleanup::Result both = StoreCleanup::List({{a, first}, {a, second}});
    EXPECT_EQ(named(both.items).filter(report.show).size() + named(both.items).filter(first).size(),
              0);

    const std::vector<LiveNote> live = {{a, second}};
    const StoreCleanup::Result listed = StoreCleanup::List(live);
    EXPECT_EQ(named(listed.items),
              sorted({u"kept-copy "_s + a + u"/report.pdf"_s, u"kept-copy "_s + b + u"/gone.png"_s,
                      u"note-file "_s + first, u"note-file "_s + noteB, u"note-folder "_s + b,
                      u"store-file "_s + gone.store, u"temporary-file "_s + stale,
                      u"thumbnail "_s + report.show}));
    EXPECT_EQ(listed.heldBack, 1);
    for (size_t i = 1; i + 1 < listed.items.size(); ++i)
        EXPECT_LE(listed.items[i - 1].modified, listed.items[i].modified);
    EXPECT_EQ(listed.items.back().kind, StoreItemKind::NoteFolder);

    // A second clean-up refuses while the first holds the lock.
    QLockFile held(StoreCleanup::LockFilePath());
    ASSERT_TRUE(held.tryLock(0));
    LogCapture refusedLog;
    const QString refusal
        = u"Another clean-up of the attachment store is running (process %1 on %2); "
          "nothing was removed."_s.arg(QCoreApplication::applicationPid())
              .arg(QSysInfo::machineHostName());
    EXPECT_EQ(StoreCleanup::Remove(live).error, refusal);
    EXPECT_EQ(refusedLog.lines(), Lines{u"[ERROR] StoreCleanup: "_s + refusal});
    held.unlock();

    // A live note that cannot be read stops it too.
    const StoreCleanup::Result unread
        = StoreCleanup::Remove({{a, second}, {b, u"feedfacefeedfacefeedfacefeedface.html"_s}});
    EXPECT_EQ(unread.error,
              u"A live note cannot be read, so what it references is unknown; "
              "nothing was removed: "_s
                  + root + u"feedfacefeedfacefeedfacefeedface.html"_s);
    EXPECT_TRUE(unread.items.empty());

    LogCapture log;
    const StoreCleanup::Result removed = StoreCleanup::Remove(live);
    EXPECT_EQ(named(removed.items), named(listed.items));
    EXPECT_TRUE(removed.failed.empty());
    Lines expectedLog;
    for (const StoreItem &item : listed.items)
        expectedLog.push_back(u"[INFO] StoreCleanup removed %1 %2 (%3 bytes, modified %4)"_s.arg(
            StoreItemKindName(item.kind), item.path, QString::number(item.size),
            item.modified.toString(Qt::ISODate)));
    EXPECT_EQ(log.lines(), expectedLog);
    for (const StoreItem &item : listed.items)
        EXPECT_FALSE(QFileInfo::exists(item.path)) << item.path.toStdString();
    EXPECT_EQ(named(StoreCheck::Run(live)), QStringList());
    EXPECT_TRUE(StoreCleanup::List(live).items.empty());
    EXPECT_TRUE(QFileInfo::exists(root + u"5d41402abc4b2a76b9719d911017c592.txt"_s));
}

#ifdef TAVRIK_STORE_PROGRAM
// The command-line program: its exit codes and messages.
TEST_F(StoreTest, ProgramExitsNonZeroOnFindingsAndRefusals)
{
    const Added report = attach(a, u"report.pdf"_s, "%PDF-1.4 report");
    const QString note = save(u"<p>A</p>"_s + report.element);
    save(u"<p>older</p>"_s);
    age();
    const QString list = m_src.filePath(u"live.txt"_s);
    ASSERT_TRUE(writeBytes(list, "# live notes\n" + a.toUtf8() + '\t' + note.toUtf8() + "\n\n"));
    const QString app = GetAppDirectory();
    auto run = [&](const QStringList &args, QString *output = nullptr) {
        QProcess program;
        program.start(QStringLiteral(TAVRIK_STORE_PROGRAM),
                      QStringList{u"--app-dir"_s, app} + args);
        EXPECT_TRUE(program.waitForFinished(60000));
        if (output)
            *output = QString::fromUtf8(program.readAllStandardOutput()
                                        + program.readAllStandardError());
        return program.exitCode();
    };
    QString output;
    EXPECT_EQ(run({u"--live"_s, list, u"check"_s}, &output), 0);
    EXPECT_EQ(output, u"0 finding(s)\n"_s);
    EXPECT_EQ(run({u"--live"_s, list, u"clean"_s}, &output), 1);
    EXPECT_TRUE(output.startsWith(u"would remove\tnote-file\t"_s)) << output.toStdString();
    EXPECT_EQ(run({u"check"_s}, &output), 2);
    EXPECT_EQ(output,
              u"tavrik-store: No notebook at %1userdata/notes.db; name the live notes "
              "with --live FILE or --notebook FILE.\n"_s.arg(app));
    EXPECT_EQ(run({u"export"_s, u"--note-id"_s, a, note, m_src.filePath(u"out"_s)}, &output), 0);
    EXPECT_EQ(output, m_src.filePath(u"out/note.html"_s) + u'\n');
    EXPECT_EQ(readBytes(m_src.filePath(u"out/report.pdf"_s)), "%PDF-1.4 report");
    QLockFile held(StoreCleanup::LockFilePath());
    ASSERT_TRUE(held.tryLock(0));
    EXPECT_EQ(run({u"--live"_s, list, u"clean"_s, u"--delete"_s}, &output), 2);
    EXPECT_TRUE(output.startsWith(
        u"tavrik-store: Another clean-up of the attachment store is running (process "_s))
        << output.toStdString();
    held.unlock();
    EXPECT_EQ(run({u"--live"_s, list, u"clean"_s, u"--delete"_s}), 0);
    EXPECT_EQ(run({u"--live"_s, list, u"clean"_s}, &output), 0);
    ASSERT_TRUE(QFile::remove(root + report.show));
    EXPECT_EQ(run({u"--live"_s, list, u"check"_s}, &output), 1);
    EXPECT_EQ(output,
              u"missing\t%1%2\treferenced by %1%3\n1 finding(s)\n"_s.arg(root, report.show, note));
}
#endif

// Every picture of a page has loaded and has a width.
const QString AllPicturesShown
    = u"[...document.images].every(i => i.complete && i.naturalWidth > 0)"_s;

TEST_F(StoreTest, BrowserShowsTheExportAndTheEditorTheLiveNoteAfterCleanup)
{
    const QByteArray red = pngBytes(filledImage(40, 30, Qt::red));
    const QByteArray blue = pngBytes(filledImage(20, 10, Qt::blue));
    const Added photo = attach(a, u"photo.png"_s, red);
    const Added report = attach(a, u"report.pdf"_s, "%PDF-1.4 report");
    const Added named = attach(a, u"图 #1.png"_s, blue);
    const QString first = save(u"<p>A</p>"_s + photo.element + report.element + named.element);
    const QString second = save(u"<p>A</p>"_s + photo.element + named.element);

    QTemporaryDir out;
    const NoteFolderExport::Result exported = NoteFolderExport::Export(a, first, out.path());
    EXPECT_EQ(exported.error, QString());
    EXPECT_EQ(exported.htmlPath, out.filePath(u"note.html"_s));
    const QStringList copies
        = {u"photo.png"_s, u"report.pdf.bmp"_s, u"report.pdf"_s, u"图 #1.png"_s};
    ASSERT_EQ(exported.files.size(), size_t(4));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(exported.files[size_t(i)], out.filePath(copies[i]));
    EXPECT_EQ(readBytes(out.filePath(u"图 #1.png"_s)), blue);
    EXPECT_EQ(readBytes(out.filePath(u"report.pdf.bmp"_s)), readBytes(root + report.show));
    // Exporting again keeps the first export.
    EXPECT_EQ(NoteFolderExport::Export(a, first, out.path()).htmlPath,
              out.filePath(u"note(1).html"_s));

    age();
    EXPECT_EQ(StoreCleanup::Remove({{a, second}}).items.size(), size_t(3)); // first, report, card

    QWebEngineView view;
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(exported.htmlPath));
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_TRUE(
        waitForScript(view.page(), AllPicturesShown + u" && document.images.length == 3"_s));
    EXPECT_EQ(runScript(view.page(), u"document.querySelector('a').href"_s).toString(),
              QUrl::fromLocalFile(out.filePath(u"report.pdf"_s)).toString());

    EditorHost host;
    auto *editor = new CZorvaEditorImpl;
    ASSERT_TRUE(openEditor(editor, &host));
    editor->LoadEditor(a, {second}, {}, false);
    EXPECT_TRUE(waitForScript(editor->page(),
                              u"(d => d.images.length == 2 && "_s
                                  + QString(AllPicturesShown).replace(u"document"_s, u"d"_s)
                                  + u")(Tavrik.editor.document())"_s));
}

} // namespace
