// The service's settings, checked.
#include "cgi/config.h"

#include <cstdlib>

#include "decimal/number_text.h"
#include "system/paths.h"
#include "system/process.h"

namespace tarnvel {

#ifndef TARNVEL_INSTALLED_PROGRAM
#error "TARNVEL_INSTALLED_PROGRAM names the installed tarnvel, from the build"
#endif

namespace {

constexpr int default_time_limit = 60;        // seconds
constexpr int longest_time_limit = 24 * 3600; // seconds
constexpr int most_runs = 1000;

// A positive whole number of at most `most`, or 0.
int positive_number(const std::string& text, int most)
{
    long long value = 0;
    for (const char c : text) {
        if (!is_digit(static_cast<unsigned char>(c)))
            return 0;
        value = value * 10 + digit_value(c);
        if (value > most)
            return 0;
    }
    return static_cast<int>(value);
}

// A setting that must be a positive whole number of at most `most`, into
// `value`, or `fallback` where it is not set; false with the problem.
bool number_setting(const char* name, int fallback, int most, const char* unit, int& value,
                    std::string& problem)
{
    const std::string text = environment(name);
    value = text.empty() ? fallback : positive_number(text, most);
    if (value == 0)
        problem = std::string(name) + " is no whole number of " + unit + " from 1 to " +
                  std::to_string(most) + ".";
    return value != 0;
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

    config.spool = environment("TARNVEL_SPOOL");
    if (config.spool.empty())
        config.spool = temporary_directory();
    config.spool = absolute_path(config.spool);
    if (!is_writable_directory(config.spool)) {
        problem = "TARNVEL_SPOOL names no directory that this program may write.";
        return false;
    }
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

    return number_setting("TARNVEL_TIME_LIMIT", default_time_limit, longest_time_limit, "seconds",
                          config.time_limit, problem) &&
           number_setting("TARNVEL_MAX_RUNS", processor_count(), most_runs, "runs", config.max_runs,
                          problem);
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace tarnvel
