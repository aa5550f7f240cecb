// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// The demo notebook's full-text search: a one-word search as the search field runs it over
// 10,000 indexed notes, and the index's share of a save: the words of a 2 MB note indexed (as
// the search's worker does after each save), over the editor saving the note on its page up to
// handing it to the host.
#include "benchutil.h"

#include "notestore.h"
#include "notewords.h"

#include "bridge/izveditornotify.h"
#include "common/commonutils.h"
#include "editor/czorvaeditorimpl.h"
#include "notehtml/notehtmlrw.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <vector>

using namespace TAVRIKCORE::RICHEDITOR;
using namespace Qt::StringLiterals;

using TavrikBench::median;

namespace {

constexpr int NoteCount = 10000;
constexpr int WordsPerNote = 250;
constexpr int SearchRuns = 31;
constexpr int SaveRuns = 11;

// Made-up words of 3 to 10 letters, drawn with a Zipf-like frequency as words of real text are:
// a few very common, most rare.
class Words
{
public:
    explicit Words(int vocabulary)
    {
        std::mt19937 letters(7);
        for (int n = 0; n < vocabulary; ++n) {
            QString word;
            const int length = 3 + int(letters() % 8);
            for (int i = 0; i < length; ++i)
                word += QChar(u'a' + int(letters() % 26));
            m_words.push_back(word);
            m_weights.push_back(1.0 / (n + 1));
        }
        m_pick = std::discrete_distribution<int>(m_weights.begin(), m_weights.end());
    }
    const QString &next() { return m_words[size_t(m_pick(m_random))]; }
    const QString &at(int rank) const { return m_words[size_t(rank)]; }

private:
    std::vector<QString> m_words;
    std::vector<double> m_weights;
    std::discrete_distribution<int> m_pick;
    std::mt19937 m_random{11};
};

// Fills the notebook as saves would: every note's title and words in the index. One
// transaction on a second connection, since 10,000 saves would each wait for the disk.
bool fillNotebook(const QString &path, Words &words)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"fill"_s);
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery add(db);
        QSqlQuery index(db);
        add.prepare(u"INSERT INTO notes (id, title, created, modified, preview) "
                    "VALUES (?, ?, ?, ?, ?)"_s);
        index.prepare(u"UPDATE note_index SET words = ? WHERE rowid = "
                      "(SELECT docid FROM note_search WHERE note_id = ?)"_s);
        for (int n = 0; ok && n < NoteCount; ++n) {
            QString text;
            for (int w = 0; w < WordsPerNote; ++w)
                text += words.next() + (w % 12 == 11 ? u".\n"_s : u" "_s);
            const QString id = u"note%1"_s.arg(n, 5, 10, QChar(u'0'));
            for (const QVariant &value :
                 {QVariant(id), QVariant(text.section(u' ', 0, 3)), QVariant(qint64(n)),
                  QVariant(qint64(n)), QVariant(text.left(NoteStore::PreviewLength))})
                add.addBindValue(value);
            index.addBindValue(NoteWords::collect(text));
            index.addBindValue(id);
            ok = add.exec() && index.exec();
            if (!ok)
                std::fprintf(
                    stderr, "cannot fill the notebook: %s\n",
                    qPrintable((add.lastError().isValid() ? add : index).lastError().text()));
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"fill"_s);
    return ok;
}

// About 2 MB of note markup as the editor writes it: styled paragraphs of words, some of them
// formatted, every fifth paragraph with a Chinese remark.
QString largeNote(Words &words)
{
    QString html;
    int paragraph = 0;
    while (html.toUtf8().size() < 2 * 1024 * 1024) {
        html += u"<p style=\"line-height: 1.5; margin: 0px 0px 8px;\">"_s;
        for (int w = 0; w < 40; ++w) {
            const QString &word = words.next();
            html += w % 9 == 4 ? u"<span style=\"font-weight: bold; color: rgb(192, 0, 0);\">"_s
                    + word + u"</span> "_s
                               : word + u' ';
        }
        html += ++paragraph % 5 == 0
            ? u"<span style=\"color: rgb(0, 0, 255);\">完成检查</span></p>"_s
            : u"</p>"_s;
    }
    return html;
}

// A host that keeps what the editor hands it at each save.
class Host : public IZvEditorNotify
{
public:
    int OnSaveNote(const QString &, const std::vector<NewAttachFile> &savedFiles,
                   const QString &plainText) override
    {
        ++saves;
        files = savedFiles;
        text = plainText;
        return 1;
    }
    void OnOpenAttachment(const QString &, const QString &, const QString &) override { }
    int saves = 0;
    std::vector<NewAttachFile> files;
    QString text;
};

} // namespace

