// file_identity on POSIX systems, from stat's device, inode, size and times.
#include "system/file_identity.h"

#include <sys/stat.h>

namespace tarnvel {

file_identity identify_file(const std::string& path)
{
    file_identity identity;
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return identity;
    identity.found = true;
    identity.device = static_cast<unsigned long long>(status.st_dev);
    identity.inode = static_cast<unsigned long long>(status.st_ino);
    identity.size = static_cast<long long>(status.st_size);
    // st_mtim and st_ctim: POSIX.1-2008, on Linux and FreeBSD.
    identity.modified_seconds = static_cast<long long>(status.st_mtim.tv_sec);
    identity.modified_nanoseconds = static_cast<long long>(status.st_mtim.tv_nsec);
    identity.changed_seconds = static_cast<long long>(status.st_ctim.tv_sec);
    identity.changed_nanoseconds = static_cast<long long>(status.st_ctim.tv_nsec);
    return identity;
}

bool same_file(const file_identity& a, const file_identity& b)
{
    return a.found && b.found && a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified_seconds == b.modified_seconds &&
           a.modified_nanoseconds == b.modified_nanoseconds &&
           a.changed_seconds == b.changed_seconds && a.changed_nanoseconds == b.changed_nanoseconds;
}

} // namespace tarnvel
