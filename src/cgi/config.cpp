// The service's settings, checked.
#include "cgi/config.h"

#include <cstdlib>

#include "decimal/number_text.h"
#include "system/paths.h"
#include "system/process.h"
#include "system/spool.h"

namespace tarnvel {

#ifndef TARNVEL_INSTALLED_PROGRAM
#error "TARNVEL_INSTALLED_PROGRAM names the installed tarnvel, from the build"
#endif

namespace {

constexpr int default_time_limit = 60;        // seconds
constexpr int longest_time_limit = 24 * 3600; // seconds
constexpr int most_runs = 1000;
constexpr int default_slot_wait = 5;                 // seconds
constexpr int longest_slot_wait = 300;               // seconds
constexpr long long default_max_answer = 64LL << 20; // bytes: 64 MiB
constexpr long long largest_max_answer = 1LL << 40;  // bytes: 1 TiB

// A whole number from `least` to `most`, or -1.
long long whole_number(const std::string& text, long long least, long long most)
{
    long long value = 0;
    for (const char c : text) {
        if (!is_digit(static_cast<unsigned char>(c)))
            return -1;
        value = value * 10 + digit_value(c);
        if (value > most)
            return -1;
    }
    return text.empty() || value < least ? -1 : value;
}

// A setting that must be a whole number from `least` to `most`, into
// `value`, or `fallback` where it is not set; false with the problem.
template <typename number>
bool number_setting(const char* name, number fallback, long long least, long long most,
                    const char* unit, number& value, std::string& problem)
{
    const std::string text = environment(name);
    const long long read = text.empty() ? fallback : whole_number(text, least, most);
    if (read < 0) {
        problem = std::string(name) + " is no whole number of " + unit + " from " +
                  std::to_string(least) + " to " + std::to_string(most) + ".";
        return false;
    }
    value = static_cast<number>(read);
    return true;
}

// The spool, checked: TARNVEL_SPOOL, or the account's own default one.
bool spool_setting(site_config& config, std::string& problem)
{
    config.spool = environment("TARNVEL_SPOOL");
    const bool chosen = !config.spool.empty();
    if (!chosen) {
        config.spool = default_spool();
        switch (make_private_directory(config.spool)) {
        case private_check::fine:
            break;
        case private_check::other_owner:
        case private_check::open_to_others:
        case private_check::not_directory:
            problem = "TARNVEL_SPOOL is not set, and the default spool " + config.spool +
                      " is not a directory of this account's own that it alone may write: set "
                      "TARNVEL_SPOOL to such a directory.";
            return false;
        case private_check::failed:
            problem = "TARNVEL_SPOOL is not set, and the default spool " + config.spool +
                      " could not be made: set TARNVEL_SPOOL to a directory of this account's own.";
            return false;
        }
    }
    config.spool = absolute_path(config.spool);
    if (!is_writable_directory(config.spool)) {
        problem = "TARNVEL_SPOOL names no directory that this program may write.";
        return false;
    }
    if (open_to_every_account(config.spool)) {
        problem = "TARNVEL_SPOOL names a directory that every account may write and that has no "
                  "sticky bit: make it the service's own (chmod o-w).";
        return false;
    }
    return true;
}

// A readable file named by `name`, made absolute; false with the problem.
bool file_setting(const char* name, bool required, std::string& path, std::string& problem)
{
    path = environment(name);
    if (path.empty()) {
        if (required)
            problem = std::string(name) + " is not set: it names the catalogue file of the site.";
        return !required;
    }
    path = absolute_path(path);
    if (!is_readable_file(path)) {
        problem = std::string(name) + " names no file that this program may read.";
        return false;
    }
    return true;
}

} // namespace

bool read_config(site_config& config, const std::string& own_directory, std::string& problem)
{
    if (!file_setting("TARNVEL_CATALOGUE", true, config.catalogue, problem) ||
        !file_setting("TARNVEL_STYLE", false, config.style, problem) ||
        !file_setting("TARNVEL_QUERY", false, config.default_query, problem))
        return false;

    if (!spool_setting(config, problem))
        return false;
    config.index = environment("TARNVEL_INDEX");
    config.index =
        config.index.empty() ? config.spool + "/.tarnvel-index" : absolute_path(config.index);

    config.program = environment("TARNVEL_PROGRAM");
    if (config.program.empty()) {
        const std::string candidates[] = {own_directory + "/../../bin/tarnvel",
                                          own_directory + "/../tarnvel", TARNVEL_INSTALLED_PROGRAM};
        for (const std::string& candidate : candidates)
            if (config.program.empty() && !own_directory.empty() && is_executable(candidate))
                config.program = candidate;
        if (config.program.empty())
            config.program = TARNVEL_INSTALLED_PROGRAM;
    }
    config.program = absolute_path(config.program);
    if (!is_executable(config.program)) {
        problem = "TARNVEL_PROGRAM names no program that this program may run (by default, the "
                  "installed tarnvel).";
        return false;
    }

    return number_setting("TARNVEL_TIME_LIMIT", default_time_limit, 1, longest_time_limit,
                          "seconds", config.time_limit, problem) &&
           number_setting("TARNVEL_MAX_RUNS", processor_count(), 1, most_runs, "runs",
                          config.max_runs, problem) &&
           number_setting("TARNVEL_SLOT_WAIT", default_slot_wait, 0, longest_slot_wait, "seconds",
                          config.slot_wait, problem) &&
           number_setting("TARNVEL_SEND_LIMIT", default_send_limit, 1, longest_time_limit,
                          "seconds", config.send_limit, problem) &&
           number_setting("TARNVEL_MAX_ANSWER", default_max_answer, 1024, largest_max_answer,
                          "bytes", config.max_answer, problem);
}

std::string slots_directory(const site_config& config)
{
    return config.spool + "/.tarnvel-slots";
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace tarnvel
