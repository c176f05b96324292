// Loaded into the program by an end-to-end test (LD_PRELOAD): right after
// the first open of "quasar_list.dat" returns, it renames
// "quasar_list.next" over that name, as a site that publishes a new
// catalogue would, at the worst moment for a reader that opens the
// catalogue by name again.
#include <dlfcn.h>
#include <fcntl.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<bool> replaced{false};

bool names_the_catalogue(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return std::strcmp(slash != nullptr ? slash + 1 : path, "quasar_list.dat") == 0;
}

void replace_after(const char* path, bool opened)
{
    if (opened && names_the_catalogue(path) && !replaced.exchange(true))
        std::rename("quasar_list.next", "quasar_list.dat");
}

template <typename Function>
Function next_definition(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using open_function = int (*)(const char*, int, ...);
using fopen_function = std::FILE* (*)(const char*, const char*);

// Opens `path` with `real`, then replaces the catalogue if this was its
// first open.
int open_then_replace(open_function real, const char* path, int flags, va_list arguments)
{
    const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
    const int descriptor = real(path, flags, mode);
    replace_after(path, descriptor >= 0);
    return descriptor;
}

// The same for the streams of the C library.
std::FILE* fopen_then_replace(fopen_function real, const char* path, const char* mode)
{
    std::FILE* file = real(path, mode);
    replace_after(path, file != nullptr);
    return file;
}

} // namespace

extern "C" int open(const char* path, int flags, ...)
{
    static const auto real = next_definition<open_function>("open");
    va_list arguments;
    va_start(arguments, flags);
    const int descriptor = open_then_replace(real, path, flags, arguments);
    va_end(arguments);
    return descriptor;
}

extern "C" int open64(const char* path, int flags, ...)
{
    static const auto real = next_definition<open_function>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const int descriptor = open_then_replace(real, path, flags, arguments);
    va_end(arguments);
    return descriptor;
}

extern "C" std::FILE* fopen(const char* path, const char* mode)
{
    static const auto real = next_definition<fopen_function>("fopen");
    return fopen_then_replace(real, path, mode);
}

extern "C" std::FILE* fopen64(const char* path, const char* mode)
{
    static const auto real = next_definition<fopen_function>("fopen64");
    return fopen_then_replace(real, path, mode);
}
