// The spool's directories on POSIX systems.
#include "system/spool.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "system/paths.h"

namespace tarnvel {

namespace {

// The verdict on a directory's status.
private_check judge(const struct stat& status)
{
    if (!S_ISDIR(status.st_mode))
        return private_check::not_directory;
    if (status.st_uid != geteuid())
        return private_check::other_owner;
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return private_check::open_to_others;
    return private_check::fine;
}

// Removes every entry but subdirectories of the open directory `descriptor`
// (which it takes over and closes).
void empty_directory(int descriptor)
{
    DIR* directory = fdopendir(descriptor);
    if (directory == nullptr) {
        close(descriptor);
        return;
    }
    std::vector<std::string> names;
    while (const struct dirent* entry = readdir(directory))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    for (const std::string& name : names)
        unlinkat(dirfd(directory), name.c_str(), 0);
    closedir(directory);
}

} // namespace

private_check make_private_directory(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return private_check::failed;
    struct stat named;
    if (lstat(path.c_str(), &named) != 0)
        return private_check::failed;
    const private_check verdict = judge(named);
    if (verdict != private_check::fine)
        return verdict;
    const int descriptor = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return private_check::failed;
    struct stat opened;
    const bool examined = fstat(descriptor, &opened) == 0;
    close(descriptor);
    if (!examined)
        return private_check::failed;
    if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)
        return private_check::not_directory; // replaced between the two looks
    return judge(opened);
}

bool open_to_every_account(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_mode & S_IWOTH) != 0 &&
           (status.st_mode & S_ISVTX) == 0;
}

std::string default_spool()
{
    return temporary_directory() + "/tarnvel-cgi." + std::to_string(geteuid());
}

int remove_abandoned_directories(const std::string& parent, const char* prefix, int age)
{
    const int parent_descriptor = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent_descriptor < 0)
        return 0;
    DIR* directory = fdopendir(parent_descriptor);
    if (directory == nullptr) {
        close(parent_descriptor);
        return 0;
    }
    const std::size_t prefix_length = std::strlen(prefix);
    std::vector<std::string> candidates;
    while (const struct dirent* entry = readdir(directory))
        if (std::strlen(entry->d_name) == prefix_length + 6 &&
            std::strncmp(entry->d_name, prefix, prefix_length) == 0)
            candidates.push_back(entry->d_name);
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    for (const std::string& name : candidates) {
        struct stat status;
        if (fstatat(dirfd(directory), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(status.st_mode) || status.st_uid != geteuid() || now - status.st_mtime <= age)
            continue;
        const int descriptor =
            openat(dirfd(directory), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            continue;
        if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            close(descriptor); // its run still goes on
            continue;
        }
        const int lock = dup(descriptor); // held until the directory is gone
        empty_directory(descriptor);
        removed += unlinkat(dirfd(directory), name.c_str(), AT_REMOVEDIR) == 0;
        if (lock >= 0)
            close(lock);
    }
    closedir(directory);
    return removed;
}

long long free_room(const std::string& path)
{
    struct statvfs status;
    if (statvfs(path.c_str(), &status) != 0)
        return -1;
    return static_cast<long long>(status.f_bavail) * static_cast<long long>(status.f_frsize);
}

} // namespace tarnvel
