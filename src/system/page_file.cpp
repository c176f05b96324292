// page_file for POSIX systems and for Windows: finding the file the page
// stands for, creating a file that must not exist yet, giving it the
// replaced file's owner, group and permission bits, replacing that file in
// one step, and the signal handling that removes an unfinished page.
#include "system/page_file.h"

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

namespace tarnvel {

namespace {

// The temporary file a signal must remove: its name, and whether it is there.
char pending_name[page_file::max_temporary_name];
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

// "<target>.tmp." and suffix_length letters and digits that no other run at
// the same time picks: they mix this process's number, the time, an address
// that varies from run to run, and the attempt. `target` is shorter than
// page_file::max_path.
void make_name(char* out, const char* target, unsigned attempt)
{
    int local = 0;
    std::uint64_t seed = mixed(process_number());
    seed = mixed(seed ^ static_cast<std::uint64_t>(
                            std::chrono::steady_clock::now().time_since_epoch().count()));
    seed = mixed(seed ^ reinterpret_cast<std::uintptr_t>(&local));
    seed = mixed(seed + attempt);
    const std::size_t length = std::strlen(target);
    // The name is built in pieces and ended below.
    // NOLINTBEGIN(bugprone-not-null-terminated-result)
    std::memcpy(out, target, length);
    std::memcpy(out + length, ".tmp.", 5);
    // NOLINTEND(bugprone-not-null-terminated-result)
    char* at = out + length + 5;
    const char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (std::size_t i = 0; i < page_file::suffix_length; ++i, seed /= 36)
        *at++ = alphabet[seed % 36];
    *at = '\0';
}

// Copies `text` to `out` (max_path bytes); false when it does not fit.
bool copy_path(char* out, const char* text)
{
    const std::size_t length = std::strlen(text);
    if (length >= page_file::max_path)
        return false;
    std::memcpy(out, text, length + 1);
    return true;
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
    // Neither fails for a signal that has just been delivered.
    (void)std::signal(signal_number, SIG_DFL);
    (void)std::raise(signal_number);
}

void install_cleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // signal() fails only for a signal number the system does not have.
    (void)std::signal(SIGINT, remove_pending_page);
    (void)std::signal(SIGTERM, remove_pending_page);
}

// Nothing to hold on Windows, where a signal handler runs apart.
class signals_held {
public:
    signals_held() {}
    ~signals_held() {}
};

// The page's own name: links are not followed on Windows.
bool find_target(const char* page_name, char* target)
{
    return copy_path(target, page_name);
}

bool may_replace(const char* target)
{
    // Judged by the page's attributes, without opening it, which would
    // stand in the way of another run replacing it at the same time.
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Creates `name`, which must not exist, as a descriptor for writing text.
created create_descriptor(const char* name, int& descriptor)
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

// Windows files have no owner, group and bits of this kind to carry over.
bool give_final_attributes(std::FILE*, const char*)
{
    return true;
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
    (void)raise(signal_number); // cannot fail for a signal just delivered
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

// Whether the program follows the link `path` (of status `link`) for this
// account. Its own rule, alike on every system whatever the kernel's: not
// in a sticky directory that others may write, unless the link is the
// account's own or the directory owner's (there, another account's link
// could send the page onto a file of this account's).
bool may_follow(const char* path, const struct stat& link)
{
    char directory[page_file::max_path];
    std::memcpy(directory, path, std::strlen(path) + 1);
    char* slash = std::strrchr(directory, '/');
    if (slash == nullptr)
        std::memcpy(directory, ".", 2);
    else
        slash[slash == directory ? 1 : 0] = '\0';
    struct stat holder;
    if (stat(directory, &holder) != 0)
        return false;
    const bool open_sticky = (holder.st_mode & S_ISVTX) != 0 && (holder.st_mode & S_IWOTH) != 0;
    return !open_sticky || link.st_uid == geteuid() || link.st_uid == holder.st_uid;
}

// The file `page_name` stands for: itself, or where its links lead. False
// for a link that may not be followed, a loop, or a path too long.
bool find_target(const char* page_name, char* target)
{
    char current[page_file::max_path];
    if (!copy_path(current, page_name))
        return false;
    for (int links = 0;; ++links) {
        struct stat status;
        if (lstat(current, &status) != 0)
            return errno == ENOENT && copy_path(target, current); // to be created
        if (!S_ISLNK(status.st_mode))
            return copy_path(target, current);
        if (links == max_symbolic_links || !may_follow(current, status))
            return false;
        char contents[page_file::max_path];
        const ssize_t length = readlink(current, contents, sizeof contents - 1);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof contents - 1)
            return false;
        contents[length] = '\0';
        // A relative target is relative to the link's own directory.
        const char* slash = std::strrchr(current, '/');
        const std::size_t kept = contents[0] == '/' || slash == nullptr
                                     ? 0
                                     : static_cast<std::size_t>(slash - current) + 1;
        if (kept + static_cast<std::size_t>(length) >= sizeof current)
            return false;
        std::memcpy(current + kept, contents, static_cast<std::size_t>(length) + 1);
    }
}

bool may_replace(const char* target)
{
    if (access(target, F_OK) != 0)
        return errno == ENOENT;
    struct stat existing;
    return stat(target, &existing) == 0 && !S_ISDIR(existing.st_mode) && access(target, W_OK) == 0;
}

// Creates `name`, which must not exist, as a descriptor for writing, open
// to its owner alone until publication.
created create_descriptor(const char* name, int& descriptor)
{
    int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY;
#if defined(O_NOFOLLOW)
    flags |= O_NOFOLLOW;
#endif
#if defined(O_CLOEXEC)
    flags |= O_CLOEXEC;
#endif
    descriptor = open(name, flags, 0600);
    if (descriptor < 0)
        return errno == EEXIST ? created::exists : created::failed;
    return created::yes;
}

std::FILE* stream_of(int descriptor)
{
    return fdopen(descriptor, "w");
}

void close_descriptor(int descriptor)
{
    close(descriptor);
}

// The bits a new file gets: 0666 less the umask.
mode_t new_file_bits()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Gives the finished page at `page` the owner, group and permission bits of
// `target` where it exists (as far as this account may), or the bits of a
// new file. The group is judged by what the file has afterwards, not by
// the calls' results: a new file may have begun with the directory's group
// (FreeBSD, a setgid directory), which may or may not be the target's.
bool give_final_attributes(std::FILE* page, const char* target)
{
    const int descriptor = fileno(page);
    struct stat existing;
    if (stat(target, &existing) != 0 || !S_ISREG(existing.st_mode))
        return fchmod(descriptor, new_file_bits()) == 0;
    mode_t bits = existing.st_mode & 0777;
    // Either call may fail (another owner, a group this account is not in);
    // what the file then holds is read below.
    if (fchown(descriptor, existing.st_uid, existing.st_gid) != 0)
        (void)fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid);
    struct stat now;
    if (fstat(descriptor, &now) != 0)
        return false;
    if (now.st_gid != existing.st_gid) {
        // Another group than the replaced page's: it may read no more than
        // everyone may.
        const mode_t group = S_IRWXG;
        bits = (bits & ~group) | (bits & group & ((bits & S_IRWXO) << 3));
    }
    return fchmod(descriptor, bits) == 0;
}

bool replace(const char* from, const char* to)
{
    return std::rename(from, to) == 0;
}

void remove_file(const char* name)
{
    unlink(name);
}

#endif

// Creates `name` exclusively and opens a stream on it.
created create_exclusively(const char* name, std::FILE*& stream)
{
    int descriptor = -1;
    const created result = create_descriptor(name, descriptor);
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

page_file::~page_file()
{
    if (pending_)
        discard();
}

bool page_file::create(const char* page_name)
{
    if (!find_target(page_name, target_) || !may_replace(target_))
        return false;
    install_cleanup();
    for (unsigned attempt = 0; attempt < max_attempts; ++attempt) {
        make_name(name_, target_, attempt);
        signals_held hold;
        std::memcpy(pending_name, name_, sizeof pending_name);
        switch (create_exclusively(name_, stream_)) {
        case created::yes:
            pending = 1;
            pending_ = true;
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
    bool ready = written && stream_ != nullptr && std::fflush(stream_) == 0 &&
                 give_final_attributes(stream_, target_);
    ready = stream_ != nullptr && std::fclose(stream_) == 0 && ready;
    stream_ = nullptr;
    bool in_place = false;
    {
        signals_held hold;
        if (ready)
            in_place = replace(name_, target_);
        if (!in_place)
            remove_file(name_);
        pending = 0;
        pending_ = false;
    }
    return in_place;
}

void page_file::discard()
{
    publish(false);
}

} // namespace tarnvel
