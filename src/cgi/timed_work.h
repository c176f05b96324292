// Work that the program does itself under the time limit of tarnvel's runs:
// on a thread of its own, waited for at most so long, and given up on a
// termination request.
#ifndef TARNVEL_CGI_TIMED_WORK_H
#define TARNVEL_CGI_TIMED_WORK_H

#include <functional>

#include "cgi/http_response.h"

namespace tarnvel {

// How a piece of timed work ended.
enum class work_end {
    done,      // the response is the work's
    timed_out, // the time ran out first; the work goes on, unwaited for
    stopped,   // a termination request came first
};

// Runs `work` on a thread of its own and waits for it at most `seconds`.
// On `done`, `response` holds what it made. Otherwise the thread is left
// running and the caller must end the process (std::_Exit) without
// returning from main, since the work may still use the process's state.
work_end run_timed(const std::function<http_response()>& work, int seconds,
                   http_response& response);

} // namespace tarnvel

#endif
