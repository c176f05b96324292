// private_directory, run_slot and run_child on POSIX systems.
#include "system/child_process.h"

#include <cerrno>
#include <climits>
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

#include "system/child_setup.h"

namespace tarnvel {

namespace {

volatile std::sig_atomic_t terminate_requested = 0;
volatile pid_t running_child = 0;
double transfer_deadline = 0; // 0: none
bool transfer_late = false;

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

// Waits until `descriptor` is ready for `events` or the transfer limit has
// passed; false, noting the latter, when it has.
bool await_transfer(int descriptor, short events)
{
    if (transfer_deadline == 0)
        return true;
    for (;;) {
        const double left = transfer_deadline - seconds_now();
        if (left <= 0) {
            transfer_late = true;
            return false;
        }
        struct pollfd wait_for = {descriptor, events, 0};
        const int ready = poll(&wait_for, 1, static_cast<int>(left * 1000) + 1);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true; // the read or write that follows reports it
        if (terminate_requested)
            return false;
    }
}

} // namespace

private_directory::private_directory(const std::string& parent, const char* prefix)
{
    std::string pattern = parent + "/" + prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        return;
    path_ = buffer.data();
    lock_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (lock_ < 0 || flock(lock_, LOCK_EX | LOCK_NB) != 0)
        remove(); // unlocked, a later request might take it for abandoned
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
    if (lock_ >= 0)
        close(lock_);
    lock_ = -1;
}

run_slot::run_slot(const std::string& directory, int slots, int wait_seconds)
{
    std::vector<int> files;
    for (int n = 0; n < slots && !failed_; ++n) {
        const std::string file = directory + "/slot." + std::to_string(n);
        const int descriptor = open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        struct stat status;
        if (descriptor >= 0)
            files.push_back(descriptor);
        failed_ = descriptor < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
                  status.st_uid != geteuid();
    }
    const double deadline = seconds_now() + wait_seconds;
    while (!failed_ && descriptor_ < 0) {
        for (std::size_t n = 0; n < files.size() && descriptor_ < 0 && !failed_; ++n) {
            if (flock(files[n], LOCK_EX | LOCK_NB) == 0)
                descriptor_ = files[n];
            else
                failed_ = errno != EWOULDBLOCK && errno != EINTR;
        }
        if (descriptor_ >= 0 || terminate_requested || seconds_now() >= deadline)
            break;
        usleep(20000); // a run of the demo takes some milliseconds
    }
    for (const int descriptor : files)
        if (descriptor != descriptor_)
            close(descriptor);
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

child_outcome run_child(const std::string& program, const std::string& directory, int seconds,
                        long long file_size_limit)
{
    child_outcome outcome;
    int pipe_ends[2];
    if (!open_private_pipe(pipe_ends))
        return outcome;
    const long parent = own_process_number();
    const pid_t child = fork();
    if (child < 0) {
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        return outcome;
    }
    if (child == 0) {
        // A process group of its own, so that a kill reaches whatever it
        // starts; and an end with this process, however that ends.
        setpgid(0, 0);
        if (!die_with_parent(parent))
            _exit(127);
        // signal() fails only for a signal number the system does not have.
        for (const int signal_number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
            (void)signal(signal_number, SIG_DFL);
        const int null_device = open_null_device();
        if (null_device < 0 || dup2(null_device, 0) < 0 || dup2(pipe_ends[1], 1) < 0 ||
            dup2(pipe_ends[1], 2) < 0 || chdir(directory.c_str()) != 0 ||
            (file_size_limit > 0 && !limit_file_size(file_size_limit)))
            _exit(127);
        // The pipe's ends and the null device as opened, and whatever this
        // process inherited from its web server: only 0, 1 and 2 go on.
        close_descriptors_above_standard();
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

void limit_transfers(int seconds)
{
    transfer_deadline = seconds_now() + seconds;
    transfer_late = false;
}

bool transfer_timed_out()
{
    return transfer_late;
}

bool write_out(const char* bytes, std::size_t length)
{
    while (length > 0) {
        if (terminate_requested || !await_transfer(1, POLLOUT))
            return false;
        // Under a limit, no more than a pipe takes at once after poll, so
        // that the write does not block beyond it.
        const std::size_t most =
            transfer_deadline != 0 && length > PIPE_BUF ? std::size_t{PIPE_BUF} : length;
        const ssize_t n = ::write(1, bytes, most);
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
        if (!await_transfer(0, POLLIN))
            return -1;
        const ssize_t got = ::read(0, buffer, count);
        if (got >= 0 || errno != EINTR || terminate_requested)
            return got;
    }
}

} // namespace tarnvel
