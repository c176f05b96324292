// settle_standard_streams and processor_count for POSIX systems and for
// Windows; the CPU set through sched_getaffinity on Linux and
// cpuset_getaffinity on FreeBSD.
#include "system/process.h"

#include <cstdio>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sched.h>
#elif defined(__FreeBSD__)
#include <sys/cpuset.h>
#include <sys/param.h>
#endif

namespace tarnvel {

#if defined(_WIN32)

void settle_standard_streams()
{
    // A stream without a handle behind it gets the null device.
    std::FILE* const streams[3] = {stdin, stdout, stderr};
    const char* const modes[3] = {"r", "w", "w"};
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (_get_osfhandle(descriptor) < 0)
            std::freopen("NUL", modes[descriptor], streams[descriptor]);
    }
}

#else

void settle_standard_streams()
{
    // open() takes the lowest free descriptor, so going up from 0 fills each
    // closed one in turn.
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            dup2(opened, descriptor);
            close(opened);
        }
    }
    // signal() fails only for a signal number the system does not have.
    (void)std::signal(SIGPIPE, SIG_IGN);
    (void)std::signal(SIGXFSZ, SIG_IGN);
}
#endif

void console_write(const char* text)
{
    (void)std::fputs(text, stdout);
}

void console_put(char c)
{
    (void)std::fputc(c, stdout);
}

namespace {

// The processors of the CPU set this process may run on (set by taskset,
// cpuset or a container); 0 where the system does not tell.
int processors_in_cpu_set()
{
#if defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    // Fails (EINVAL) only on a machine of more processors than a cpu_set_t
    // holds; the machine's count is taken then.
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 0;
    return CPU_COUNT(&set);
#elif defined(__FreeBSD__)
    cpuset_t set;
    CPU_ZERO(&set);
    if (cpuset_getaffinity(CPU_LEVEL_WHICH, CPU_WHICH_PID, -1, sizeof set, &set) != 0)
        return 0;
    return CPU_COUNT(&set);
#else
    return 0;
#endif
}

} // namespace

int processor_count()
{
    const int in_set = processors_in_cpu_set();
    if (in_set > 0)
        return in_set;
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(count);
}

} // namespace tarnvel