int main(int argc, char **argv)
{
    TavrikBench::prepareBrowserProcess();
    QApplication app(argc, argv);
    TavrikBench::QuietPrompts prompts;
    QTemporaryDir folder;
    if (!folder.isValid() || !TavrikBench::stageAppFolder(folder.path()))
        return 2;
    const QString path = folder.filePath(u"notes.db"_s);
    NoteStore store(path);
    if (!store.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(store.lastError()));
        return 2;
    }

    Words words(20000);
    if (!fillNotebook(path, words))
        return 2;
    // A word of middling frequency, in a few hundred of the notes.
    const QString word = words.at(300);
    std::printf("searching \"%s\" finds %zu of %d notes\n", qPrintable(word),
                store.search(word, NoteCount).size(), NoteCount);
    const double searchNs = TavrikBench::medianNs(SearchRuns, [&] { store.search(word); });
    TavrikBench::report("search_10k_notes_ms", searchNs / 1e6, TavrikBench::Goal::AtMost, 20);
    // The first letter typed: a prefix of thousands of words.
    std::printf("one letter typed: %.1f ms\n",
                TavrikBench::medianNs(SearchRuns, [&] { store.search(u"p"_s); }) / 1e6);

    // The 2 MB note open in the editor; each run changes it, saves it, then stores in the
    // notebook what the save handed over.
    QWidget parent;
    parent.resize(800, 600);
    Host host;
    auto *editor = new CZorvaEditorImpl;
    editor->SetZvEditorNotify(&host);
    editor->Create(&parent, QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible);
    parent.show();
    TavrikBench::waitUntil([&] { return editor->pageLoaded(); });
    const QString html = largeNote(words);
    if (!editor->pageLoaded() || !store.addNote(u"large"_s, u"Large note"_s)
        || !NoteHtmlRW::WriteHtmlTextFile(GetAttachRootDir() + u"/large.html"_s, html, 2))
        return 2;
    editor->LoadEditor(u"large"_s, {u"large.html"_s}, {}, false);
    const QString change = u"(function(){const f=document.querySelector('iframe.ke-edit-iframe');"
                           "f.contentDocument.body.appendChild("
                           "f.contentDocument.createTextNode(' edit%1'));return true;})()"_s;
    std::vector<double> saveTimes;
    std::vector<double> indexTimes;
    std::vector<double> windowTimes;
    for (int run = 0; run <= SaveRuns; ++run) {
        if (!TavrikBench::runScript(editor->page(), change.arg(run)).toBool())
            return 2;
        const int saves = host.saves;
        const double save = TavrikBench::secondsOf([&] { editor->SaveEditor(); });
        if (host.saves != saves + 1 || host.files.empty())
            return 2;
        std::vector<NoteFile> files;
        for (const NewAttachFile &file : host.files)
            files.push_back({file.origName, file.fileKind, file.modifyTime, file.fileExt,
                             file.storeName, file.filePath, file.isImageSrc});
        // The window stores the save at once and leaves the words to the search's worker.
        bool stored = false;
        const double window = TavrikBench::secondsOf(
            [&] { stored = store.saveNote(u"large"_s, files, {}, host.text, false); });
        const double index = TavrikBench::secondsOf(
            [&] { stored = stored && store.indexNoteText(u"large"_s, host.text); });
        if (!stored || store.search(u"edit%1"_s.arg(run)).size() != 1) {
            std::fprintf(stderr, "the saved note is not found: %s\n",
                         qPrintable(store.lastError()));
            return 2;
        }
        if (run > 0) { // the first run warms both up
            saveTimes.push_back(save);
            indexTimes.push_back(index);
            windowTimes.push_back(window);
        }
    }
    std::printf("the note: %lld bytes of markup, %lld characters of text\n",
                qlonglong(html.toUtf8().size()), qlonglong(host.text.size()));
    TavrikBench::report("index_2mb_vs_save", median(indexTimes) / median(saveTimes),
                        TavrikBench::Goal::AtMost, 0.3);
    std::printf("note saved %.1f ms, indexed %.1f ms on the worker; the window stores it in "
                "the notebook in %.1f ms\n",
                median(saveTimes) * 1e3, median(indexTimes) * 1e3, median(windowTimes) * 1e3);
    return TavrikBench::exitCode();
}
