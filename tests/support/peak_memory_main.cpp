// peak_memory COMMAND [ARGUMENT...]: runs the command and prints on standard
// error "peak KiB: N", the most resident memory it used, then exits with its
// status. A small process of its own starts it, so that the memory of the
// process that asks is not counted in.
#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnvel {

} // namespace tarnvel

int main(int argc, char** argv)
{
    using namespace tarnvel;
    if (argc < 2)
        return 2;
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return 2;
    std::fprintf(stderr, "peak KiB: %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
