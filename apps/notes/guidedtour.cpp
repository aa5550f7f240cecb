// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "guidedtour.h"

#include "attachmentpane.h"
#include "editorappearance.h"
#include "mainwindow.h"
#include "notebookcheck.h"
#include "notefind.h"
#include "notesearch.h"
#include "screencapturedemo.h"
#include "tabletour.h"

#include "editor/czorvaeditorimpl.h"
#include "editor/czorvaupdownview.h"
#include "session/sttabledata.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWebEnginePage>

#include <cstdio>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl;

namespace {

constexpr int StepTimeoutMs = 20000;

QString jsString(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

GuidedTour::GuidedTour(MainWindow &window, const QString &folder, QObject *parent)
    : QObject(parent), m_window(window), m_folder(folder)
{
    connect(&m_window, &MainWindow::noteSaved, this, [this] { ++m_saves; });
}

void GuidedTour::start()
{
    QDir().mkpath(m_folder);
    std::printf("Guided tour: screenshots go to %s\n",
                qPrintable(QDir::toNativeSeparators(m_folder)));
    std::fflush(stdout);
    if (m_window.isEditorReady())
        QTimer::singleShot(0, this, &GuidedTour::run);
    else
        connect(&m_window, &MainWindow::editorReady, this, &GuidedTour::run,
                Qt::SingleShotConnection);
    QTimer::singleShot(4 * 60 * 1000, this, [this] { fail(u"the tour did not finish in time"_s); });
}

void GuidedTour::run()
{
    settle(1500);
    shot(u"sample-notebook"_s, u"the sample notebook, opened on its welcome note"_s);

    if (!select(u"Weekly plan"_s))
        return;
    shot(u"table"_s, u"a note with a table"_s);
    if (const QString failed = TableTour::runTableStep(m_window, tourShot()); !failed.isEmpty())
        return fail(failed);

    if (!select(u"Welcome to Tavrik Notes"_s))
        return;
    if (const QString failed = TableTour::runPictureStep(m_window, tourShot()); !failed.isEmpty())
        return fail(failed);
    if (!typeAndSave(u"Edited during the guided tour."_s,
                     u"Press Ctrl+S or click elsewhere and the note is saved."_s, false,
                     u"the edited note was not saved after Ctrl+S"_s))
        return;
    settle(500);
    shot(u"edited-and-saved"_s, u"the welcome note after an edit, saved with Ctrl+S"_s);

    if (!select(u"Dumplings 饺子"_s))
        return;
    shot(u"switched-note"_s, u"another note, with lists and Chinese text"_s);

    m_window.setCurrentReadOnly(true);
    settle(700);
    shot(u"read-only"_s, u"the same note switched to read-only"_s);
    m_window.setCurrentReadOnly(false);

    m_window.newNote();
    settle(700);
    if (!typeAndSave(u"Weekend ideas"_s, u"Hike to the lake, try the new bakery, call grandma."_s,
                     true, u"the new note was not saved"_s))
        return;
    settle(500);
    shot(u"new-note"_s, u"a new note, titled after its first line"_s);
    if (!editingByKeys() || !select(u"Weekend ideas"_s))
        return;
    // The checker marks the words of the focused note of the active window.
    QApplication::setActiveWindow(&m_window);
    if (!typeIntoNote(u"Packing list"_s, u"Tent, sleeping bag, a torch and "_s))
        return;
    // Typed with keys: the checker looks at each word as the key after it is pressed.
    typeKeys(u"teh map we recieved. "_s);
    settle(1500);
    shot(u"spell-checking"_s, u"misspelt words underlined as they are typed"_s);

    if (!copyAttachmentsInto(u"Weekend ideas"_s))
        return;
    shot(u"pasted-attachments"_s,
         u"the new note after pasting the welcome note's picture and document"_s);

    NoteSearch *search = m_window.noteSearch();
    waitFor([&] { return !search->isIndexing(); }, StepTimeoutMs);
    search->field()->setText(u"bakery"_s);
    settle(500);
    shot(u"search-all-notes"_s, u"“bakery” found in all notes right after the save"_s);
    search->field()->setText(u"dumpl"_s);
    if (search->results()->count() == 0)
        return fail(u"the search found no dumplings"_s);
    search->choose(0);
    settle(900);
    shot(u"found-note"_s, u"the found note opened with its word marked"_s);
    search->field()->clear();

    if (!select(u"Welcome to Tavrik Notes"_s))
        return;
    m_window.searchCurrentNote(u"note"_s);
    settle(500);
    shot(u"search"_s, u"every “note” in the welcome note marked from the search box"_s);
    m_window.searchCurrentNote(QString());
    m_window.editor()->SetTheme(CZorvaEditorImpl::Theme::Dark);
    settle(700);
    shot(u"dark-theme"_s, u"the editor's dark theme, which follows a dark desktop"_s);
    m_window.editor()->SetTheme(EditorAppearance::desktopIsDark() ? CZorvaEditorImpl::Theme::Dark
                                                                  : CZorvaEditorImpl::Theme::Light);
    const QSize wide = m_window.size();
    m_window.resize(620, wide.height());
    settle(700);
    shot(u"narrow-window"_s, u"a narrow window: both toolbars keep one row"_s);
    m_window.resize(wide);
    settle(300);

    if (!showSplitView())
        return;

    if (!exportWithTable())
        return;
    if (!typeIntoNote(u"From the screen"_s, u"Captured with Note, Capture screen:"_s))
        return;
    const QString captured = ScreenCaptureDemo::runTourStep(m_window, tourShot());
    if (!captured.isEmpty())
        return fail(captured);
    if (!m_window.copyCurrentNote())
        return fail(u"the welcome note could not be copied"_s);
    std::printf("  copied the welcome note to the clipboard with its pictures\n");
    // The tour's notebook must be as sound as any user's after all it did.
    m_window.editor()->SaveEditor();
    const NotebookCheck check = NotebookCheck::Run(m_window.store());
    std::printf("%s\n", qPrintable(check.report()));
    if (!check.clean())
        return fail(u"the notebook check found problems"_s);
    std::printf("Guided tour finished: %d screenshots in %s\n", m_shots, qPrintable(m_folder));
    std::fflush(stdout);
    QApplication::exit(0);
}

std::function<void(QWidget *, const QString &, const QString &)> GuidedTour::tourShot()
{
    return [this](QWidget *widget, const QString &name, const QString &caption) {
        shot(name, caption, widget);
    };
}

bool GuidedTour::exportWithTable()
{
    using TAVRIKCORE::RICHEDITOR::StTableData;
    if (!typeIntoNote(u"Packing list"_s, u"Exported with its picture and this table."_s, true))
        return false;
    m_window.editor()->InsertTable(StTableData{2,
                                               2,
                                               {{{{}, u"Passport"_s, {}}, {{}, u"yes"_s, {}}},
                                                {{{}, u"Camera"_s, {}}, {{}, u"yes"_s, {}}}}});
    const int saves = m_saves;
    pressSaveKey();
    if (!waitFor([&] { return m_saves > saves; }, StepTimeoutMs)) {
        fail(u"the welcome note with a table was not saved"_s);
        return false;
    }
    runInPage(u"document.querySelector('iframe.ke-edit-iframe').contentWindow.scrollTo(0, 1e6) "
              "|| true"_s);
    settle(300);
    shot(u"table-to-export"_s,
         u"the welcome note with a table, exported as MHT, ODT, DOCX and PDF"_s);
    for (const QString &name :
         {u"welcome.mht"_s, u"welcome.odt"_s, u"welcome.docx"_s, u"welcome.pdf"_s}) {
        const QString path = QDir(m_folder).filePath(name);
        if (!m_window.exportCurrentNoteTo(path)) {
            fail(u"the export to %1 failed"_s.arg(name));
            return false;
        }
        std::printf("  exported the welcome note with its picture and a table to %s\n",
                    qPrintable(path));
    }
    return true;
}

bool GuidedTour::editingByKeys()
{
    m_window.newNote();
    settle(700);
    if (!typeIntoNote(u"Trip to the coast"_s, u"Written with the keyboard's shortcuts."_s, true))
        return false;
    typeKeys(u"\n[x] Passport\nTickets\nSunscreen\n\n"_s);
    settle(500);
    shot(u"checklist"_s, u"a checklist started by typing “[ ] ”, one item ticked"_s);
    typeKeys(u"## Plan\nTake the **early** train, _not_ the bus, from `platform 4`.\n"
             u"- Swim\nLunch\n\n"_s);
    settle(500);
    shot(u"typing-shortcuts"_s, u"a heading, bold, italic, code and a list from typed marks"_s);
    typeKeys(u"```python\ndef packed(items):\n    return all(item.ready for item in items)"_s);
    settle(900);
    shot(u"code-block"_s, u"a code block started with ```python, coloured as it is typed"_s);
    NoteFind *find = m_window.noteFind();
    find->field()->setText(u"train"_s);
    find->replacementField()->setText(u"ferry"_s);
    find->replaceAllButton()->click();
    find->field()->setText(u"ferry"_s);
    settle(500);
    shot(u"find-replace"_s, u"“train” replaced by “ferry” from the find bar, the ferry marked"_s);
    find->field()->clear();
    find->replacementField()->clear();
    const int saves = m_saves;
    pressSaveKey();
    if (!waitFor([&] { return m_saves > saves; }, StepTimeoutMs)) {
        fail(u"the note written with shortcuts was not saved"_s);
        return false;
    }
    return true;
}

bool GuidedTour::select(const QString &title)
{
    if (m_failed)
        return false;
    const QString id = m_window.noteIdByTitle(title);
    if (id.isEmpty() || !m_window.selectNote(id)) {
        fail(u"the note “%1” could not be opened"_s.arg(title));
        return false;
    }
    settle(900);
    return true;
}

bool GuidedTour::typeIntoNote(const QString &firstLine, const QString &moreText, bool asHeading)
{
    if (m_failed)
        return false;
    // Places the caret at the end of the note and types as a user would.
    const QString script = uR"((function () {
        var frame = document.querySelector('iframe.ke-edit-iframe');
        if (!frame || !frame.contentDocument || !frame.contentDocument.body) return false;
        var doc = frame.contentDocument;
        frame.focus();
        doc.body.focus();
        var range = doc.createRange();
        range.selectNodeContents(doc.body);
        range.collapse(false);
        var selection = doc.getSelection();
        selection.removeAllRanges();
        selection.addRange(range);
        if (doc.body.textContent.trim().length > 0) doc.execCommand('insertParagraph');
        doc.execCommand('insertText', false, %1);
        if (%3) doc.execCommand('formatBlock', false, 'h2');
        doc.execCommand('insertParagraph');
        if (%3) doc.execCommand('formatBlock', false, 'p');
        doc.execCommand('insertText', false, %2);
        return true;
    })())"_s.arg(jsString(firstLine), jsString(moreText), asHeading ? u"true"_s : u"false"_s);
    bool done = false;
    bool typed = false;
    m_window.editor()->setFocus();
    m_window.editor()->page()->runJavaScript(script, [&](const QVariant &result) {
        typed = result.toBool();
        done = true;
    });
    if (!waitFor([&] { return done; }, StepTimeoutMs) || !typed) {
        fail(u"could not type into the note"_s);
        return false;
    }
    settle(300);
    return true;
}

