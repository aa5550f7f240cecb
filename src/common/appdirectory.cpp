// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "common/appdirectory.h"

#include "common/appdirectory_p.h"
#include "common/pathutils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <mutex>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

QString withTrailingSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

struct AppDirectoryState
{
    std::mutex mutex;
    bool resolved = false;
    QString startup; // TAVRIK_APP_DIR when set, else the executable's folder
    QString current;
    QString program; // SetProgramDirectory's folder, else empty
};

AppDirectoryState &state()
{
    static AppDirectoryState s;
    return s;
}

// Called with the state's mutex held.
void resolveStartup(AppDirectoryState &s)
{
    if (s.resolved)
        return;
    const QString fromEnvironment = qEnvironmentVariable("TAVRIK_APP_DIR");
    s.startup = fromEnvironment.isEmpty() ? Internal::executableFolder()
                                          : withTrailingSlash(fromEnvironment);
    s.current = s.startup;
    s.resolved = true;
}

} // namespace

QString GetAppDirectory()
{
    AppDirectoryState &s = state();
    std::lock_guard lock(s.mutex);
    resolveStartup(s);
    return s.current;
}

// An empty folder goes back to the folder the process started with (TAVRIK_APP_DIR when it
// was set, else the executable's folder).
void SetAppDirectory(const QString &folder)
{
    AppDirectoryState &s = state();
    std::lock_guard lock(s.mutex);
    resolveStartup(s);
    s.current = folder.isEmpty() ? s.startup : withTrailingSlash(folder);
}

// Where the installation puts the program's data, seen from the folders of the executable and
// of the library (set by the build from the install folders).
std::vector<QString> GetProgramFileFolders()
{
    std::vector<QString> folders;
    const auto add = [&folders](const QString &folder) {
        if (folder.isEmpty())
            return;
        const QString clean = withTrailingSlash(QDir::cleanPath(folder));
        if (std::find(folders.begin(), folders.end(), clean) == folders.end())
            folders.push_back(clean);
    };
    {
        AppDirectoryState &s = state();
        std::lock_guard lock(s.mutex);
        add(s.program);
    }
    const QString executable = Internal::executableFolder();
    add(executable);
    add(executable + QStringLiteral(TAVRIK_DATA_FROM_BIN));
    const QString library = Internal::libraryFolder();
    if (!library.isEmpty())
        add(library + QStringLiteral(TAVRIK_DATA_FROM_LIB));
    return folders;
}

void SetProgramDirectory(const QString &folder)
{
    AppDirectoryState &s = state();
    std::lock_guard lock(s.mutex);
    s.program = folder.isEmpty() ? QString() : withTrailingSlash(folder);
}

QString FindProgramFile(const QString &relativePath)
{
    for (const QString &folder : GetProgramFileFolders()) {
        const QString path = folder + relativePath;
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

QString GetTempDirectory()
{
    return withTrailingSlash(QDir::tempPath());
}

QString Internal::attachRootPath()
{
    return GetAppDirectory() + u"userdata/attachment";
}

QString GetAttachRootDir()
{
    const QString root = Internal::attachRootPath();
    if (!IsFileExist(root))
        MakeDirectories(root);
    return root;
}

QString Internal::attachFilePathIn(const QString &root, const QString &noteId,
                                   const QString &storeName, const QString &keptName)
{
    if (keptName.isEmpty())
        return root + u'/' + storeName;
    return root + u'/' + noteId + u'/' + keptName;
}

QString GetAttachFilePath(const QString &noteId, const QString &storeName, const QString &keptName)
{
    const QString root = GetAttachRootDir();
    if (!keptName.isEmpty()) {
        const QString folder = root + u'/' + noteId;
        if (!IsFileExist(folder))
            MakeDirectories(folder);
    }
    return Internal::attachFilePathIn(root, noteId, storeName, keptName);
}

} // namespace TAVRIKCORE::RICHEDITOR
