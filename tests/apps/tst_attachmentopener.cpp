// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attachmentopener.h"

#include "common/commonutils.h"
#include "recordingprompts.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

class AttachmentOpenerTest : public ::testing::Test
{
protected:
    QString makeFile(const QString &name, bool executable = false)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, "content"));
        if (executable)
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    }

    AttachmentOpener opener()
    {
        return AttachmentOpener(m_prompts, [this](const QUrl &url) {
            m_launched.push_back(url);
            return m_launchSucceeds;
        });
    }

    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    std::vector<QUrl> m_launched;
    bool m_launchSucceeds = true;
};

TEST_F(AttachmentOpenerTest, RecognisesFilesThatRunCode)
{
    // name, executable bit, runnable
    const std::tuple<QString, bool, bool> cases[]
        = {{u"install.sh"_s, false, true},    {u"SETUP.EXE"_s, false, true},
           {u"tool.AppImage"_s, false, true}, {u"app.desktop"_s, false, true},
           {u"script.Py"_s, false, true},     {u"payload.run"_s, false, true},
           {u"firmware.bin"_s, false, true},  {u"noextension"_s, true, true},
           {u"report.pdf"_s, true, true},     {u"report.pdf.txt"_s, false, false},
           {u"photo.jpg"_s, false, false},    {u"notes.sh.txt"_s, false, false},
           {u"README"_s, false, false}};
    for (const auto &[name, executable, runnable] : cases)
        EXPECT_EQ(AttachmentOpener::isRunnable(makeFile(name, executable)), runnable)
            << name.toStdString();
}

TEST_F(AttachmentOpenerTest, WarnsBeforeRunnableFilesAndRespectsTheAnswer)
{
    const QString path = makeFile(u"a1b2.sh"_s);
    m_prompts.answerButton(QMessageBox::No);
    EXPECT_FALSE(opener().open(nullptr, path, u"setup.sh"_s));
    EXPECT_TRUE(m_launched.empty());
    ASSERT_EQ(m_prompts.shown().size(), 1u);
    const auto &warning = m_prompts.shown().front();
    EXPECT_EQ(warning.text,
              u"“setup.sh” is a program or script. Opening it can run code on this "
              "computer.\n\nOpen it only if you trust where it came from. Open it "
              "anyway?"_s);
    EXPECT_EQ(warning.title, u"Open attachment"_s);
    EXPECT_EQ(warning.buttons, QMessageBox::Yes | QMessageBox::No);

    m_prompts.answerButton(QMessageBox::Yes);
    EXPECT_TRUE(opener().open(nullptr, path, u"setup.sh"_s));
    EXPECT_EQ(m_launched, std::vector<QUrl>{QUrl::fromLocalFile(path)});

    // Documents open without asking.
    const QString plan = makeFile(u"Plan 2026.xlsx"_s);
    EXPECT_TRUE(opener().open(nullptr, plan, u"Plan 2026.xlsx"_s));
    EXPECT_EQ(m_prompts.shown().size(), 2u);
    EXPECT_EQ(m_launched.back(), QUrl::fromLocalFile(plan));
}

TEST_F(AttachmentOpenerTest, TellsWhyAFileCannotBeOpened)
{
    EXPECT_FALSE(opener().open(nullptr, m_dir.filePath(u"gone.pdf"_s), u"Urlaub.pdf"_s));
    m_launchSucceeds = false;
    EXPECT_FALSE(opener().open(nullptr, makeFile(u"x.odd"_s), u"data.odd"_s));
    EXPECT_EQ(m_prompts.messages(),
              (QStringList{u"The attachment “Urlaub.pdf” is no longer in the note's folder."_s,
                           u"No program on this computer opens “data.odd”."_s}));
    EXPECT_EQ(m_launched.size(), 1u);
}

TEST_F(AttachmentOpenerTest, OpensTheKeptCopyInTheNoteFolderAndNothingOutsideIt)
{
    const QString root = TAVRIKCORE::RICHEDITOR::GetAttachRootDir() + u'/';
    ASSERT_TRUE(writeBytes(root + u"n1/报告 (1).docx"_s, "kept"));
    ASSERT_TRUE(writeBytes(root + u"n2/secret.txt"_s, "other note"));
    const QString store = u"0123456789abcdef0123456789abcdef.docx"_s;
    const struct
    {
        QString keptName;
        QString opened;
    } cases[] = {{u"报告 (1).docx"_s, root + u"n1/报告 (1).docx"_s},
                 {u"gone.docx"_s, root + store},
                 {u"../n2/secret.txt"_s, root + store},
                 {u".."_s, root + store},
                 {QString(), root + store}};
    for (const auto &c : cases)
        EXPECT_EQ(AttachmentOpener::keptCopyPath(u"n1"_s, store, c.keptName), c.opened)
            << c.keptName.toStdString();
}

} // namespace
