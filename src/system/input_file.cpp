// input_file for POSIX systems (open, pread, read) and for Windows
// (CreateFile, ReadFile with and without an offset).
#include "system/input_file.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnvel {

namespace {

// The most one system call is asked to read; both systems take a 32-bit
// count at most.
constexpr std::size_t max_read = std::size_t(1) << 30;

std::size_t capped(std::size_t count)
{
    return count < max_read ? count : max_read;
}

} // namespace

#if defined(_WIN32)

namespace {

HANDLE handle_of(std::intptr_t native)
{
    return reinterpret_cast<HANDLE>(native);
}

} // namespace

input_file::~input_file()
{
    if (native_ != -1)
        CloseHandle(handle_of(native_));
}

bool input_file::open(const char* name)
{
    // Others may read, write, rename and remove the file while it is open
    // here, as on POSIX systems. A directory does not open without
    // FILE_FLAG_BACKUP_SEMANTICS.
    const HANDLE handle =
        CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    native_ = reinterpret_cast<std::intptr_t>(handle);
    LARGE_INTEGER size;
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size) != 0)
        size_ = size.QuadPart;
    return true;
}

long long input_file::read_at(long long offset, char* buffer, std::size_t count) const
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(static_cast<unsigned long long>(offset) & 0xffffffffu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD got = 0;
    if (ReadFile(handle_of(native_), buffer, static_cast<DWORD>(capped(count)), &got, &at) != 0)
        return got;
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

bool input_file::identify(file_identity&) const
{
    return false;
}

long long input_file::read(char* buffer, std::size_t count)
{
    DWORD got = 0;
    if (ReadFile(handle_of(native_), buffer, static_cast<DWORD>(capped(count)), &got, nullptr) != 0)
        return got;
    const DWORD error = GetLastError();
    return error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE ? 0 : -1;
}

#else

input_file::~input_file()
{
    if (native_ != -1)
        close(static_cast<int>(native_));
}

bool input_file::open(const char* name)
{
    int flags = O_RDONLY | O_NOCTTY;
#if defined(O_CLOEXEC)
    flags |= O_CLOEXEC;
#endif
    int descriptor;
    do
        descriptor = ::open(name, flags);
    while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return false;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        return false;
    }
    native_ = descriptor;
    if (S_ISREG(status.st_mode))
        size_ = static_cast<long long>(status.st_size);
    return true;
}

long long input_file::read_at(long long offset, char* buffer, std::size_t count) const
{
    ssize_t got;
    do
        got = pread(static_cast<int>(native_), buffer, capped(count), static_cast<off_t>(offset));
    while (got < 0 && errno == EINTR);
    return got;
}

long long input_file::read(char* buffer, std::size_t count)
{
    ssize_t got;
    do
        got = ::read(static_cast<int>(native_), buffer, capped(count));
    while (got < 0 && errno == EINTR);
    return got;
}

bool input_file::identify(file_identity& identity) const
{
    struct stat status;
    if (native_ == -1 || fstat(static_cast<int>(native_), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    identity = identity_of(status);
    return true;
}

#endif

} // namespace tarnvel
