// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attachmentopener.h"

#include "common/commonutils.h"
#include "common/iprompts.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;
using TAVRIKCORE::RICHEDITOR::IPrompts;

AttachmentOpener::AttachmentOpener(IPrompts &prompts, Launcher launch)
    : m_prompts(prompts),
      m_launch(launch ? std::move(launch)
                      : Launcher([](const QUrl &url) { return QDesktopServices::openUrl(url); }))
{ }

QString AttachmentOpener::keptCopyPath(const QString &noteId, const QString &storeName,
                                       const QString &keptName)
{
    const QString root = TAVRIKCORE::RICHEDITOR::GetAttachRootDir() + u'/';
    if (!noteId.isEmpty() && !keptName.isEmpty()) {
        const QFileInfo kept(root + noteId + u'/' + keptName);
        const QString folder = QDir(root + noteId).canonicalPath();
        if (kept.isFile() && !folder.isEmpty() && kept.canonicalPath() == folder)
            return kept.filePath();
    }
    return root + storeName;
}

bool AttachmentOpener::isRunnable(const QString &path)
{
    static const QSet<QString> runnable = {
        u"sh"_s,  u"bash"_s, u"zsh"_s,  u"csh"_s,     u"ksh"_s,        u"fish"_s,    u"run"_s,
        u"bin"_s, u"elf"_s,  u"out"_s,  u"so"_s,      u"py"_s,         u"pyw"_s,     u"pl"_s,
        u"rb"_s,  u"php"_s,  u"lua"_s,  u"jar"_s,     u"js"_s,         u"desktop"_s, u"appimage"_s,
        u"deb"_s, u"rpm"_s,  u"snap"_s, u"flatpak"_s, u"flatpakref"_s, u"exe"_s,     u"com"_s,
        u"bat"_s, u"cmd"_s,  u"msi"_s,  u"scr"_s,     u"pif"_s,        u"vbs"_s,     u"vbe"_s,
        u"wsf"_s, u"ps1"_s,  u"psm1"_s, u"lnk"_s,     u"reg"_s,        u"hta"_s,     u"command"_s,
        u"app"_s, u"pkg"_s,  u"dmg"_s,  u"apk"_s,
    };
    const QFileInfo info(path);
    if (runnable.contains(info.suffix().toLower()))
        return true;
    return info.isFile() && info.isExecutable();
}

QString AttachmentOpener::warningText(const QString &displayName)
{
    return tr("“%1” is a program or script. Opening it can run code on this computer.\n\n"
              "Open it only if you trust where it came from. Open it anyway?")
        .arg(displayName);
}

QString AttachmentOpener::missingText(const QString &displayName)
{
    return tr("The attachment “%1” is no longer in the note's folder.").arg(displayName);
}

QString AttachmentOpener::noHandlerText(const QString &displayName)
{
    return tr("No program on this computer opens “%1”.").arg(displayName);
}

bool AttachmentOpener::open(QWidget *parent, const QString &path, const QString &displayName)
{
    const QString title = tr("Open attachment");
    if (!QFileInfo(path).isFile()) {
        m_prompts.messageBox(parent, missingText(displayName), title, QMessageBox::Ok);
        return false;
    }
    if (isRunnable(path)
        && m_prompts.messageBox(parent, warningText(displayName), title,
                                QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
        return false;
    if (!m_launch(QUrl::fromLocalFile(path))) {
        m_prompts.messageBox(parent, noHandlerText(displayName), title, QMessageBox::Ok);
        return false;
    }
    return true;
}
