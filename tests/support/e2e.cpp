// End-to-end test support: private working directories and program runs.
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

std::string environment_or(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// Single quotes for the shell.
std::string in_single_quotes(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string test_name()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        info != nullptr ? std::string(info->test_suite_name()) + "." + info->name() : "case";
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_')
            c = '_';
    return name;
}

} // namespace

e2e_case::e2e_case()
{
    std::random_device entropy;
    root_ = fs::temp_directory_path() /
            ("tarnvel-" + test_name() + "-" + std::to_string(entropy() % 1000000000u));
    work_ = root_ / "work";
    fs::remove_all(root_);
    fs::create_directories(work_);
}

e2e_case::~e2e_case()
{
    if (std::getenv("TARNVEL_KEEP_TEST_DIRS") != nullptr)
        return;
    std::error_code ignored;
    fs::permissions(work_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
}

void e2e_case::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(work_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << (work_ / name);
}

void e2e_case::copy(const fs::path& source, const std::string& name) const
{
    const std::optional<std::string> bytes = read_file(source);
    ASSERT_TRUE(bytes.has_value()) << "cannot read " << source;
    write(name, *bytes);
}

void e2e_case::copy_demo_inputs() const
{
    for (const char* name : {"style.var", "query.frm", "quasar_list.dat"})
        copy(examples_dir() / name, name);
}

run_result e2e_case::run() const
{
    return tarnvel().run();
}

std::optional<run_result> e2e_case::run_unprivileged(bool writable_directory) const
{
    const fs::perms everyone_may_enter = fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec;
    if (geteuid() != 0) {
        if (!writable_directory)
            fs::permissions(work_, everyone_may_enter & ~fs::perms::owner_write);
        return run();
    }
    // Another user could not use this user's Wine prefix.
    if (program_has_runner())
        return std::nullopt;
    if (std::system("command -v setpriv >/dev/null 2>&1") != 0)
        return std::nullopt;
    fs::permissions(work_, writable_directory ? fs::perms::all : everyone_may_enter);
    return tarnvel().through({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}).run();
}

test_command e2e_case::tarnvel() const
{
    return test_command(*this, test_program_path(), true);
}

test_command e2e_case::check() const
{
    return test_command(*this, check_program_path(), true);
}

test_command e2e_case::cgi() const
{
    // The CGI program runs natively, whatever runs tarnvel.
    return test_command(*this, cgi_program_path(), false);
}

run_result e2e_case::run_cgi(const std::string& environment, const std::string& body) const
{
    return cgi().before(environment + " ").input(body).run();
}

void e2e_case::make_read_only(const std::string& name) const
{
    fs::permissions(work_ / name,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    fs::perm_options::replace);
}

void e2e_case::make_writable(const std::string& name) const
{
    fs::permissions(work_ / name,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::group_write | fs::perms::others_read | fs::perms::others_write,
                    fs::perm_options::replace);
}

test_command::test_command(const e2e_case& c, std::string program, bool through_runner)
    : case_(&c), program_(std::move(program)), through_runner_(through_runner)
{
}

test_command& test_command::arg(std::string value)
{
    arguments_.push_back(std::move(value));
    return *this;
}

test_command& test_command::env(std::string name, std::string value)
{
    environment_ += name + "=" + in_single_quotes(value) + " ";
    return *this;
}

test_command& test_command::input(std::string bytes)
{
    input_ = std::move(bytes);
    return *this;
}

test_command& test_command::through(std::initializer_list<std::string> words)
{
    wrapper_.insert(wrapper_.end(), words.begin(), words.end());
    return *this;
}

test_command& test_command::before(std::string shell_text)
{
    before_ += shell_text;
    return *this;
}

test_command& test_command::streams(std::string shell_text)
{
    streams_ = std::move(shell_text);
    return *this;
}

run_result test_command::run() const
{
    // Files of this run alone, so that runs at once in one case do not mix.
    static std::atomic<int> runs{0};
    const std::string serial = std::to_string(++runs);
    const fs::path& root = case_->root_;
    const fs::path out = root / ("stdout." + serial);
    const fs::path err = root / ("stderr." + serial);
    const fs::path in = root / ("stdin." + serial);
    const fs::path status = root / ("status." + serial);
    if (input_) {
        std::ofstream file(in, std::ios::binary);
        file << *input_;
    }
    std::string words;
    for (const std::string& word : wrapper_)
        words += in_single_quotes(word) + " ";
    const std::string runner =
        through_runner_ ? environment_or("TARNVEL_TEST_RUNNER", TARNVEL_TEST_RUNNER) : "";
    if (!runner.empty())
        words += runner + " "; // a command line of its own ("wine"), as the build gives it
    words += in_single_quotes(program_);
    for (const std::string& argument : arguments_)
        words += " " + in_single_quotes(argument);
    const std::string redirections =
        !streams_.empty()
            ? " " + streams_
            : " <" + (input_ ? in_single_quotes(in.string()) : std::string("/dev/null")) + " >" +
                  in_single_quotes(out.string()) + " 2>" + in_single_quotes(err.string());
    // The program runs in a subshell, so that the setup's limits stay its own.
    const std::string command = "cd " + in_single_quotes(case_->work_.string()) + " && (" +
                                before_ + environment_ + words + redirections + "); echo $? >" +
                                in_single_quotes(status.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << command;

    run_result result;
    result.console = read_file(out).value_or("");
    // The Windows console program writes its console lines with CRLF, as
    // Windows text streams do; what it says is compared in LF form.
    if (through_runner_ && page_has_crlf())
        result.console = as_lf(result.console);
    result.errors = read_file(err).value_or("");
    result.exit_status =
        static_cast<int>(std::strtol(read_file(status).value_or("-1").c_str(), nullptr, 10));
    result.page = read_file(case_->work_ / "results.html");
    return result;
}

int temporary_files(const e2e_case& c)
{
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(c.directory()))
        count += entry.path().filename().string().rfind("results.html.tmp", 0) == 0;
    return count;
}

std::optional<std::string> read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool page_has_crlf()
{
    return TARNVEL_TEST_CRLF_PAGE != 0;
}

long peak_kib(const run_result& r)
{
    const std::string label = "peak KiB: ";
    const std::size_t at = r.errors.find(label);
    return at == std::string::npos ? -1 : std::stol(r.errors.substr(at + label.size()));
}

std::string test_program_path()
{
    return environment_or("TARNVEL_TEST_PROGRAM", TARNVEL_TEST_PROGRAM);
}

std::string check_program_path()
{
    return environment_or("TARNVEL_TEST_CHECK_PROGRAM", TARNVEL_TEST_CHECK_PROGRAM);
}

std::string cgi_program_path()
{
    return environment_or("TARNVEL_TEST_CGI_PROGRAM", TARNVEL_TEST_CGI_PROGRAM);
}

std::string shell_quoted(const std::string& text)
{
    return in_single_quotes(text);
}

bool program_has_runner()
{
    return !environment_or("TARNVEL_TEST_RUNNER", TARNVEL_TEST_RUNNER).empty();
}

std::string expected_page(const std::string& golden_name)
{
    const std::optional<std::string> golden = read_file(golden_dir() / golden_name);
    EXPECT_TRUE(golden.has_value()) << "missing golden page " << golden_name;
    if (!golden || !page_has_crlf())
        return golden.value_or("");
    std::string crlf;
    for (char c : *golden) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string as_lf(const std::string& page)
{
    std::string lf;
    for (std::size_t i = 0; i < page.size(); ++i)
        if (!(page[i] == '\r' && i + 1 < page.size() && page[i + 1] == '\n'))
            lf += page[i];
    return lf;
}

bool site_texts_are_defaults()
{
    return TARNVEL_SITE_TEXTS_ARE_DEFAULTS != 0;
}

fs::path golden_dir()
{
    return TARNVEL_GOLDEN_DIR;
}

fs::path examples_dir()
{
    return TARNVEL_EXAMPLES_DIR;
}

fs::path shared_data_dir()
{
    return TARNVEL_SHARED_DATA_DIR;
}

bool sanitized_build()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

int start_program(const e2e_case& c)
{
    const std::string program = test_program_path();
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // The working directory is changed around the spawn: no other thread of
    // a test runs meanwhile.
    const fs::path previous = fs::current_path();
    fs::current_path(c.directory());
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ) != 0)
        child = -1;
    fs::current_path(previous);
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

bool await_temporary_page(const e2e_case& c, int child)
{
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (temporary_files(c) == 0 && std::chrono::steady_clock::now() < give_up &&
           waitpid(child, nullptr, WNOHANG) == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    return temporary_files(c) > 0;
}

} // namespace tarnvel
