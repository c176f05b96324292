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

mode_t mode_argument(int flags, va_list arguments)
{
    return (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next_definition<int (*)(const char*, int, ...)>("open");
    const int descriptor = real(path, flags, mode);
    replace_after(path, descriptor >= 0);
    return descriptor;
}

extern "C" int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next_definition<int (*)(const char*, int, ...)>("open64");
    const int descriptor = real(path, flags, mode);
    replace_after(path, descriptor >= 0);
    return descriptor;
}

extern "C" std::FILE* fopen(const char* path, const char* mode)
{
    static const auto real = next_definition<std::FILE* (*)(const char*, const char*)>("fopen");
    std::FILE* file = real(path, mode);
    replace_after(path, file != nullptr);
    return file;
}

extern "C" std::FILE* fopen64(const char* path, const char* mode)
{
    static const auto real = next_definition<std::FILE* (*)(const char*, const char*)>("fopen64");
    std::FILE* file = real(path, mode);
    replace_after(path, file != nullptr);
    return file;
}
