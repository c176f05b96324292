// replace_file for Windows and for POSIX systems.
#include "report/file_replace.h"

#if defined(_WIN32)
#include <windows.h>

bool replace_file(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else
#include <cstdio>
#include <sys/stat.h>

bool replace_file(const char* from, const char* to)
{
    struct stat existing;
    if (stat(to, &existing) == 0 && chmod(from, existing.st_mode & 07777) != 0)
        return false;
    return std::rename(from, to) == 0;
}
#endif
