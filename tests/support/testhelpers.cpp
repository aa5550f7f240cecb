// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "testhelpers.h"

#include "common/commonutils.h"
#include "common/log4c.h"
#include "skin/iewebbrowser.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include <fcntl.h>
#include <sys/stat.h>

using namespace TAVRIKCORE::RICHEDITOR;

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QString md5Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QByteArray unzip(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("unzip"), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.readAllStandardOutput();
}

QString programOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QImage filledImage(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

quint64 inodeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QString stageEditorPage(const QString &appFolder, const QString &pageFolder)
{
    const QString from = qEnvironmentVariable("TAVRIK_PAGE_DIR") + QStringLiteral("/zveditor");
    const QString to = QDir::cleanPath(appFolder + u'/' + pageFolder);
    QDir(to).removeRecursively();
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(file, target);
    }
    return to + QStringLiteral("/index.html");
}

QString jsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

IEWebBrowser *showBuiltEditorPage(QWidget *window)
{
    auto *view = new IEWebBrowser;
    if (view->Create(window, window->rect(), 1, IEWebBrowser::StyleVisible) != 1)
        return nullptr;
    window->show();
    QSignalSpy loaded(view, &IEWebBrowser::firstLoadFinished);
    const QString page
        = qEnvironmentVariable("TAVRIK_PAGE_DIR") + QStringLiteral("/zveditor/index.html");
    if (view->Navigate2(page) != 1 || !loaded.wait(30000)
        || !waitForScript(view->page(), QStringLiteral("window.Tavrik && Tavrik.ready === true")))
        return nullptr;
    return view;
}

QVariant runScript(QWebEnginePage *page, const QString &script, quint32 worldId)
{
    bool done = false;
    QVariant value;
    page->runJavaScript(script, worldId, [&](const QVariant &result) {
        value = result;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 30000)) << script.toStdString();
    return value;
}

bool waitForScript(QWebEnginePage *page, const QString &condition, int timeoutMs)
{
    const QString script = QStringLiteral("!!(") + condition + u')';
    return QTest::qWaitFor([&] { return runScript(page, script).toBool(); }, timeoutMs);
}

void AppFolderTest::SetUpTestSuite()
{
    CLog4C::GetInstance();
}

void AppFolderTest::SetUp()
{
    ASSERT_TRUE(m_app.isValid());
    SetAppDirectory(m_app.path());
    m_root = GetAttachRootDir() + u'/';
}

void AppFolderTest::TearDown()
{
    SetAppDirectory(QString());
}

void ageTree(const QString &folder, qint64 seconds)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    qint64 back = seconds + 500;
    while (it.hasNext()) {
        const timespec when{time(nullptr) - back--, 0};
        const timespec times[2] = {when, when};
        ::utimensat(AT_FDCWD, QFile::encodeName(it.next()).constData(), times, AT_SYMLINK_NOFOLLOW);
    }
}