bool GuidedTour::typeAndSave(const QString &firstLine, const QString &moreText, bool asHeading,
                             const QString &failure)
{
    const int saves = m_saves;
    if (!typeIntoNote(firstLine, moreText, asHeading))
        return false;
    pressSaveKey();
    if (waitFor([&] { return m_saves > saves; }, StepTimeoutMs))
        return true;
    fail(failure);
    return false;
}

void GuidedTour::pressSaveKey()
{
    pressControlKey(Qt::Key_S);
}

void GuidedTour::typeKeys(const QString &text)
{
    QWidget *target = m_window.editor()->GetWebBrowseHwnd();
    if (!target)
        target = m_window.editor();
    for (const QChar c : text) {
        const int key = c == u' ' ? int(Qt::Key_Space)
            : c == u'\n'          ? int(Qt::Key_Return)
                                  : int(c.toUpper().unicode());
        const QString typed = c == u'\n' ? u"\r"_s : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    }
}

void GuidedTour::pressControlKey(int key)
{
    QWidget *target = m_window.editor()->GetWebBrowseHwnd();
    if (!target)
        target = m_window.editor();
    const QString text(QChar(key - Qt::Key_A + 1)); // the control character of the letter
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

bool GuidedTour::runInPage(const QString &script)
{
    bool done = false;
    bool value = false;
    m_window.editor()->page()->runJavaScript(script, [&](const QVariant &result) {
        value = result.toBool();
        done = true;
    });
    return waitFor([&] { return done; }, StepTimeoutMs) && value;
}

bool GuidedTour::copyAttachmentsInto(const QString &target)
{
    // The attachments, and nothing else, selected in the page's note frame.
    const QString selectAttachments = uR"((function () {
        var doc = document.querySelector('iframe.ke-edit-iframe').contentDocument;
        var found = doc.querySelectorAll('img[zv_exdata]');
        if (found.length === 0) return false;
        var range = doc.createRange();
        range.setStartBefore(found[0]);
        range.setEndAfter(found[found.length - 1]);
        doc.defaultView.focus();
        doc.getSelection().removeAllRanges();
        doc.getSelection().addRange(range);
        return true;
    })())"_s;
    const QString caretAtEnd = uR"((function () {
        var doc = document.querySelector('iframe.ke-edit-iframe').contentDocument;
        var range = doc.createRange();
        range.selectNodeContents(doc.body);
        range.collapse(false);
        doc.defaultView.focus();
        doc.getSelection().removeAllRanges();
        doc.getSelection().addRange(range);
        return true;
    })())"_s;
    const QString pastedTwo = u"document.querySelector('iframe.ke-edit-iframe').contentDocument"
                              u".querySelectorAll('img[zv_exdata]').length === 2"_s;
    if (!select(u"Welcome to Tavrik Notes"_s))
        return false;
    m_window.editor()->GetWebBrowseHwnd()->setFocus();
    if (!runInPage(selectAttachments)) {
        fail(u"the welcome note shows no attachments to copy"_s);
        return false;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    pressControlKey(Qt::Key_C);
    if (!waitFor([&] { return clipboard->mimeData() && clipboard->mimeData()->hasUrls(); },
                 StepTimeoutMs)) {
        fail(u"Control+C did not put the attachment files on the clipboard"_s);
        return false;
    }
    if (!select(target))
        return false;
    m_window.editor()->GetWebBrowseHwnd()->setFocus();
    runInPage(caretAtEnd);
    pressControlKey(Qt::Key_V);
    if (!waitFor([&] { return runInPage(pastedTwo); }, StepTimeoutMs)) {
        fail(u"Control+V did not add the copied files to “%1”"_s.arg(target));
        return false;
    }
    settle(700);
    return true;
}

