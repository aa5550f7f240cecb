// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/commonutils.h"

#include <QDir>
#include <QFile>

#include <mutex>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Folder of the running executable (the host, not this library), ending with '/'.
QString executableFolder()
{
    QByteArray target(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", target.data(), size_t(target.size()));
        if (length < 0)
            return {};
        if (length < target.size()) {
            target.truncate(length);
            break;
        }
        target.resize(target.size() * 2);
    }
    const QString path = QFile::decodeName(target);
    return path.left(path.lastIndexOf(u'/') + 1);
}

struct AppDirectoryState
{
    std::mutex mutex;
    bool defaultKnown = false;
    QString defaultFolder;
    QString overrideFolder;
};

AppDirectoryState &appDirectoryState()
{
    static AppDirectoryState state;
    return state;
}

} // namespace

QString GetAppDirectory()
{
    AppDirectoryState &state = appDirectoryState();
    std::lock_guard lock(state.mutex);
    if (!state.overrideFolder.isEmpty())
        return state.overrideFolder;
    if (!state.defaultKnown) {
        const QString fromEnvironment = qEnvironmentVariable("TAVRIK_APP_DIR");
        state.defaultFolder
            = fromEnvironment.isEmpty() ? executableFolder() : withTrailingSlash(fromEnvironment);
        state.defaultKnown = true;
    }
    return state.defaultFolder;
}

void SetAppDirectory(const QString &folder)
{
    AppDirectoryState &state = appDirectoryState();
    std::lock_guard lock(state.mutex);
    state.overrideFolder = folder.isEmpty() ? QString() : withTrailingSlash(folder);
}

QString GetTempDirectory()
{
    return withTrailingSlash(QDir::tempPath());
}

QString GetAttachRootDir()
{
    const QString root = GetAppDirectory() + u"userdata/attachment";
    if (!IsFileExist(root))
        MakeDirectories(root);
    return root;
}

QString GetAttachFilePath(const QString &noteId, const QString &storeName, const QString &keptName)
{
    if (keptName.isEmpty())
        return GetAttachRootDir() + u'/' + storeName;
    const QString folder = GetAttachRootDir() + u'/' + noteId;
    if (!IsFileExist(folder))
        MakeDirectories(folder);
    return folder + u'/' + keptName;
}

} // namespace TAVRIKCORE::RICHEDITOR
