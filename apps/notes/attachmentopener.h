// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace TAVRIKCORE::RICHEDITOR {
class IPrompts;
}

// Opens a note's attachment with the desktop's handler. Files that can run code are opened
// only after the user agreed to a warning.
class AttachmentOpener
{
    Q_DECLARE_TR_FUNCTIONS(AttachmentOpener)

public:
    using Launcher = std::function<bool(const QUrl &)>;

    // `launch` opens a URL with the desktop's handler (QDesktopServices by default).
    explicit AttachmentOpener(TAVRIKCORE::RICHEDITOR::IPrompts &prompts, Launcher launch = {});

    // True when opening the file may run a program: an executable file or an extension of
    // scripts, installers and binaries (case-insensitive).
    static bool isRunnable(const QString &path);

    // The file a user opens and edits for an attachment: the copy kept under its own name in
    // the note's folder, <attachment root>/<noteId>/<keptName>. Notes stored before attachments
    // had kept copies open the store file <attachment root>/<storeName>. A kept name that
    // would lead out of the note's folder is never used.
    static QString keptCopyPath(const QString &noteId, const QString &storeName,
                                const QString &keptName);

    // Opens the file. False when it is missing, the user declined the warning or no handler
    // opened it; the user has been told why, except for a declined warning.
    bool open(QWidget *parent, const QString &path, const QString &displayName);

    static QString warningText(const QString &displayName);
    static QString missingText(const QString &displayName);
    static QString noHandlerText(const QString &displayName);

private:
    TAVRIKCORE::RICHEDITOR::IPrompts &m_prompts;
    Launcher m_launch;
};
