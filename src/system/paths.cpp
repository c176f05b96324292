// Paths on POSIX systems.
#include "system/paths.h"

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace tarnvel {

std::string temporary_directory()
{
    const char* chosen = std::getenv("TMPDIR");
    return chosen != nullptr && *chosen != '\0' ? chosen : "/tmp";
}

std::string absolute_path(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr)
        return path;
    return std::string(here) + "/" + path;
}

std::string own_directory(const char* argv0)
{
    const std::string path = own_program(argv0);
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string own_program(const char* argv0)
{
    char resolved[4096];
    bool found = false;
#if defined(__linux__)
    const ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    if (length > 0) {
        resolved[length] = '\0';
        found = true;
    }
#endif
    if (!found)
        found = argv0 != nullptr && realpath(argv0, resolved) != nullptr;
    return found ? std::string(resolved) : std::string();
}

bool is_writable_directory(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           access(path.c_str(), W_OK | X_OK) == 0;
}

bool is_readable_file(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

bool is_executable(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

} // namespace tarnvel
