// page_file for POSIX systems and for Windows. These are the program's only
// file-system calls beyond the standard library's: creating a file that
// must not exist yet, giving it the page's permission bits, replacing the
// page in one step, and the signal handling that removes an unfinished page.
#include "report/page_file.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The temporary file a signal must remove: its name, and whether it is there.
char pending_name[page_file::max_name];
volatile std::sig_atomic_t pending = 0;

// Attempts at a fresh name before giving up; each one that fails found a
// file of that name already there.
constexpr unsigned max_attempts = 16;

std::uint64_t mixed(std::uint64_t x)
{
    // The finaliser of splitmix64: every bit of the input moves every bit of
    // the output.
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ull;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t process_number();

// "<page_name>.tmp." and ten letters and digits that no other run at the
// same time picks: they mix this process's number, the time, an address
// that varies from run to run, and the attempt.
void make_name(char* out, const char* page_name, unsigned attempt)
{
    int local = 0;
    std::uint64_t seed = mixed(process_number());
    seed = mixed(seed ^ static_cast<std::uint64_t>(
                            std::chrono::steady_clock::now().time_since_epoch().count()));
    seed = mixed(seed ^ reinterpret_cast<std::uintptr_t>(&local));
    seed = mixed(seed + attempt);
    const std::size_t length = std::strlen(page_name);
    std::memcpy(out, page_name, length);
    std::memcpy(out + length, ".tmp.", 5);
    char* at = out + length + 5;
    const char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 10; ++i, seed /= 36)
        *at++ = alphabet[seed % 36];
    *at = '\0';
}

// How an exclusive creation went.
enum class created { yes, exists, failed };

#if defined(_WIN32)

std::uint64_t process_number()
{
    return GetCurrentProcessId();
}

extern "C" void remove_pending_page(int signal_number)
{
    // The file is open, but shared for deletion: it goes once the program,
    // which the signal ends, closes it.
    if (pending != 0)
        DeleteFileA(pending_name);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void install_cleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    std::signal(SIGINT, remove_pending_page);
    std::signal(SIGTERM, remove_pending_page);
}

// Nothing to hold on Windows, where a signal handler runs apart.
class signals_held {
public:
    signals_held() {}
    ~signals_held() {}
};

// Creates `name`, which must not exist, as a descriptor for writing text.
created create_descriptor(const char* name, const char*, int& descriptor)
{
    HANDLE handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS
                   ? created::exists
                   : created::failed;
    // A text stream, which writes every line feed as CR LF.
    descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_TEXT);
    if (descriptor != -1)
        return created::yes;
    CloseHandle(handle);
    DeleteFileA(name);
    return created::failed;
}

std::FILE* stream_of(int descriptor)
{
    return _fdopen(descriptor, "w");
}

void close_descriptor(int descriptor)
{
    _close(descriptor);
}

bool replace(const char* from, const char* to)
{
    // A page that another program (another run, a web server) holds open
    // cannot be replaced until it lets go: try again for about a second.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
            return true;
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
            error != ERROR_LOCK_VIOLATION)
            return false;
        Sleep(10);
    }
    return false;
}

bool may_replace_page(const char* page_name)
{
    // Judged by the page's attributes, without opening it, which would
    // stand in the way of another run replacing it at the same time.
    const DWORD attributes = GetFileAttributesA(page_name);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

void remove_file(const char* name)
{
    DeleteFileA(name);
}

#else

std::uint64_t process_number()
{
    return static_cast<std::uint64_t>(getpid());
}

const int cleanup_signals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void remove_pending_page(int signal_number)
{
    if (pending != 0)
        unlink(pending_name);
    // The handler was installed for one delivery: raising the signal again
    // ends the program as the signal would have.
    raise(signal_number);
}

void install_cleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const int signal_number : cleanup_signals) {
        struct sigaction previous;
        if (sigaction(signal_number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue; // a signal the caller chose to ignore stays ignored
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = remove_pending_page;
        sigemptyset(&action.sa_mask);
        action.sa_flags = static_cast<int>(SA_RESETHAND);
        sigaction(signal_number, &action, nullptr);
    }
}

// Holds back the cleanup signals while the pending file changes hands, so
// that a signal finds either no file or one it knows of. (The page is
// written after every other thread has ended.)
class signals_held {
public:
    signals_held()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal_number : cleanup_signals)
            sigaddset(&held, signal_number);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~signals_held() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    signals_held(const signals_held&) = delete;
    signals_held& operator=(const signals_held&) = delete;

private:
    sigset_t previous_;
};

// Creates `name`, which must not exist, as a descriptor for writing.
created create_descriptor(const char* name, const char* page_name, int& descriptor)
{
    int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY;
#if defined(O_NOFOLLOW)
    flags |= O_NOFOLLOW;
#endif
#if defined(O_CLOEXEC)
    flags |= O_CLOEXEC;
#endif
    // A new file gets 0666 less the umask, as a new page would.
    descriptor = open(name, flags, 0666);
    if (descriptor < 0)
        return errno == EEXIST ? created::exists : created::failed;
    // Where a page exists, the new one keeps its permission bits.
    struct stat existing;
    if (stat(page_name, &existing) != 0 || !S_ISREG(existing.st_mode) ||
        fchmod(descriptor, existing.st_mode & 0777) == 0)
        return created::yes;
    close(descriptor);
    unlink(name);
    return created::failed;
}

std::FILE* stream_of(int descriptor)
{
    return fdopen(descriptor, "w");
}

void close_descriptor(int descriptor)
{
    close(descriptor);
}

bool replace(const char* from, const char* to)
{
    return std::rename(from, to) == 0;
}

bool may_replace_page(const char* page_name)
{
    if (access(page_name, F_OK) != 0)
        return errno == ENOENT;
    struct stat existing;
    return stat(page_name, &existing) == 0 && !S_ISDIR(existing.st_mode) &&
           access(page_name, W_OK) == 0;
}

void remove_file(const char* name)
{
    unlink(name);
}

#endif

// Creates `name` exclusively and opens a stream on it.
created create_exclusively(const char* name, const char* page_name, std::FILE*& stream)
{
    int descriptor = -1;
    const created result = create_descriptor(name, page_name, descriptor);
    if (result != created::yes)
        return result;
    stream = stream_of(descriptor);
    if (stream != nullptr)
        return created::yes;
    close_descriptor(descriptor);
    remove_file(name);
    return created::failed;
}

} // namespace

bool page_file::may_replace(const char* page_name)
{
    return may_replace_page(page_name);
}

bool page_file::create(const char* page_name)
{
    if (std::strlen(page_name) > 64)
        return false;
    page_name_ = page_name;
    install_cleanup();
    for (unsigned attempt = 0; attempt < max_attempts; ++attempt) {
        make_name(name_, page_name, attempt);
        signals_held hold;
        std::memcpy(pending_name, name_, sizeof pending_name);
        switch (create_exclusively(name_, page_name, stream_)) {
        case created::yes:
            pending = 1;
            return true;
        case created::exists:
            continue;
        case created::failed:
            return false;
        }
    }
    return false;
}

bool page_file::publish(bool written)
{
    const bool closed = stream_ != nullptr && std::fclose(stream_) == 0;
    stream_ = nullptr;
    bool in_place = false;
    {
        signals_held hold;
        if (written && closed)
            in_place = replace(name_, page_name_);
        if (!in_place)
            remove_file(name_);
        pending = 0;
    }
    return in_place;
}

void page_file::discard()
{
    publish(false);
}
