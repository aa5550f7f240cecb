// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// tavrik-store: checks, cleans up and exports the attachment store of a host's application
// folder, on the library calls the demo host uses too.
#include "livelist.h"
#include "progressbar.h"

#include "common/appdirectory.h"
#include "common/textutils.h"
#include "store/notefolderexport.h"
#include "store/storecheck.h"
#include "store/storecleanup.h"
#include "store/storestats.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <optional>

using namespace TAVRIKCORE::RICHEDITOR;

namespace {

// Exit codes.
constexpr int Sound = 0; // nothing found, or everything done
constexpr int Found = 1; // findings, or files a clean-up would remove or could not
constexpr int Refused = 2; // bad arguments, no live notes, another clean-up running

void out(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
}

int fail(const QString &message)
{
    std::fprintf(stderr, "tavrik-store: %s\n", message.toUtf8().constData());
    return Refused;
}

struct Options
{
    QCommandLineOption appDir{
        QStringLiteral("app-dir"),
        QStringLiteral("The host's application folder, holding userdata/attachment (default: "
                       "TAVRIK_APP_DIR, else the folder of this program)."),
        QStringLiteral("folder")};
    QCommandLineOption live{
        QStringLiteral("live"),
        QStringLiteral("The live note files, one a line: a path or a name in the attachment "
                       "folder, optionally preceded by the note's id and a tab (\"-\" reads the "
                       "standard input)."),
        QStringLiteral("file")};
    QCommandLineOption notebook{
        QStringLiteral("notebook"),
        QStringLiteral("Take the live notes from the demo's notebook <file> (default: "
                       "userdata/notes.db in the application folder, when there is no --live)."),
        QStringLiteral("file")};
    QCommandLineOption remove{QStringLiteral("delete"),
                              QStringLiteral("clean: remove the files listed (without it, "
                                             "clean only lists them).")};
    QCommandLineOption noteId{QStringLiteral("note-id"),
                              QStringLiteral("export: the note's id, the name of its folder "
                                             "(default: from the live notes)."),
                              QStringLiteral("id")};
    QCommandLineOption threads{QStringLiteral("threads"),
                               QStringLiteral("check: hash on <n> threads (default 2)."),
                               QStringLiteral("n"), QStringLiteral("2")};
};

// The live notes from --live or the notebook; nothing, with the reason printed, when there
// are none to be had.
std::optional<std::vector<LiveNote>> liveNotes(const QCommandLineParser &parser,
                                               const Options &options)
{
    QString error;
    std::optional<std::vector<LiveNote>> live;
    if (parser.isSet(options.live))
        live = readLiveList(parser.value(options.live), error);
    else if (parser.isSet(options.notebook))
        live = readNotebook(parser.value(options.notebook), error);
    else
        live = readNotebook(GetAppDirectory() + QStringLiteral("userdata/notes.db"), error);
    if (!live)
        fail(error + QStringLiteral("; name the live notes with --live FILE or --notebook FILE."));
    return live;
}

void printFinding(const StoreFinding &finding)
{
    out(StoreFindingKindName(finding.kind) + u'\t' + finding.path + u'\t' + finding.detail);
}

int check(const std::vector<LiveNote> &live, int threads)
{
    ProgressBar bar(QStringLiteral("checking"));
    const std::vector<StoreFinding> findings = StoreCheck::Run(live, bar.callback(), threads);
    // Files other devices' heads name that have not arrived are reported apart from damage.
    qsizetype waiting = 0;
    for (const StoreFinding &finding : findings) {
        printFinding(finding);
        waiting += finding.kind == StoreFindingKind::WaitingForSync ? 1 : 0;
    }
    const qsizetype damage = qsizetype(findings.size()) - waiting;
    QString summary = QStringLiteral("%1 finding(s)").arg(damage);
    if (waiting)
        summary += QStringLiteral(", %1 file(s) waiting for sync").arg(waiting);
    out(summary);
    return damage == 0 ? Sound : Found;
}

int clean(const std::vector<LiveNote> &live, bool remove)
{
    ProgressBar bar(QStringLiteral("cleaning"));
    const StoreCleanup::Result result
        = remove ? StoreCleanup::Remove(live, bar.callback()) : StoreCleanup::List(live);
    for (const StoreFinding &problem : result.problems)
        printFinding(problem);
    if (!result.error.isEmpty())
        return fail(result.error);
    const QString verb = remove ? QStringLiteral("removed") : QStringLiteral("would remove");
    for (const StoreItem &item : result.items) {
        out(verb + u'\t' + StoreItemKindName(item.kind) + u'\t' + item.path + u'\t'
            + QString::number(item.size));
    }
    for (const StoreItem &item : result.failed)
        out(QStringLiteral("kept\t") + StoreItemKindName(item.kind) + u'\t' + item.path);
    out(QStringLiteral("%1 %2 item(s), %3; %4 unreferenced item(s) younger than %5 s kept")
            .arg(verb)
            .arg(result.items.size())
            .arg(FormatFileSize(quint64(result.bytes)))
            .arg(result.heldBack)
            .arg(StoreCleanup::GracePeriodSeconds));
    if (remove)
        return result.failed.empty() ? Sound : Found;
    return result.items.empty() ? Sound : Found;
}

int stats(const std::vector<LiveNote> &live)
{
    const StoreStats s = StoreStats::Collect(live);
    auto line = [](const char *what, qint64 count, qint64 bytes = -1) {
        QString text = QString::fromLatin1(what).leftJustified(22) + QString::number(count);
        if (bytes >= 0)
            text += QStringLiteral(" (%1)").arg(FormatFileSize(quint64(bytes)));
        out(text);
    };
    line("files", s.files, s.bytes);
    line("note files", s.noteFiles, s.noteFileBytes);
    line("live note files", s.liveNoteFiles);
    line("stored files", s.rootFiles, s.rootFileBytes);
    line("kept copies", s.keptCopies, s.keptCopyBytes);
    line("note folders", s.noteFolders);
    line("shared attachments", s.sharedFiles);
    line("clean-up would free", s.reclaimableFiles, s.reclaimableBytes);
    line("too young to clean", s.heldBack);
    return Sound;
}

int exportNote(const QStringList &args, const QString &givenId,
               const std::optional<std::vector<LiveNote>> &live)
{
    const QString noteFile = args.at(1);
    QString noteId = givenId;
    const QString name = noteFile.mid(noteFile.lastIndexOf(u'/') + 1);
    for (const LiveNote &note : live.value_or(std::vector<LiveNote>())) {
        if (noteId.isEmpty() && note.noteFile.mid(note.noteFile.lastIndexOf(u'/') + 1) == name)
            noteId = note.noteId;
    }
    const NoteFolderExport::Result result = NoteFolderExport::Export(noteId, noteFile, args.at(2));
    if (!result.error.isEmpty())
        return fail(result.error);
    for (const QString &missing : result.missing)
        out(QStringLiteral("missing\t") + missing);
    out(result.htmlPath);
    return result.missing.empty() ? Sound : Found;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrik-store"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks, cleans up and exports the attachment store of a Tavrik editor host.\n\n"
        "  check                 every stored file matches its name, every note file has its\n"
        "                        version header, every file a live note needs is there, nothing\n"
        "                        leads out of the store; exit status 1 on findings (files that\n"
        "                        other devices' heads name and that have not arrived yet are\n"
        "                        listed as waiting for sync)\n"
        "  clean [--delete]      lists (or removes) what no live note references\n"
        "  stats                 files, bytes, shared attachments, what a clean-up would free\n"
        "  export NOTE-FILE DIR  writes the note as DIR/note.html with copies of its pictures\n"
        "                        and attachments beside it"));
    parser.addHelpOption();
    parser.addVersionOption();
    const Options options;
    parser.addOptions({options.appDir, options.live, options.notebook, options.remove,
                       options.noteId, options.threads});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("check, clean, stats or export"));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return fail(QStringLiteral("no command given; see --help."));
    if (parser.isSet(options.appDir)) {
        const QFileInfo folder(parser.value(options.appDir));
        if (!folder.isDir())
            return fail(QStringLiteral("no application folder at %1").arg(folder.filePath()));
        SetAppDirectory(folder.absoluteFilePath());
    }
    const QString command = args.first();
    const bool known
        = command == u"check" || command == u"clean" || command == u"stats" || command == u"export";
    if (!known)
        return fail(QStringLiteral("unknown command \"%1\"; see --help.").arg(command));
    if (command == u"export" && args.size() != 3)
        return fail(QStringLiteral("export takes NOTE-FILE and DIR; see --help."));
    if (command != u"export" && args.size() != 1)
        return fail(QStringLiteral("%1 takes no arguments; see --help.").arg(command));
    bool threadsOk = false;
    const int threads = parser.value(options.threads).toInt(&threadsOk);
    if (!threadsOk || threads < 1)
        return fail(QStringLiteral("--threads wants a number from 1 up."));

    if (command == u"export") {
        // The live notes only tell the note's id here; without them the export goes ahead.
        const bool needLive = !parser.isSet(options.noteId)
            && (parser.isSet(options.live) || parser.isSet(options.notebook));
        return exportNote(args, parser.value(options.noteId),
                          needLive ? liveNotes(parser, options) : std::nullopt);
    }
    const std::optional<std::vector<LiveNote>> live = liveNotes(parser, options);
    if (!live)
        return Refused;
    if (command == u"check")
        return check(*live, threads);
    if (command == u"clean")
        return clean(*live, parser.isSet(options.remove));
    return stats(*live);
}
