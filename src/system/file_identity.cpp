// file_identity on POSIX systems, from stat's device, inode, size and times.
#include "system/file_identity.h"

#include <sys/stat.h>

namespace tarnvel {

file_identity identify_file(const std::string& path)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return file_identity();
    return identity_of(status);
}

bool same_file(const file_identity& a, const file_identity& b)
{
    return a.found && b.found && a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified_seconds == b.modified_seconds &&
           a.modified_nanoseconds == b.modified_nanoseconds &&
           a.changed_seconds == b.changed_seconds && a.changed_nanoseconds == b.changed_nanoseconds;
}

} // namespace tarnvel
