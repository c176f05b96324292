// The settling of a child process on Linux, FreeBSD and other POSIX systems.
#include "system/child_setup.h"

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__linux__)
#include <sys/prctl.h>
#endif
#if defined(__FreeBSD__)
#include <sys/procctl.h>
#endif

// pipe2 and closefrom: in Linux's C library since 2.9 and 2.34, in FreeBSD's
// since 10 and 8; elsewhere their POSIX equivalents are taken.
#if defined(__FreeBSD__) || defined(__linux__)
#define TARNVEL_HAS_PIPE2 1
#else
#define TARNVEL_HAS_PIPE2 0
#endif
#if defined(__FreeBSD__) ||                                                                        \
    (defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34)))
#define TARNVEL_HAS_CLOSEFROM 1
#else
#define TARNVEL_HAS_CLOSEFROM 0
#endif

namespace tarnvel {

bool open_private_pipe(int ends[2])
{
#if TARNVEL_HAS_PIPE2
    return pipe2(ends, O_CLOEXEC) == 0;
#else
    if (pipe(ends) != 0)
        return false;
    if (fcntl(ends[0], F_SETFD, FD_CLOEXEC) == 0 && fcntl(ends[1], F_SETFD, FD_CLOEXEC) == 0)
        return true;
    close(ends[0]);
    close(ends[1]);
    return false;
#endif
}

int open_null_device()
{
    return open("/dev/null", O_RDONLY | O_CLOEXEC);
}

void close_descriptors_above_standard()
{
#if TARNVEL_HAS_CLOSEFROM
    closefrom(3);
#else
    long most = sysconf(_SC_OPEN_MAX);
    if (most < 0 || most > 1 << 20)
        most = 1 << 20;
    for (long descriptor = 3; descriptor < most; ++descriptor)
        close(static_cast<int>(descriptor));
#endif
}

long own_process_number()
{
    return static_cast<long>(getpid());
}

bool die_with_parent(long parent)
{
#if defined(PR_SET_PDEATHSIG)
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        return false;
#elif defined(PROC_PDEATHSIG_CTL)
    int signal_number = SIGKILL;
    if (procctl(P_PID, 0, PROC_PDEATHSIG_CTL, &signal_number) != 0)
        return false;
#endif
    // The parent may have ended before the request was made.
    return static_cast<long>(getppid()) == parent;
}

bool limit_file_size(long long bytes)
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return false;
    // A hard limit is lowered, never raised.
    if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > static_cast<rlim_t>(bytes))
        limit.rlim_max = static_cast<rlim_t>(bytes);
    limit.rlim_cur = limit.rlim_max;
    // signal() fails only for a signal number the system does not have.
    (void)std::signal(SIGXFSZ, SIG_IGN);
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

} // namespace tarnvel
