// The identity of a file at one moment: enough to tell that it was
// replaced or rewritten in place between two looks. The functions are for
// POSIX systems; input_file::identify fills the same record everywhere.
#ifndef TARNVEL_SYSTEM_FILE_IDENTITY_H
#define TARNVEL_SYSTEM_FILE_IDENTITY_H

#include <string>

namespace tarnvel {

struct file_identity {
    bool found = false; // false when the file could not be examined
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modified_seconds = 0, modified_nanoseconds = 0;
    long long changed_seconds = 0, changed_nanoseconds = 0; // status change
};

// The identity of the file `path` names (its links followed).
file_identity identify_file(const std::string& path);

// True when both looks found the same file, unchanged.
bool same_file(const file_identity& a, const file_identity& b);

} // namespace tarnvel

#endif
