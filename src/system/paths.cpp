// Paths on POSIX systems.
#include "system/paths.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "system/platform_limits.h"

#include <sys/stat.h>
#include <unistd.h>
#if defined(__FreeBSD__)
#include <sys/sysctl.h>
#include <sys/types.h>
#endif

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
    char here[max_path_bytes];
    if (getcwd(here, sizeof here) == nullptr)
        return path;
    return std::string(here) + "/" + path;
}

namespace {

// `path` with its links followed and made absolute; empty when it names
// nothing.
std::string resolved_path(const char* path)
{
    char resolved[max_path_bytes];
    return realpath(path, resolved) != nullptr ? std::string(resolved) : std::string();
}

// This program's own file as the system tells it; empty where it cannot.
std::string path_from_system()
{
    char path[max_path_bytes];
#if defined(__linux__)
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    path[length] = '\0';
    return path;
#elif defined(__FreeBSD__)
    int name[] = {CTL_KERN, KERN_PROC, KERN_PROC_PATHNAME, -1}; // -1: this process
    std::size_t length = sizeof path;
    if (sysctl(name, 4, path, &length, nullptr, 0) != 0 || length == 0)
        return std::string();
    return resolved_path(path);
#else
    (void)path;
    return std::string();
#endif
}

// The search path when PATH is unset, as the system's execvp takes it.
std::string default_search_path()
{
    const std::size_t length = confstr(_CS_PATH, nullptr, 0);
    if (length == 0)
        return "/bin:/usr/bin";
    std::vector<char> path(length);
    (void)confstr(_CS_PATH, path.data(), length); // the length just asked for
    return path.data();
}

} // namespace

std::string started_program_path(const char* argv0, const char* search_path)
{
    if (argv0 == nullptr || *argv0 == '\0')
        return std::string();
    if (std::strchr(argv0, '/') != nullptr)
        return resolved_path(argv0);
    const std::string path = search_path != nullptr ? search_path : default_search_path();
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = path.find(':', begin);
        const std::string directory =
            path.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + argv0;
        if (is_executable(candidate))
            return resolved_path(candidate.c_str());
        if (end == std::string::npos)
            return std::string();
        begin = end + 1;
    }
}

std::string own_directory(const char* argv0)
{
    const std::string path = own_program(argv0);
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string own_program(const char* argv0)
{
    const std::string path = path_from_system();
    return path.empty() ? started_program_path(argv0, std::getenv("PATH")) : path;
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
