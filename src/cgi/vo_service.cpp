// The machine-readable services: dispatch, limits, and the answers.
#include "cgi/vo_service.h"

#include <cstdlib>
#include <vector>

#include "cgi/catalogue_answers.h"
#include "cgi/catalogue_index.h"
#include "cgi/form_fields.h"
#include "cgi/http_response.h"
#include "cgi/timed_work.h"
#include "cgi/vo_documents.h"
#include "cgi/vo_parameters.h"
#include "decimal/shortest.h"
#include "input/catalogue_walk.h"
#include "input/readers.h"
#include "report/csv_table.h"
#include "report/votable.h"
#include "state/state.h"
#include "system/child_process.h"
#include "system/input_file.h"
#include "system/spool.h"

namespace tarnvel {

namespace {

// The longest query string taken, as for the form.
constexpr std::size_t max_query_bytes = std::size_t{16} * 1024;

// The radius of the capabilities' test query, in degrees.
constexpr double test_radius = 0.001;

const char xml_type[] = "text/xml; charset=utf-8";

// A response of `status` whose body is the error document of `format`: an
// error VOTable, or plain text.
http_response error_response(int status, const char* reason, const answer_format& format,
                             const std::string& message)
{
    http_response response;
    response.status = status;
    response.reason = reason;
    if (format.kind == answer_format::csv) {
        response.type = "text/plain; charset=utf-8";
        response.body = message + "\n";
    } else {
        response.type = xml_type;
        response.body = votable_error(message);
    }
    return response;
}

// The media type header of a table of `format`.
std::string table_type(const answer_format& format)
{
    return std::string(format.media_type) + "; charset=utf-8";
}

// Appends one row to the table of `format`; false once the body is longer
// than `max_answer`, when the answer is refused whatever follows, so that
// no more of it is built.
bool append_row(std::string& body, const answer_format& format, const table_row& row,
                table_detail detail, std::vector<table_cell>& cells, long long max_answer)
{
    if (format.kind == answer_format::csv)
        append_csv_row(body, row, detail, cells);
    else
        append_votable_row(body, row, detail, cells);
    return static_cast<long long>(body.size()) <= max_answer;
}

// The catalogue of the site as a text to read; false when it cannot be
// opened.
bool open_catalogue(const site_config& config, input_file& file, text_source& text)
{
    if (!file.open(config.catalogue.c_str()))
        return false;
    text.file = &file;
    return true;
}

const char unreadable[] = "The catalogue cannot be read now";
const char no_memory[] = "Memory ran out while the catalogue was read";

// The answer of a cone search (run on the timed thread).
http_response cone_answer(const site_config& config, const cone_request& request)
{
    http_response response;
    response.type = table_type(request.format);
    std::string description = "Entries of the catalogue within ";
    append_shortest(description, request.radius);
    description += " deg of RA ";
    append_shortest(description, request.ascension);
    description += ", DEC ";
    append_shortest(description, request.declination);
    description += " (J2000)";
    std::string& body = response.body;
    if (request.format.kind == answer_format::csv)
        append_csv_head(body, request.detail);
    else
        append_votable_head(body, request.detail, description);
    bool overflow = false;
    if (request.radius > 0) { // SR=0 asks for the columns alone
        input_file file;
        text_source text;
        if (!open_catalogue(config, file, text))
            return error_response(200, "OK", request.format, unreadable);
        const cone area({request.ascension, request.declination}, request.radius);
        std::vector<table_cell> cells;
        long long rows = 0;
        const reading_outcome outcome =
            site_cone_entries(config, file, area, [&](const answer_entry& e) {
                if (rows == request.max_records) {
                    overflow = true;
                    return false;
                }
                ++rows;
                return append_row(body, request.format, {e.number, e.entry, e.distance},
                                  request.detail, cells, config.max_answer);
            });
        if (outcome == reading_outcome::cannot_open)
            return error_response(200, "OK", request.format, unreadable);
        if (outcome == reading_outcome::no_memory)
            return error_response(200, "OK", request.format, no_memory);
    }
    if (request.format.kind != answer_format::csv)
        append_votable_foot(body, overflow);
    return response;
}

// The answer of the form's query `request` as a table (run on the timed
// thread): the query read and checked as tarnvel reads "query.frm".
http_response form_table_answer(const site_config& config, const query_request& request,
                                const answer_format& format)
{
    const std::string form = query_form_text(request);
    scan_stream stream(form.data(), form.size());
    const query_faults faults = check_query(read_query_values(stream));
    if (faults.refused() || (epoch != 2000 && epoch != 1950))
        return error_response(400, "Bad Request", format,
                              "tarnvel refuses the query: its bounds are out of range or "
                              "reversed");
    input_file file;
    text_source text;
    if (!open_catalogue(config, file, text))
        return error_response(500, "Internal Server Error", format, unreadable);
    http_response response;
    response.type = table_type(format);
    if (format.kind == answer_format::csv)
        append_csv_head(response.body, table_detail::usual);
    else
        append_votable_head(response.body, table_detail::usual,
                            "Entries of the catalogue that the form's query selects");
    std::vector<table_cell> cells;
    const reading_outcome outcome = query_entries(text, [&](const answer_entry& e) {
        return append_row(response.body, format, {e.number, e.entry, 0.0}, table_detail::usual,
                          cells, config.max_answer);
    });
    if (outcome == reading_outcome::cannot_open)
        return error_response(500, "Internal Server Error", format, unreadable);
    if (outcome == reading_outcome::no_memory)
        return error_response(500, "Internal Server Error", format, no_memory);
    if (format.kind != answer_format::csv)
        append_votable_foot(response.body, false);
    return response;
}

// Runs `work` under the limits of tarnvel's runs and sends its answer, or
// the error document of `format` for a busy service (503 with Retry-After)
// or a run out of time (504; the process then ends at once).
void answer_limited(const site_config& config, const answer_format& format, bool head_only,
                    const std::function<http_response()>& work)
{
    http_response response;
    {
        const private_check slots = make_private_directory(slots_directory(config));
        run_slot slot(slots_directory(config), config.max_runs, config.slot_wait);
        if (slots != private_check::fine || slot.failed()) {
            send_response(error_response(500, "Internal Server Error", format,
                                         "The directory .tarnvel-slots in TARNVEL_SPOOL is not "
                                         "this account's own, or its lock files cannot be used."),
                          head_only);
            return;
        }
        if (!slot.held()) {
            if (termination_requested())
                return;
            http_response busy =
                error_response(503, "Service Unavailable", format,
                               "The catalogue is answering as many queries as it may at once. "
                               "Please ask again in a few seconds.");
            busy.headers = "Retry-After: 5\r\n";
            send_response(busy, head_only);
            return;
        }
        switch (run_timed(work, config.time_limit, response)) {
        case work_end::done:
            break;
        case work_end::timed_out:
            send_response(error_response(504, "Gateway Timeout", format,
                                         "The query took longer than " +
                                             std::to_string(config.time_limit) +
                                             " seconds (TARNVEL_TIME_LIMIT) and was stopped."),
                          head_only);
            std::_Exit(0);
        case work_end::stopped:
            std::_Exit(0); // the server ends this request: nobody waits for an answer
        }
    } // the run's place is given back before the answer is sent
    limit_transfers(config.send_limit);
    if (static_cast<long long>(response.body.size()) > config.max_answer) {
        send_response(error_response(422, "Unprocessable Content", format,
                                     "The answer to this query would be larger than " +
                                         std::to_string(config.max_answer) +
                                         " bytes (TARNVEL_MAX_ANSWER), the most this site "
                                         "sends. Please narrow the query."),
                      head_only);
        return;
    }
    send_response(response, head_only);
}

// The position of the capabilities' test query: the first entry with a
// first name (the head entry where none has one).
sky_degrees test_position(const site_config& config, bool& readable)
{
    sky_degrees position;
    input_file file;
    text_source text;
    readable = open_catalogue(config, file, text);
    if (!readable)
        return position;
    bool found = false;
    readable = walk_catalogue(text, [&](long long number, const record& entry) {
                   if (number == 1 || entry.name_I.text[0] != '\0')
                       position = position_2000(entry);
                   found = entry.name_I.text[0] != '\0';
                   return !found;
               }) == reading_outcome::read;
    position.ascension =
        position.ascension >= 360.0 ? position.ascension - 360.0 : position.ascension;
    return position;
}

void answer_capabilities(const site_config* config, bool head_only)
{
    bool readable = false;
    const sky_degrees position =
        config == nullptr ? sky_degrees() : test_position(*config, readable);
    http_response response;
    response.type = xml_type;
    response.body = capabilities_document(program_url(current_origin()), position, test_radius);
    send_response(response, head_only);
}

void answer_availability(const site_config* config, const std::string& problem, bool head_only)
{
    bool readable = false;
    if (config != nullptr)
        test_position(*config, readable);
    std::string note = "The catalogue can be read.";
    if (config == nullptr)
        note = "The service is not set up: " + problem;
    else if (!readable)
        note = "The catalogue cannot be read now.";
    http_response response;
    response.type = xml_type;
    response.body = availability_document(readable, note);
    send_response(response, head_only);
}

} // namespace

bool answer_vo_request(const site_config* settings, const std::string& problem,
                       const std::string& method)
{
    const std::string path = environment("PATH_INFO");
    const bool head_only = method == "HEAD";
    const answer_format votable{answer_format::votable, "text/xml"};
    if (path == "/capabilities" || path == "/scs/capabilities" || path == "/availability" ||
        path == "/scs/availability") {
        if (method != "GET" && method != "HEAD") {
            http_response refused = error_response(405, "Method Not Allowed", votable,
                                                   "The self-description is read with GET.");
            refused.headers = "Allow: GET, HEAD\r\n";
            send_response(refused, head_only);
        } else if (path.size() >= 13 && path.compare(path.size() - 13, 13, "/capabilities") == 0) {
            answer_capabilities(settings, head_only);
        } else {
            answer_availability(settings, problem, head_only);
        }
        return true;
    }
    if (path != "/scs" && path != "/scs/")
        return false;
    if (settings == nullptr) {
        send_response(
            error_response(200, "OK", votable, "The cone search is not set up: " + problem),
            head_only);
        return true;
    }
    const site_config& config = *settings;
    if (method != "GET" && method != "HEAD") {
        http_response refused =
            error_response(405, "Method Not Allowed", votable, "A cone search is asked with GET.");
        refused.headers = "Allow: GET, HEAD\r\n";
        send_response(refused, head_only);
        return true;
    }
    const std::string encoded = environment("QUERY_STRING");
    if (encoded.size() > max_query_bytes) {
        send_response(error_response(414, "URI Too Long", votable,
                                     "A query is at most " +
                                         std::to_string(max_query_bytes / 1024) + " KiB long."),
                      head_only);
        return true;
    }
    const cone_request request = read_cone_request(encoded);
    if (!request.error.empty()) {
        send_response(error_response(200, "OK", votable, request.error), head_only);
        return true;
    }
    answer_limited(config, request.format, head_only,
                   [&config, request] { return cone_answer(config, request); });
    return true;
}

bool answer_form_table(const site_config& config, const std::string& encoded, bool head_only)
{
    answer_format format;
    std::string error;
    if (!read_form_answer_format(encoded, format, error)) {
        http_response refused;
        refused.status = 400;
        refused.reason = "Bad Request";
        refused.type = "text/plain; charset=utf-8";
        refused.body = error + "\n";
        send_response(refused, head_only);
        return true;
    }
    if (format.kind == answer_format::page)
        return false;
    const query_request request = decode_query(encoded);
    if (!request.valid()) {
        std::string message = "Some values do not follow their notation:";
        for (int f = 0; f < query_field_count; ++f)
            if (request.faults[f] != nullptr)
                message += std::string(" ") + query_fields[f].key + ": " + request.faults[f] + ";";
        send_response(error_response(400, "Bad Request", format, message), head_only);
        return true;
    }
    answer_limited(config, format, head_only, [&config, request, format] {
        return form_table_answer(config, request, format);
    });
    return true;
}

} // namespace tarnvel
