// Replacing a file in one step and locking a file, for POSIX systems
// (mkstemp, fsync, rename, flock).
#include "system/replacing_file.h"

#include <cerrno>
#include <csignal>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnvel {

namespace {

// Writes all `size` bytes to `descriptor`; false when a write fails.
bool write_all(int descriptor, const char* bytes, std::size_t size)
{
    // A file grown past the process's size limit fails with EFBIG, as a full
    // disk fails with ENOSPC, instead of ending the program.
    (void)std::signal(SIGXFSZ, SIG_IGN); // cannot fail for this signal
    while (size > 0) {
        const ssize_t wrote = write(descriptor, bytes, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        bytes += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return true;
}

} // namespace

bool replace_file(const std::string& path, const char* bytes, std::size_t size)
{
    const std::string pattern = path + ".tmp.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        return false;
    const bool written = fchmod(descriptor, 0644) == 0 && write_all(descriptor, bytes, size) &&
                         fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    if (written && closed && rename(name.data(), path.c_str()) == 0)
        return true;
    unlink(name.data());
    return false;
}

void remove_left_temporaries(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix =
        (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp.";
    DIR* listing = opendir(directory.c_str());
    if (listing == nullptr)
        return;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0 && name.size() == prefix.size() + 6)
            unlink((directory + "/" + name).c_str());
    }
    closedir(listing);
}

bool remove_file(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

file_lock::~file_lock()
{
    if (descriptor_ >= 0)
        close(descriptor_);
}

bool file_lock::take(const std::string& path, bool wait)
{
    if (descriptor_ >= 0)
        return true;
    int flags = O_RDWR | O_CREAT | O_NOCTTY;
#if defined(O_CLOEXEC)
    flags |= O_CLOEXEC;
#endif
    const int descriptor = open(path.c_str(), flags, 0644);
    if (descriptor < 0)
        return false;
    int locked;
    do
        locked = flock(descriptor, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

} // namespace tarnvel
