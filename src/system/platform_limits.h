// The platform's limits on file names, from its own headers: the longest
// path, and the most symbolic links followed from one name. Every other file
// takes them from here.
#ifndef TARNVEL_SYSTEM_PLATFORM_LIMITS_H
#define TARNVEL_SYSTEM_PLATFORM_LIMITS_H

#include <climits>
#include <cstddef>

#if !defined(_WIN32)
#include <sys/param.h>
#endif

namespace tarnvel {

// The bytes of the longest path the system takes, its ending null included:
// PATH_MAX of <limits.h> (Linux 4096, FreeBSD 1024, MinGW 260); 4096 on a
// system that sets no such limit.
#if defined(PATH_MAX)
constexpr std::size_t max_path_bytes = PATH_MAX;
#else
constexpr std::size_t max_path_bytes = 4096;
#endif

// The most symbolic links the program follows from one name: on Linux 40,
// the kernel's own limit, which no header a program may include states
// (glibc's MAXSYMLINKS, 20, is not the kernel's, and the program followed 40
// before: pages published through longer chains keep working); elsewhere
// MAXSYMLINKS of <sys/param.h> (FreeBSD 32), or SYMLOOP_MAX, or the least
// that POSIX allows. Windows has none to follow (links are not followed
// there).
#if defined(__linux__)
constexpr int max_symbolic_links = 40;
#elif defined(MAXSYMLINKS)
constexpr int max_symbolic_links = MAXSYMLINKS;
#elif defined(SYMLOOP_MAX)
constexpr int max_symbolic_links = SYMLOOP_MAX;
#elif defined(_POSIX_SYMLOOP_MAX)
constexpr int max_symbolic_links = _POSIX_SYMLOOP_MAX;
#else
constexpr int max_symbolic_links = 0;
#endif

} // namespace tarnvel

#endif
