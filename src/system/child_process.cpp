// private_directory, run_slot and run_child on POSIX systems.
#include "system/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnvel {

namespace {

volatile std::sig_atomic_t terminate_requested = 0;
volatile pid_t running_child = 0;

extern "C" void request_termination(int)
{
    terminate_requested = 1;
    const pid_t child = running_child;
    if (child > 0) {
        kill(-child, SIGKILL);
        kill(child, SIGKILL);
    }
}

double seconds_now()
{
    struct timespec now;
    (void)clock_gettime(CLOCK_MONOTONIC, &now); // a clock every POSIX system has
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

private_directory::private_directory(const std::string& parent, const char* prefix)
{
    std::string pattern = parent + "/" + prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr)
        path_ = buffer.data();
}

bool private_directory::write_file(const char* name, const std::string& bytes) const
{
    const std::string file = path_ + "/" + name;
    const int descriptor =
        open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    return close(descriptor) == 0 && written == bytes.size();
}

bool private_directory::link_file(const char* name, const std::string& target) const
{
    return symlink(target.c_str(), (path_ + "/" + name).c_str()) == 0;
}

void private_directory::remove()
{
    if (path_.empty())
        return;
    if (DIR* directory = opendir(path_.c_str())) {
        std::vector<std::string> names;
        while (const struct dirent* entry = readdir(directory))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        closedir(directory);
        for (const std::string& name : names)
            unlink((path_ + "/" + name).c_str());
    }
    rmdir(path_.c_str());
    path_.clear();
}

run_slot::run_slot(const std::string& directory, int slots)
{
    mkdir(directory.c_str(), 0700);
    for (int n = 0; n < slots && descriptor_ < 0; ++n) {
        const std::string file = directory + "/slot." + std::to_string(n);
        const int descriptor = open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor < 0)
            continue;
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            descriptor_ = descriptor;
        else
            close(descriptor);
    }
}

run_slot::~run_slot()
{
    if (descriptor_ >= 0)
        close(descriptor_); // which lets go of the lock
}

bool start_detached(const std::string& program, const char* argument)
{
    // Between fork and exec only calls that are safe in a child of a
    // process with threads; the intermediate child ends at once, so that
    // the program's parent is init and nobody has to wait for it.
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0)
            _exit(grandchild < 0 ? 1 : 0);
        for (const int signal_number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
            (void)signal(signal_number, SIG_DFL);
        const int null_device = open("/dev/null", O_RDWR);
        if (null_device < 0 || dup2(null_device, 0) < 0 || dup2(null_device, 1) < 0 ||
            dup2(null_device, 2) < 0)
            _exit(127);
        execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    pid_t waited;
    do
        waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    return waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

child_outcome run_child(const std::string& program, const std::string& directory, int seconds)
{
    child_outcome outcome;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0)
        return outcome;
    const pid_t child = fork();
    if (child < 0) {
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        return outcome;
    }
    if (child == 0) {
        // A process group of its own, so that a kill reaches whatever it starts.
        setpgid(0, 0);
        // signal() fails only for a signal number the system does not have.
        for (const int signal_number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
            (void)signal(signal_number, SIG_DFL);
        const int null_device = open("/dev/null", O_RDONLY);
        if (null_device < 0 || dup2(null_device, 0) < 0 || dup2(pipe_ends[1], 1) < 0 ||
            dup2(pipe_ends[1], 2) < 0 || chdir(directory.c_str()) != 0)
            _exit(127);
        close(pipe_ends[0]);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(child, child);
    running_child = child;
    close(pipe_ends[1]);
    if (terminate_requested)
        kill(-child, SIGKILL);
    const double deadline = seconds_now() + seconds;
    bool open_pipe = true;
    bool timed_out = false;
    while (open_pipe) {
        const double left = deadline - seconds_now();
        if (left <= 0) {
            timed_out = true;
            kill(-child, SIGKILL);
            break;
        }
        struct pollfd wait_for = {pipe_ends[0], POLLIN, 0};
        const int ready = poll(&wait_for, 1, static_cast<int>(left * 1000) + 1);
        if (ready < 0 && errno == EINTR) {
            if (terminate_requested)
                break;
            continue;
        }
        if (ready <= 0)
            continue;
        char chunk[4096];
        const ssize_t got = read(pipe_ends[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            open_pipe = false;
            break;
        }
        const std::size_t room = max_console - outcome.console.size();
        outcome.console.append(
            chunk, static_cast<std::size_t>(got) < room ? static_cast<std::size_t>(got) : room);
    }
    close(pipe_ends[0]);
    // The child has closed its console (or must go): wait for it to end,
    // until the deadline.
    int status = 0;
    for (;;) {
        if (terminate_requested || timed_out) {
            kill(-child, SIGKILL);
            kill(child, SIGKILL);
        }
        const pid_t ended = waitpid(child, &status, terminate_requested || timed_out ? 0 : WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR))
            break;
        if (ended == 0 && seconds_now() >= deadline)
            timed_out = true;
        else if (ended == 0)
            usleep(5000);
    }
    running_child = 0;
    if (terminate_requested) {
        outcome.how = child_outcome::stopped;
    } else if (timed_out) {
        outcome.how = child_outcome::timed_out;
    } else {
        outcome.how = child_outcome::exited;
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return outcome;
}

void install_termination_handler()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = request_termination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait is cut short
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal_number, &action, nullptr);
    (void)std::signal(SIGPIPE, SIG_IGN); // fails only for an unknown signal
}

bool termination_requested()
{
    return terminate_requested != 0;
}

bool write_out(const char* bytes, std::size_t length)
{
    while (length > 0) {
        if (terminate_requested)
            return false;
        const ssize_t n = ::write(1, bytes, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

long long read_standard_input(char* buffer, std::size_t count)
{
    for (;;) {
        const ssize_t got = ::read(0, buffer, count);
        if (got >= 0 || errno != EINTR || terminate_requested)
            return got;
    }
}

} // namespace tarnvel
