// The identity of a file at one moment: enough to tell that it was
// replaced or rewritten in place between two looks. The functions are for
// POSIX systems; input_file::identify fills the same record everywhere.
#ifndef TARNVEL_SYSTEM_FILE_IDENTITY_H
#define TARNVEL_SYSTEM_FILE_IDENTITY_H

#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace tarnvel {

struct file_identity {
    bool found = false; // false when the file could not be examined
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modified_seconds = 0, modified_nanoseconds = 0;
    long long changed_seconds = 0, changed_nanoseconds = 0; // status change
};

#if !defined(_WIN32)
// The identity that stat or fstat gave in `status`.
inline file_identity identity_of(const struct stat& status)
{
    file_identity identity;
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
#endif

// The identity of the file `path` names (its links followed).
file_identity identify_file(const std::string& path);

// True when both looks found the same file, unchanged.
bool same_file(const file_identity& a, const file_identity& b);

} // namespace tarnvel

#endif