bool GuidedTour::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(25);
    if (!condition())
        loop.exec();
    return condition();
}

void GuidedTour::settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void GuidedTour::shot(const QString &name, const QString &caption, QWidget *widget)
{
    // Numbered in the order taken, so the folder lists them as the tour went.
    const QString file = u"%1-%2.png"_s.arg(m_shots + 1, 2, 10, QLatin1Char('0')).arg(name);
    const QString path = QDir(m_folder).filePath(file);
    if (!(widget ? widget : &m_window)->grab().save(path)) {
        fail(u"cannot write "_s + path);
        return;
    }
    ++m_shots;
    std::printf("  %s  %s\n", qPrintable(path), qPrintable(caption));
    std::fflush(stdout);
}

void GuidedTour::fail(const QString &what)
{
    if (m_failed)
        return;
    m_failed = true;
    std::fprintf(stderr, "Guided tour stopped: %s\n", qPrintable(what));
    QApplication::exit(1);
}

bool GuidedTour::showSplitView()
{
    using TAVRIKCORE::RICHEDITOR::CZorvaUpDownView;
    CZorvaUpDownView *view = m_window.splitView();
    CZorvaUpDownView::Splitterbar2014 &bar = view->splitterBar();
    const auto send = [&bar](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, bar.mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&bar, &event);
    };
    // Drag the bar 120 pixels up, pressing it beside the grip.
    const int lowerBefore = m_window.attachmentPane()->height();
    send(QEvent::MouseButtonPress, QPoint(4, 2), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(4, -118), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(4, -118), Qt::NoButton);
    settle(400);
    if (m_window.attachmentPane()->height() != lowerBefore + 120) {
        fail(u"dragging the split bar did not grow the attachments pane"_s);
        return false;
    }
    shot(u"split-dragged"_s, u"the attachments pane below the editor, dragged taller"_s);

    bar.grab();
    const QPoint grip = bar.gripRect().center();
    send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grip, Qt::NoButton);
    settle(400);
    if (!bar.isFolded() || m_window.attachmentPane()->isVisible()) {
        fail(u"a click on the split bar's grip did not fold the attachments pane"_s);
        return false;
    }
    shot(u"split-folded"_s, u"the attachments pane folded away with the bar's grip"_s);

    send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grip, Qt::NoButton);
    settle(400);
    if (bar.isFolded() || !m_window.attachmentPane()->isVisible()) {
        fail(u"a second click on the grip did not bring the attachments pane back"_s);
        return false;
    }
    shot(u"split-unfolded"_s, u"the attachments pane unfolded at its former height"_s);
    return true;
}
