// The settings of the query service, from the environment that the web
// server gives a CGI program.
#ifndef TARNVEL_CGI_CONFIG_H
#define TARNVEL_CGI_CONFIG_H

#include <string>

namespace tarnvel {

// The default of TARNVEL_SEND_LIMIT, in seconds.
constexpr int default_send_limit = 180;

struct site_config {
    std::string catalogue;     // TARNVEL_CATALOGUE: the catalogue (required)
    std::string style;         // TARNVEL_STYLE: the table style, or empty
    std::string default_query; // TARNVEL_QUERY: the form's default values, or empty
    std::string spool;         // TARNVEL_SPOOL: where each request's directory is made
    std::string index;         // TARNVEL_INDEX: the catalogue's position index
                               // (by default ".tarnvel-index" in the spool)
    std::string self;          // this program's own file, which makes the index (set by main)
    std::string program;       // TARNVEL_PROGRAM: the tarnvel that answers
    int time_limit = 60;       // TARNVEL_TIME_LIMIT: seconds a run may take (1 to a day)
    int max_runs = 1;          // TARNVEL_MAX_RUNS: runs at once (1 to 1000)
    int slot_wait = 5;         // TARNVEL_SLOT_WAIT: seconds to wait for a free run (0 to 300)
    int send_limit =
        default_send_limit;   // TARNVEL_SEND_LIMIT: seconds to receive a body, or send an answer
    long long max_answer = 0; // TARNVEL_MAX_ANSWER: the largest answer, in bytes
};

// The slots' directory of a spool: the lock files of the runs at once.
std::string slots_directory(const site_config& config);

// Reads the settings. A file setting that is relative is taken from the
// current directory. Without TARNVEL_PROGRAM, tarnvel is looked for where
// the packages put it beside this program (`own_directory`/../../bin, for
// lib/cgi-bin), then in `own_directory`/.. (the build's cgi-bin), then
// where it is installed.
// Without TARNVEL_SPOOL, the spool is a directory of the account's own in
// the temporary directory (system/spool.h), made on first use.
// On a setting that is missing (TARNVEL_CATALOGUE) or unusable, returns
// false and says in `problem` which variable and why.
bool read_config(site_config& config, const std::string& own_directory, std::string& problem);

// The value of the environment variable `name`; empty where it is not set.
std::string environment(const char* name);

} // namespace tarnvel

#endif
