// Files that others read while they are replaced, on POSIX systems: a file
// written whole beside its place and renamed into it in one step, and an
// exclusive lock on a file, held by one process at a time. For the CGI
// program; not built for Windows.
#ifndef TARNVEL_SYSTEM_REPLACING_FILE_H
#define TARNVEL_SYSTEM_REPLACING_FILE_H

#include <cstddef>
#include <string>

namespace tarnvel {

// Puts `size` bytes at `bytes` in place as the file `path`: written to a
// temporary file "<path>.tmp.XXXXXX" created afresh beside it (mode 0644),
// flushed to the disk, then renamed over `path`, so that a reader sees the
// old file or the new one, never a part. Returns true when the new file is
// in place; on any failure (a full disk, a file too large) the temporary
// file is removed and `path` is as it was.
bool replace_file(const std::string& path, const char* bytes, std::size_t size);

// Removes the temporary files that replace_file(`path`, ...) left behind
// when it was stopped before it could (those named "<path>.tmp.*"); only
// for a caller that knows no replace_file of `path` is under way.
void remove_left_temporaries(const std::string& path);

// Removes the file `path`; false when there was none or it could not be
// removed.
bool remove_file(const std::string& path);

// An exclusive lock on the file `path` (created, mode 0644, where it does
// not exist), held until the object goes or the process ends, however it
// ends.
class file_lock {
public:
    file_lock() = default;
    ~file_lock();
    file_lock(const file_lock&) = delete;
    file_lock& operator=(const file_lock&) = delete;

    // Takes the lock; with `wait`, waits for whoever holds it, else gives
    // up at once. True when it is held now.
    bool take(const std::string& path, bool wait);

    bool held() const { return descriptor_ >= 0; }

private:
    int descriptor_ = -1;
};

} // namespace tarnvel

#endif
