// Running another program for a while, on POSIX systems: a private working
// directory of its own, a limit on how many such runs go on at once, and the
// child process itself with its console captured and a time limit. For the
// CGI program; not built for Windows.
#ifndef TARNVEL_SYSTEM_CHILD_PROCESS_H
#define TARNVEL_SYSTEM_CHILD_PROCESS_H

#include <string>

namespace tarnvel {

// A directory of its own, "<parent>/<prefix>XXXXXX" made with mkdtemp (mode
// 0700) and locked (flock) while the object holds it, so that
// remove_abandoned_directories (system/spool.h) leaves it alone; removed
// with everything in it when the object goes (its files, not
// subdirectories: none are made there).
class private_directory {
public:
    // Makes and locks the directory; path() is empty when that failed.
    private_directory(const std::string& parent, const char* prefix);
    ~private_directory() { remove(); }
    private_directory(const private_directory&) = delete;
    private_directory& operator=(const private_directory&) = delete;

    const std::string& path() const { return path_; }

    // Creates the file `name` in it, which must not exist yet, with
    // `bytes`, readable and writable by the owner alone. False on failure.
    bool write_file(const char* name, const std::string& bytes) const;
    // Makes `name` in it a symbolic link to `target`. False on failure.
    bool link_file(const char* name, const std::string& target) const;

    // Removes every file in it and the directory; done once.
    void remove();

private:
    std::string path_;
    int lock_ = -1; // the directory, opened and locked
};

// One of `slots` places for a run at once, held until the object goes (or
// the process ends, however it ends): a lock on one of the files
// "<directory>/slot.<n>" (a directory that make_private_directory has
// checked), waiting up to `wait_seconds` for one to be free, or less when
// a termination request arrives.
class run_slot {
public:
    run_slot(const std::string& directory, int slots, int wait_seconds);
    ~run_slot();
    run_slot(const run_slot&) = delete;
    run_slot& operator=(const run_slot&) = delete;

    // True when a place was free and is now held.
    bool held() const { return descriptor_ >= 0; }
    // True when a lock file could not be opened or locked for another
    // reason than a run that holds it: a fault of the spool, not a busy site.
    bool failed() const { return failed_; }

private:
    int descriptor_ = -1;
    bool failed_ = false;
};

// How a run of a child program ended.
struct child_outcome {
    enum how_t { exited, timed_out, stopped, not_started } how = not_started;
    int status = -1;     // the exit status, when exited
    std::string console; // its standard output and standard error, at most max_console bytes
};

// The most console text kept of a child.
constexpr std::size_t max_console = std::size_t{64} * 1024;

// Runs `program` (no arguments) in `directory` with standard input from the
// null device and its standard output and error captured, for at most
// `seconds`; then kills it (with its process group) and says timed_out.
// Only the standard streams reach it; it is killed when this process ends
// (where the system can tie the two), and each file it writes is limited
// to `file_size_limit` bytes. Ends early with `stopped`, the child killed,
// when a termination request (install_termination_handler) arrives.
child_outcome run_child(const std::string& program, const std::string& directory, int seconds,
                        long long file_size_limit);

// Starts `program` with the one argument `argument` apart from this
// process: in a session of its own, its standard input, output and error
// on the null device, never waited for (it outlives this process). Returns
// at once; false when it could not be started. Safe while other threads run.
bool start_detached(const std::string& program, const char* argument);

// Makes SIGTERM, SIGINT and SIGHUP a termination request that run_child and
// termination_requested see, instead of ending the process at once, and
// ignores SIGPIPE.
void install_termination_handler();

// True once a termination request has arrived.
bool termination_requested();

// From now on, write_out and read_standard_input fail once `seconds` have
// passed (transfer_timed_out then says so): a client that sends or reads
// too slowly is dropped.
void limit_transfers(int seconds);
bool transfer_timed_out();

// Writes all `length` bytes to standard output; false when a write failed
// (the reader has gone), the transfer limit passed, or a termination
// request arrived.
bool write_out(const char* bytes, std::size_t length);

// Reads up to `count` bytes of standard input; 0 at its end, -1 on failure
// or when the transfer limit passed.
long long read_standard_input(char* buffer, std::size_t count);

} // namespace tarnvel

#endif
