// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "common/iprompts.h"

#include <QString>
#include <QVariant>

#include <chrono>
#include <functional>
#include <random>
#include <vector>

class QWebEnginePage;

namespace TAVRIKCORE::RICHEDITOR {
class IEWebBrowser;
class ZvWebNoteHandler;
} // namespace TAVRIKCORE::RICHEDITOR

namespace TavrikBench {

enum class Goal { AtLeast, AtMost };

// Prints "BENCH <key> value=<value> goal<op><goal> PASS|FAIL" and remembers a failure.
bool report(const char *key, double value, Goal goal, double target);

// 0 when every reported goal passed, else 1: the program's exit code.
int exitCode();

// Seconds of one call of `work`.
double secondsOf(const std::function<void()> &work);

// The middle value of `samples` (the upper one of the two middle values of an even count).
double median(std::vector<double> samples);

// Median in nanoseconds of `runs` timed calls of `work`.
double medianNs(int runs, const std::function<void()> &work);

// Seconds a shell command takes; negative when it fails.
double secondsOfCommand(const QString &command);

// Resident set size of this process in KiB, and its peak so far.
long residentKiB();
long peakResidentKiB();

// Typical editor markup of about `bytes` bytes in UTF-8: paragraphs with formatting and a
// styled span each, a few tables and attachment pictures.
QString makeNote(int bytes);

// `text` as a JavaScript string literal.
QString jsString(const QString &text);

// `size` bytes from `random`, different at each call.
QByteArray randomBytes(std::mt19937_64 &random, qint64 size);

// Writes `size` bytes of deterministic pseudo-random data to `path`.
void writeRandomFile(const QString &path, qint64 size);

// Copies every file under the folder `from` to the same place under `to`; false when there
// was nothing to copy.
bool copyFolder(const QString &from, const QString &to);

// Makes `folder` both the application folder and the program's folder, holding copies of the
// editor page and the file-type icons. The page is taken from beside the program, else from the
// build's page folder (TAVRIK_PAGE_DIR or ../page). False, with a message, when there is no page.
bool stageAppFolder(const QString &folder);

// Sets the process up for a browser benchmark before its QApplication exists: the offscreen
// platform unless one is chosen, and the browser's own process settings.
void prepareBrowserProcess();

// Answers every prompt without a window while it exists and counts the message boxes (a
// benchmark expects none), printing each one's text.
class QuietPrompts : public TAVRIKCORE::RICHEDITOR::IPrompts
{
public:
    QuietPrompts();
    ~QuietPrompts() override;
    int messages = 0;

    QMessageBox::StandardButton messageBox(QWidget *, const QString &text, const QString &,
                                           QMessageBox::StandardButtons) override;
    QStringList openFileNames(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString existingFolder(QWidget *, const QString &, const QString &) override { return {}; }

private:
    IPrompts *m_previous = nullptr;
};

// Runs `script` in the page's main world and waits for its value in a nested event loop, as
// the editor's own calls wait; an invalid value after a minute without an answer.
QVariant runScript(QWebEnginePage *page, const QString &script);

// Handles events until `ready` holds, for at most `timeoutMs`; whether it came to hold.
bool waitUntil(const std::function<bool()> &ready, int timeoutMs = 60000);

// Handles events for `ms` milliseconds: lets a page finish the frames a change started.
void settle(int ms);

// Shows the editor page of the application folder `appFolder` in `browser`, 900 x 600, with
// `handler` answering its calls and drops, and waits for its script; false, with a message,
// when the page did not start.
bool showEditorPage(TAVRIKCORE::RICHEDITOR::IEWebBrowser &browser,
                    TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler &handler, const QString &appFolder);

// Waits up to 20 s until the editor page's own script in `page` has started.
bool waitForEditorPage(QWebEnginePage *page);

} // namespace TavrikBench
