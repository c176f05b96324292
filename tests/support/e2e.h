// End-to-end test support: every case gets a working directory of its own,
// writes the input files into it, runs the built program there and reads
// back what it printed, its exit status and the page.
#ifndef TARNVEL_TESTS_E2E_H
#define TARNVEL_TESTS_E2E_H

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace tarnvel {

struct run_result {
    std::string console; // standard output (CRLF made LF for the Windows build)
    std::string errors;  // standard error (the program never writes to it)
    int exit_status = -1;
    std::optional<std::string> page; // "results.html", or nothing when absent
};

class e2e_case;

// One run of a built program in a case's working directory, put together
// step by step and run once, for instance
//     c.check().arg("my-query").run();
//     c.tarnvel().before("ulimit -f 4; ").run();
//     c.cgi().env("REQUEST_METHOD", "POST").input(body).run();
// Arguments and environment values reach the program exactly as given:
// each is quoted for the shell that starts it. The shell is there for what
// only a shell does: limits, traps, umask, pipes and closed streams.
class test_command {
public:
    test_command(const e2e_case& c, std::string program, bool through_runner);

    // Appends one argument.
    test_command& arg(std::string value);
    // Sets a variable of the program's environment.
    test_command& env(std::string name, std::string value);
    // Gives the program these bytes on its standard input (by default the
    // null device).
    test_command& input(std::string bytes);
    // Starts the program through this command and its arguments (timeout,
    // setpriv, the peak-memory helper), in front of any runner.
    test_command& through(std::initializer_list<std::string> words);
    // Shell text run first in the program's subshell: "ulimit -f 4; ",
    // "trap '' XFSZ; ", or the opening of a group that `streams` closes.
    test_command& before(std::string shell_text);
    // Shell redirections in place of the captured standard streams
    // ("</dev/null >out 2>&1", ">&-"); what is not captured reads back empty.
    test_command& streams(std::string shell_text);

    // Runs it and waits for it; what it printed, its status and the page.
    run_result run() const;

private:
    const e2e_case* case_;
    std::string program_;
    bool through_runner_;
    std::vector<std::string> arguments_;
    std::string environment_; // assignments, quoted
    std::vector<std::string> wrapper_;
    std::optional<std::string> input_;
    std::string before_;
    std::string streams_;
};

class e2e_case {
public:
    // A fresh, empty working directory named after the running test.
    e2e_case();
    ~e2e_case();
    e2e_case(const e2e_case&) = delete;
    e2e_case& operator=(const e2e_case&) = delete;

    // Writes `bytes` to `name` in the working directory, unchanged.
    void write(const std::string& name, const std::string& bytes) const;
    // Copies `source` into the working directory as `name` (writable).
    void copy(const std::filesystem::path& source, const std::string& name) const;
    // Copies the demo's style.var, query.frm and quasar_list.dat from examples/.
    void copy_demo_inputs() const;
    // Runs tarnvel in the working directory, with nothing on its
    // standard input and its output captured.
    run_result run() const;
    // Runs it as an unprivileged user, so that file permissions apply: as
    // "nobody" through setpriv when the tests run as root (whom permissions
    // do not stop), as the current user otherwise. Nothing when that cannot
    // be done here (no setpriv, or a Wine runner). The working directory is
    // opened to everyone first, or, with `writable_directory` false, only to
    // reading and searching.
    std::optional<run_result> run_unprivileged(bool writable_directory = true) const;

    // Runs of tarnvel (through the runner, where there is one), of
    // tarnvel-check and of tarnvel-cgi (always native), to be completed.
    test_command tarnvel() const;
    test_command check() const;
    test_command cgi() const;
    // Runs tarnvel-cgi with `environment`, shell assignments
    // ("REQUEST_METHOD=GET QUERY_STRING='...'"), and `body` on its standard
    // input: the whole environment of a request at once.
    run_result run_cgi(const std::string& environment, const std::string& body = "") const;

    // Makes the file `name` of the working directory read-only for everyone,
    // or readable and writable for everyone.
    void make_read_only(const std::string& name) const;
    void make_writable(const std::string& name) const;

    const std::filesystem::path& directory() const { return work_; }

private:
    friend class test_command;

    std::filesystem::path root_; // holds work_ and the captured streams
    std::filesystem::path work_;
};

// How many temporary pages ("results.html.tmp...") the working directory of
// `c` holds.
int temporary_files(const e2e_case& c);

// The bytes of a file, or nothing when it cannot be read.
std::optional<std::string> read_file(const std::filesystem::path& path);

// Where the golden pages are kept.
std::filesystem::path golden_dir();

// The page the program writes, from a golden page kept with LF line ends:
// the line ends are made CRLF when the program under test writes them so.
std::string expected_page(const std::string& golden_name);

// A page written by the program with its line ends made LF (for checks that
// look at content, not at line ends).
std::string as_lf(const std::string& page);

// True when the page texts naming the catalogue's makers are the defaults,
// which the golden pages hold.
bool site_texts_are_defaults();

// True when the program under test writes CRLF line ends (Windows build).
bool page_has_crlf();

// The most memory a run through the peak-memory helper used, in KiB, from
// what the helper printed on standard error; -1 when it printed nothing.
long peak_kib(const run_result& r);

// The programs the end-to-end tests run: tarnvel, tarnvel-check and
// tarnvel-cgi.
std::string test_program_path();
std::string check_program_path();
std::string cgi_program_path();

// A text for the shell, in single quotes.
std::string shell_quoted(const std::string& text);

// True when the program runs through a runner (Wine), to which the shell's
// limits, signals and descriptors do not carry over as to a native program.
bool program_has_runner();

// The directory of the demo files and of the shared catalogues.
std::filesystem::path examples_dir();
std::filesystem::path shared_data_dir();

// True in a build under AddressSanitizer or ThreadSanitizer, whose shadow
// memory does not fit a memory limit.
bool sanitized_build();

// Skips a test that needs the shell's files, limits or signals to reach the
// program, which they do not under a runner (Wine).
#define SKIP_UNDER_RUNNER()                                                                        \
    if (program_has_runner())                                                                      \
    GTEST_SKIP() << "the shell's files, limits and signals do not reach a program under a runner"

// Starts the program in the working directory of `c`, its standard output
// going to the null device, and returns its process number without waiting
// for it (-1 when it could not be started).
int start_program(const e2e_case& c);

// Waits until the working directory of `c` holds a temporary page, for at
// most 30 seconds or until the process `child` ends; tells whether one
// appeared while it ran.
bool await_temporary_page(const e2e_case& c, int child);

} // namespace tarnvel

#endif
