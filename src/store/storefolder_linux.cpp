// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "store/storefolder_p.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

void describe(const struct stat &info, FolderEntry &entry)
{
    entry.type = S_ISREG(info.st_mode) ? EntryType::File
        : S_ISDIR(info.st_mode)        ? EntryType::Folder
        : S_ISLNK(info.st_mode)        ? EntryType::Link
                                       : EntryType::Other;
    entry.size = entry.type == EntryType::Folder ? 0 : qint64(info.st_size);
    entry.modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
}

} // namespace

bool listFolder(const QString &folder, std::vector<FolderEntry> &entries)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    errno = 0;
    while (const dirent *item = ::readdir(dir)) {
        const char *name = item->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat info;
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            errno = 0; // vanished meanwhile
            continue;
        }
        FolderEntry entry;
        entry.name = QFile::decodeName(name);
        describe(info, entry);
        entries.push_back(std::move(entry));
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    errno = error;
    return error == 0;
}

bool entryAt(const QString &path, FolderEntry &entry)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    entry.name = path.mid(path.lastIndexOf(u'/') + 1);
    describe(info, entry);
    return true;
}

QString linkTarget(const QString &path)
{
    char resolved[PATH_MAX];
    if (!::realpath(QFile::encodeName(path).constData(), resolved))
        return {};
    return QFile::decodeName(resolved);
}

bool removeEntry(const QString &path, EntryType type)
{
    const QByteArray native = QFile::encodeName(path);
    return (type == EntryType::Folder ? ::rmdir(native.constData()) : ::unlink(native.constData()))
        == 0;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
