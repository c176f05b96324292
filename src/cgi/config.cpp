// The service's settings, checked.
#include "cgi/config.h"

#include <cstdlib>

#include "system/child_process.h"
#include "system/process.h"

#ifndef TARNVEL_INSTALLED_PROGRAM
#error "TARNVEL_INSTALLED_PROGRAM names the installed tarnvel, from the build"
#endif

namespace {

std::string setting(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A positive whole number of at most `most`, or 0.
int positive_number(const std::string& text, int most)
{
    if (text.empty() || text.size() > 9)
        return 0;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value > 0 && value <= most ? static_cast<int>(value) : 0;
}

// A readable file named by `name`, made absolute; false with the problem.
bool file_setting(const char* name, bool required, std::string& path, std::string& problem)
{
    path = setting(name);
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

    config.spool = setting("TARNVEL_SPOOL");
    if (config.spool.empty())
        config.spool = temporary_directory();
    config.spool = absolute_path(config.spool);
    if (!is_writable_directory(config.spool)) {
        problem = "TARNVEL_SPOOL names no directory that this program may write.";
        return false;
    }

    config.program = setting("TARNVEL_PROGRAM");
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

    const std::string time_limit = setting("TARNVEL_TIME_LIMIT");
    config.time_limit = time_limit.empty() ? 60 : positive_number(time_limit, 24 * 3600);
    if (config.time_limit == 0) {
        problem = "TARNVEL_TIME_LIMIT is no whole number of seconds from 1 to 86400.";
        return false;
    }
    const std::string max_runs = setting("TARNVEL_MAX_RUNS");
    config.max_runs = max_runs.empty() ? processor_count() : positive_number(max_runs, 1000);
    if (config.max_runs == 0) {
        problem = "TARNVEL_MAX_RUNS is no whole number of runs from 1 to 1000.";
        return false;
    }
    return true;
}
