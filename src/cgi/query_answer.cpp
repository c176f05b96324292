// Running tarnvel for a query, and sending what it answered.
#include "cgi/query_answer.h"

#include <cstring>

#include "cgi/bound_faults.h"
#include "cgi/pages.h"
#include "cgi/respond.h"
#include "system/child_process.h"
#include "system/file_identity.h"
#include "system/input_file.h"
#include "system/spool.h"

namespace tarnvel {

namespace {

const char page_created[] = "\nFile results.html has been created successfully\n";
const char page_failed[] = "error of creation of results.html\n";
const char request_prefix[] = "tarnvel-";

// What became of a run, with the page open when there is one.
struct run_answer {
    child_outcome run;
    bool has_page = false;
    bool catalogue_changed = false;
    bool no_directory = false;
};

bool ends_with(const std::string& text, const char* end)
{
    const std::size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

// One run in a directory of its own, which is gone when this returns; the
// page, when tarnvel wrote one, is open in `page`.
run_answer run_once(const site_config& config, const query_request& request, input_file& page)
{
    run_answer answer;
    const file_identity before = identify_file(config.catalogue);
    private_directory directory(config.spool, request_prefix);
    if (directory.path().empty() || !directory.write_file("query.frm", query_form_text(request)) ||
        !directory.link_file("quasar_list.dat", config.catalogue) ||
        (!config.style.empty() && !directory.link_file("style.var", config.style))) {
        answer.no_directory = true;
        return answer;
    }
    answer.run = run_child(config.program, directory.path(), config.time_limit, config.max_answer);
    // The page is opened and the directory removed before anything is sent:
    // whatever becomes of the answer, nothing of the request stays.
    answer.has_page = page.open((directory.path() + "/results.html").c_str());
    directory.remove();
    answer.catalogue_changed = !same_file(before, identify_file(config.catalogue));
    return answer;
}

// The page that says the answer would be too large: the form, its values
// kept, with the limit named.
std::string too_large_page(const site_config& config, const query_request& request,
                           const std::string& action)
{
    const long long mib = config.max_answer >> 20;
    const std::string limit = mib > 0 && (config.max_answer & ((1LL << 20) - 1)) == 0
                                  ? std::to_string(mib) + " MiB"
                                  : std::to_string(config.max_answer) + " bytes";
    return form_page(request, false, action,
                     "<p class=\"fault\" role=\"alert\">The answer to this query would be larger "
                     "than " +
                         limit +
                         " (TARNVEL_MAX_ANSWER), the most this site sends. Please narrow the "
                         "query: a smaller part of the sky, or narrower intervals.</p>\n");
}

} // namespace

void answer_query(const site_config& config, query_request request, const std::string& action)
{
    input_file pages[2]; // of the first run, and of a second one
    input_file* page = &pages[0];
    run_answer answer;
    {
        switch (make_private_directory(slots_directory(config))) {
        case private_check::fine:
            break;
        case private_check::failed:
            respond(500, "Internal Server Error",
                    message_page("No answer", "The directory .tarnvel-slots could not be made in "
                                              "TARNVEL_SPOOL."));
            return;
        default:
            respond(500, "Internal Server Error",
                    message_page("No answer",
                                 "The directory .tarnvel-slots in TARNVEL_SPOOL is not this "
                                 "account's own, or other accounts may write it: remove it, or "
                                 "set TARNVEL_SPOOL to a directory of the service's own."));
            return;
        }
        run_slot slot(slots_directory(config), config.max_runs, config.slot_wait);
        if (slot.failed()) {
            respond(500, "Internal Server Error",
                    message_page("No answer", "The lock files in .tarnvel-slots of TARNVEL_SPOOL "
                                              "could not be opened or locked."));
            return;
        }
        if (!slot.held()) {
            if (termination_requested())
                return;
            respond(503, "Service Unavailable",
                    message_page("Busy", "The catalogue is answering as many queries as it may at "
                                         "once. Please ask again in a few seconds."),
                    "Retry-After: 5\r\n");
            return;
        }
        remove_abandoned_directories(config.spool, request_prefix, config.time_limit);
        // A catalogue rewritten in place while tarnvel read it may have
        // given a torn answer: it is asked once more.
        answer = run_once(config, request, *page);
        if (answer.catalogue_changed && answer.run.how == child_outcome::exited) {
            page = &pages[1];
            answer = run_once(config, request, *page);
            if (answer.catalogue_changed && answer.run.how == child_outcome::exited) {
                respond(503, "Service Unavailable",
                        message_page("Busy", "The catalogue was being replaced while the query "
                                             "was answered. Please ask again in a few seconds."),
                        "Retry-After: 5\r\n");
                return;
            }
        }
    } // the run's place is given back before the answer is sent
    limit_transfers(config.send_limit);
    if (answer.no_directory) {
        respond(500, "Internal Server Error",
                message_page("No answer", "No working directory could be made in TARNVEL_SPOOL."));
        return;
    }
    const std::string& console = answer.run.console;
    switch (answer.run.how) {
    case child_outcome::stopped:
        return; // the server ends this request: nobody waits for an answer
    case child_outcome::not_started:
        respond(500, "Internal Server Error",
                message_page("No answer", "tarnvel (TARNVEL_PROGRAM) could not be started."));
        return;
    case child_outcome::timed_out:
        respond(504, "Gateway Timeout",
                message_page("No answer in time",
                             "The query took longer than " + std::to_string(config.time_limit) +
                                 " seconds (TARNVEL_TIME_LIMIT) and was stopped."));
        return;
    case child_outcome::exited:
        break;
    }
    if (ends_with(console, page_created) && answer.has_page) {
        send_page(*page);
    } else if (console.find("Query input error") != std::string::npos ||
               console.find("Invalid epoch value") != std::string::npos) {
        mark_refused_bounds(request);
        respond(400, "Bad Request",
                form_page(request, true, action,
                          console_notice("tarnvel refused the query:", console)));
    } else if (console.find(page_failed) != std::string::npos &&
               free_room(config.spool) >= config.max_answer) {
        // The page could not be written though the disk had room for the
        // largest answer: it reached the limit on its size.
        respond(422, "Unprocessable Content", too_large_page(config, request, action));
    } else {
        respond(500, "Internal Server Error",
                console_page("No answer", "tarnvel could not answer the query:", console));
    }
}

} // namespace tarnvel
