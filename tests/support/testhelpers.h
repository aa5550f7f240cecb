// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <ostream>
#include <vector>

class QWebEnginePage;
class QWidget;

namespace TAVRIKCORE::RICHEDITOR {
class IEWebBrowser;
}

// Readable failure messages for Qt values.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[' << list.join(u'|').toStdString() << ']';
}
inline void PrintTo(const QVariant &value, std::ostream *out)
{
    *out << value.typeName() << '(' << value.toString().toStdString() << ')';
}
QT_END_NAMESPACE

// The whole file, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString &path);
// Replaces the file with `bytes`, creating its folder; false when that fails.
bool writeBytes(const QString &path, const QByteArray &bytes);

// The MD5 of `bytes` in lower-case hex: the name the store gives content.
QString md5Hex(const QByteArray &bytes);

// What the unzip program prints for `arguments`.
QByteArray unzip(const QStringList &arguments);

// What `program` prints to its standard output for `arguments`; a failure of the test when it
// does not end with exit code 0 within a minute.
QString programOutput(const QString &program, const QStringList &arguments);

// Log lines as LogCapture gives them.
using Lines = std::vector<QString>;

// Whether the whole of `text` matches `pattern`.
inline bool matches(const QString &pattern, const QString &text)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}
// A `width` x `height` picture of one colour, and its PNG bytes.
QImage filledImage(int width, int height, const QColor &color);
QByteArray pngBytes(const QImage &image);
// Dates every entry below `folder` at least `seconds` back, each a second older than the next
// one listed, so a clean-up may take what is unused and lists it in a fixed order.
void ageTree(const QString &folder, qint64 seconds);
// The inode of the file, 0 when it is missing: tells a kept file from a rewritten one.
quint64 inodeOf(const QString &path);

// Copies the built editor page into `appFolder`/`pageFolder`, as a host keeping a page of its
// own would. Gives the page's index.html.
QString stageEditorPage(const QString &appFolder,
                        const QString &pageFolder = QStringLiteral("zveditor"));

// The build's editor page in a new browser filling `window`, both shown, the page ready for
// scripts; nullptr when it did not load within 30 s.
TAVRIKCORE::RICHEDITOR::IEWebBrowser *showBuiltEditorPage(QWidget *window);

// Runs a script in the page (in the script world `worldId`, the page's own by default) and
// waits for its value (an invalid value after 30 s).
// `text` as a script's string literal (JSON-quoted).
QString jsString(const QString &text);
QVariant runScript(QWebEnginePage *page, const QString &script, quint32 worldId = 0);
// Polls a script until it is true; false when it is not within 10 s.
bool waitForScript(QWebEnginePage *page, const QString &condition, int timeoutMs = 10000);

// Gives every test its own application folder (and so its own attachment store) while the
// log stays in the program's folder.
class AppFolderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    QTemporaryDir m_app;
    QString m_root; // the attachment store, ending in '/'
};
