// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "benchutil.h"

#include "common/commonutils.h"

#include "bridge/zvwebnotehandler.h"
#include "skin/iewebbrowser.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <cstring>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace TavrikBench {

namespace {
bool s_failed = false;

long statusFieldKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ':';
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return -1;
}
} // namespace

bool report(const char *key, double value, Goal goal, double target)
{
    const bool pass = goal == Goal::AtLeast ? value >= target : value <= target;
    std::printf("BENCH %s value=%.3g goal%s%g %s\n", key, value,
                goal == Goal::AtLeast ? ">=" : "<=", target, pass ? "PASS" : "FAIL");
    std::fflush(stdout);
    s_failed = s_failed || !pass;
    return pass;
}

int exitCode()
{
    return s_failed ? 1 : 0;
}

double secondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double medianNs(int runs, const std::function<void()> &work)
{
    std::vector<double> samples;
    samples.reserve(runs);
    for (int i = 0; i < runs; ++i)
        samples.push_back(secondsOf(work) * 1e9);
    std::nth_element(samples.begin(), samples.begin() + runs / 2, samples.end());
    return samples[runs / 2];
}

double secondsOfCommand(const QString &command)
{
    int status = 0;
    const double seconds
        = secondsOf([&] { status = std::system(command.toLocal8Bit().constData()); });
    return status == 0 ? seconds : -1.0;
}

long residentKiB()
{
    return statusFieldKiB("VmRSS");
}

long peakResidentKiB()
{
    return statusFieldKiB("VmHWM");
}

QString makeNote(int bytes)
{
    QString html;
    html.reserve(bytes + 4096);
    int block = 0;
    while (html.size() * 1.2 < bytes) { // Chinese text takes three bytes in UTF-8
        ++block;
        html += u"<p>Meeting notes "_s + QString::number(block)
            + u": <b>budget</b> and <i>plans</i> for the <u>next quarter</u>, "
              "<span style=\"color:#c00000;\">urgent</span> 会议纪要与后续安排。 "
              "<a href=\"https://example.com/item/"_s
            + QString::number(block) + u"\">link</a></p>"_s;
        if (block % 200 == 0) {
            html += u"<table border=\"1\" style=\"width:100%;\"><tbody>"_s;
            for (int row = 0; row < 6; ++row) {
                html += u"<tr>"_s;
                for (int col = 0; col < 4; ++col)
                    html += u"<td>cell "_s + QString::number(row) + u'.' + QString::number(col)
                        + u"</td>"_s;
                html += u"</tr>"_s;
            }
            html += u"</tbody></table>"_s;
        }
        if (block % 150 == 0) {
            const QString name = u"%1"_s.arg(block, 32, 16, QChar(u'0'));
            const QString origName = u"report %1.pdf"_s.arg(block);
            html += u"<p><img class=\"userdata\\attachment\\"_s + name
                + u".pdf\" src=\"../userdata\\attachment\\"_s + name
                + u".bmp\" zv_exdata=\"{&quot;OrigName_B64&quot;:&quot;"_s
                + QString::fromLatin1(origName.toUtf8().toBase64()) + u"&quot;}\"></p>"_s;
        }
    }
    return html;
}

QString jsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QByteArray randomBytes(std::mt19937_64 &random, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i + 8 <= size; i += 8) {
        const quint64 word = random();
        std::memcpy(bytes.data() + i, &word, 8);
    }
    return bytes;
}

void writeRandomFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    std::mt19937_64 random(20261205);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 written = 0; written < size;) {
        auto *words = reinterpret_cast<quint64 *>(block.data());
        for (qsizetype i = 0; i < block.size() / qsizetype(sizeof(quint64)); ++i)
            words[i] = random();
        const qint64 chunk = std::min<qint64>(block.size(), size - written);
        file.write(block.constData(), chunk);
        written += chunk;
    }
}

bool copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    bool any = false;
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(file);
        QDir().mkpath(QFileInfo(target).path());
        any = QFile::copy(file, target) || any;
    }
    return any;
}

void prepareBrowserProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAVRIKCORE::RICHEDITOR::IEWebBrowser::PrepareProcess();
}

QVariant runScript(QWebEnginePage *page, const QString &script)
{
    QVariant value;
    bool done = false;
    QEventLoop loop;
    page->runJavaScript(script, 0, [&](const QVariant &result) {
        value = result;
        done = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return value;
}

bool waitUntil(const std::function<bool()> &ready, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!ready()) {
        if (waited.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

void settle(int ms)
{
    QElapsedTimer waited;
    waited.start();
    for (qint64 left = ms; left > 0; left = ms - waited.elapsed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, int(left));
}

bool waitForEditorPage(QWebEnginePage *page)
{
    for (int i = 0; i < 400; ++i) {
        if (runScript(page, QStringLiteral("!!(window.Tavrik && Tavrik.ready === true)")).toBool())
            return true;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return false;
}

bool showEditorPage(TAVRIKCORE::RICHEDITOR::IEWebBrowser &browser,
                    TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler &handler, const QString &appFolder)
{
    browser.SetJSCallFunNotify(&handler);
    browser.SetIEDragNotify(&handler);
    handler.SetIEWebBrowser(&browser);
    browser.Create(nullptr, QRect(0, 0, 900, 600), 1,
                   TAVRIKCORE::RICHEDITOR::IEWebBrowser::StyleVisible);
    browser.Navigate2(appFolder + QStringLiteral("/zveditor/index.html"));
    if (waitForEditorPage(browser.page()))
        return true;
    std::fprintf(stderr, "editor page did not start\n");
    return false;
}

bool stageAppFolder(const QString &folder)
{
    TAVRIKCORE::RICHEDITOR::SetAppDirectory(folder + u'/');
    const QString built = QCoreApplication::applicationDirPath();
    QString pages = qEnvironmentVariable("TAVRIK_PAGE_DIR");
    if (pages.isEmpty())
        pages = built + QStringLiteral("/../page");
    const QString page = folder + QStringLiteral("/zveditor");
    if (!copyFolder(built + QStringLiteral("/zveditor"), page)
        && !copyFolder(pages + QStringLiteral("/zveditor"), page)) {
        std::fprintf(stderr, "editor page found neither beside %s nor under %s\n",
                     qPrintable(built), qPrintable(pages));
        return false;
    }
    // The file-type icons the thumbnail cards are drawn with; the copies are the program's files.
    copyFolder(pages + QStringLiteral("/res"), folder + QStringLiteral("/res"));
    TAVRIKCORE::RICHEDITOR::SetProgramDirectory(folder);
    return true;
}

QuietPrompts::QuietPrompts()
{
    m_previous = IPrompts::setInstance(this);
}

QuietPrompts::~QuietPrompts()
{
    IPrompts::setInstance(m_previous);
}

QMessageBox::StandardButton QuietPrompts::messageBox(QWidget *, const QString &text,
                                                     const QString &, QMessageBox::StandardButtons)
{
    ++messages;
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return QMessageBox::Ok;
}

} // namespace TavrikBench
