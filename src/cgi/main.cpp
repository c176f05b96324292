// tarnvel-cgi: the web service of tarnvel's query, a
// CGI/1.1 program that the web server runs once per request. A GET without a
// query string answers with the query form; a GET with one, or a POST,
// carries a query, which is checked field by field, written as "query.frm"
// into a directory of the request's own beside the site's catalogue and
// style, and answered by tarnvel there; its page is the answer.
#include <cstddef>
#include <cstring>
#include <string>

#include "cgi/config.h"
#include "cgi/form_fields.h"
#include "cgi/pages.h"
#include "cgi/site_query.h"
#include "cgi/vo_service.h"
#include "decimal/number_text.h"
#include "system/child_process.h"
#include "system/input_file.h"
#include "system/paths.h"

namespace tarnvel {

namespace {

// The longest query string or request body taken.
constexpr std::size_t max_request_bytes = std::size_t{16} * 1024;
const std::string too_long =
    "A query is at most " + std::to_string(max_request_bytes / 1024) + " KiB long.";

const char page_created[] = "\nFile results.html has been created successfully\n";

bool head_only = false; // a HEAD request: headers without the body

// Sends a response: its status, a type, more header lines, and `body`.
void respond(int status, const char* reason, const std::string& body,
             const std::string& more_headers = "", const char* type = "text/html; charset=utf-8")
{
    const std::string head = "Status: " + std::to_string(status) + " " + reason +
                             "\r\nContent-Type: " + type +
                             "\r\nContent-Length: " + std::to_string(body.size()) +
                             "\r\nX-Content-Type-Options: nosniff\r\n" + more_headers + "\r\n";
    if (write_out(head.data(), head.size()) && !head_only)
        write_out(body.data(), body.size());
}

// Sends the page tarnvel wrote, from its file, claiming no character set
// that its bytes may not honour. The page is open already, and its
// directory may be gone.
void send_page(input_file& page)
{
    if (!page.is_regular()) {
        respond(500, "Internal Server Error",
                message_page("No answer",
                             "tarnvel said it wrote its page, but the page is not there."));
        return;
    }
    const std::string head = "Status: 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                             std::to_string(page.size()) +
                             "\r\nX-Content-Type-Options: nosniff\r\n\r\n";
    if (!write_out(head.data(), head.size()) || head_only)
        return;
    char chunk[1 << 16];
    long long sent = 0;
    for (long long got; sent < page.size() && (got = page.read_at(sent, chunk, sizeof chunk)) > 0;
         sent += got)
        if (!write_out(chunk, static_cast<std::size_t>(got)))
            return; // the reader has gone
}

// Where the form sends its queries: this program's own URL, relative.
std::string form_action()
{
    const std::string script = environment("SCRIPT_NAME");
    const std::size_t slash = script.rfind('/');
    const std::string name = slash == std::string::npos ? script : script.substr(slash + 1);
    return name.empty() ? "." : name;
}

// Lets tarnvel answer a valid query, and sends its answer.
void answer(const site_config& config, const query_request& request)
{
    run_slot slot(config.spool + "/.tarnvel-slots", config.max_runs);
    if (!slot.held()) {
        respond(503, "Service Unavailable",
                message_page("Busy", "The catalogue is answering as many queries as it may at "
                                     "once. Please ask again in a few seconds."),
                "Retry-After: 5\r\n");
        return;
    }
    private_directory directory(config.spool, "tarnvel-");
    if (directory.path().empty() || !directory.write_file("query.frm", query_form_text(request)) ||
        !directory.link_file("quasar_list.dat", config.catalogue) ||
        (!config.style.empty() && !directory.link_file("style.var", config.style))) {
        respond(500, "Internal Server Error",
                message_page("No answer", "No working directory could be made in TARNVEL_SPOOL."));
        return;
    }
    const child_outcome run = run_child(config.program, directory.path(), config.time_limit);
    const std::string& console = run.console;
    // The page is opened, and the directory removed before anything is sent:
    // whatever becomes of the answer, nothing of the request stays.
    input_file page;
    const bool has_page = page.open((directory.path() + "/results.html").c_str());
    directory.remove();
    switch (run.how) {
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
    const std::size_t length = std::strlen(page_created);
    if (console.size() >= length &&
        console.compare(console.size() - length, length, page_created) == 0 && has_page) {
        send_page(page);
    } else if (console.find("Query input error") != std::string::npos ||
               console.find("Invalid epoch value") != std::string::npos) {
        respond(400, "Bad Request",
                form_page(request, false, form_action(),
                          console_notice("tarnvel refused the query:", console)));
    } else {
        respond(500, "Internal Server Error",
                console_page("No answer", "tarnvel could not answer the query:", console));
    }
}

// The body of a POST into `encoded`; false, having answered the request,
// when it is no form, when its length is no number or over the limit, or when
// it ends before its announced length (a query cut short is never run).
bool read_form_body(std::string& encoded)
{
    static const std::string form_type = "application/x-www-form-urlencoded";
    if (environment("CONTENT_TYPE").compare(0, form_type.size(), form_type) != 0) {
        respond(415, "Unsupported Media Type",
                message_page("Not a form", "A query is sent as " + form_type + "."));
        return false;
    }
    const std::string length_text = environment("CONTENT_LENGTH");
    std::size_t length = 0;
    for (const char c : length_text) {
        if (!is_digit(static_cast<unsigned char>(c))) {
            respond(400, "Bad Request",
                    message_page("No query", "The request's length is not a number."));
            return false;
        }
        length = length * 10 + digit_value(c);
        if (length > max_request_bytes) {
            respond(413, "Payload Too Large", message_page("Too long", too_long));
            return false;
        }
    }
    encoded.resize(length);
    std::size_t got = 0;
    for (long long n; got < length && (n = read_standard_input(&encoded[got], length - got)) > 0;)
        got += static_cast<std::size_t>(n);
    if (got < length) {
        respond(400, "Bad Request",
                message_page("No query", "The request ended before its announced length."));
        return false;
    }
    return true;
}

} // namespace

} // namespace tarnvel

int main(int, char** argv)
{
    using namespace tarnvel;
    install_termination_handler();
    const std::string method = environment("REQUEST_METHOD");
    head_only = method == "HEAD";
    site_config config;
    std::string problem;
    const bool configured = read_config(config, own_directory(argv[0]), problem);
    if (answer_vo_request(configured ? &config : nullptr, problem, method))
        return 0;
    if (!configured) {
        respond(500, "Internal Server Error",
                message_page("The query service is not set up", problem));
        return 0;
    }
    std::string encoded;
    if (method == "GET" || method == "HEAD") {
        encoded = environment("QUERY_STRING");
        if (encoded.empty()) {
            respond(200, "OK",
                    form_page(site_query(config.default_query), false, form_action(), ""));
            return 0;
        }
        if (encoded.size() > max_request_bytes) {
            respond(414, "URI Too Long", message_page("Too long", too_long));
            return 0;
        }
    } else if (method == "POST") {
        if (!read_form_body(encoded))
            return 0;
    } else {
        respond(405, "Method Not Allowed",
                message_page("Not a query", "Queries are asked with GET or POST."),
                "Allow: GET, HEAD, POST\r\n");
        return 0;
    }
    if (answer_form_table(config, encoded, head_only))
        return 0;
    const query_request request = decode_query(encoded);
    if (!request.valid()) {
        respond(400, "Bad Request",
                form_page(request, true, form_action(),
                          "<p class=\"fault\" role=\"alert\">Some values do not follow their "
                          "notation; they are marked below.</p>\n"));
        return 0;
    }
    answer(config, request);
    return 0;
}
