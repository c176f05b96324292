// tarnvel-cgi: the web service of tarnvel's query, a CGI/1.1 program that
// the web server runs once per request. Its paths (PATH_INFO) are a table;
// the program's own address (no path) answers a GET without a query string
// with the query form; a GET with one, or a POST, carries a query, which is
// checked field by field and answered by tarnvel (cgi/query_answer.h). Any
// other path is 404.
#include <string>

#include "cgi/catalogue_index.h"
#include "cgi/config.h"
#include "cgi/form_fields.h"
#include "cgi/pages.h"
#include "cgi/query_answer.h"
#include "cgi/request_body.h"
#include "cgi/respond.h"
#include "cgi/site_query.h"
#include "cgi/vo_service.h"
#include "system/child_process.h"
#include "system/paths.h"
#include "system/process.h"

namespace tarnvel {

namespace {

// Where the form sends its queries: this program's own URL, relative.
std::string form_action()
{
    const std::string script = environment("SCRIPT_NAME");
    const std::size_t slash = script.rfind('/');
    const std::string name = slash == std::string::npos ? script : script.substr(slash + 1);
    return name.empty() ? "." : name;
}

// The program's own address: the form, or the answer to a query. A HEAD
// request is answered with headers alone and runs no query: the length of
// an answer is known only once tarnvel has written it, and a run costs as
// much as a GET.
void serve_queries(const site_config& config)
{
    const std::string method = environment("REQUEST_METHOD");
    std::string encoded;
    if (method == "GET" || method == "HEAD") {
        encoded = environment("QUERY_STRING");
        if (encoded.empty()) {
            respond(200, "OK",
                    form_page(site_query(config.default_query), false, form_action(), ""), "",
                    caching::form);
            return;
        }
        if (encoded.size() > max_request_bytes) {
            respond(414, "URI Too Long", message_page("Too long", too_long_text()));
            return;
        }
    } else if (method == "POST") {
        if (!read_form_body(encoded))
            return;
    } else {
        respond(405, "Method Not Allowed",
                message_page("Not a query", "Queries are asked with GET or POST."),
                "Allow: GET, HEAD, POST\r\n");
        return;
    }
    // The form's query asked as a VOTable or CSV table (RESPONSEFORMAT).
    if (answer_form_table(config, encoded, method == "HEAD"))
        return;
    const query_request request = decode_query(encoded);
    if (!request.valid()) {
        respond(400, "Bad Request",
                form_page(request, true, form_action(),
                          "<p class=\"fault\" role=\"alert\">Some values do not follow their "
                          "notation; they are marked below.</p>\n"));
        return;
    }
    if (method == "HEAD") {
        respond_headers(200, "OK", "text/html");
        return;
    }
    answer_query(config, request, form_action());
}

// The catalogue's Virtual Observatory services (cgi/vo_service.h), which
// answer also without usable settings.
void serve_vo(const site_config* config, const std::string& problem)
{
    answer_vo_request(config, problem, environment("REQUEST_METHOD"));
}

// `tarnvel-cgi --index`: makes the site's position index, waiting for
// another process that makes it, and says how it went (`loud`); the
// service's own background making (--index-quietly) gives up when another
// process makes it and says nothing. Exit status 0 when an index that
// describes the catalogue is in place, 1 otherwise.
int make_index(bool configured, const site_config& config, const std::string& problem, bool loud)
{
    if (!configured) {
        if (loud)
            console_write(("tarnvel-cgi: " + problem + "\n").c_str());
        return 1;
    }
    const index_making making = make_site_index(config, loud);
    if (loud)
        console_write(
            (std::string("tarnvel-cgi: ") + index_making_text(making) + " (" + config.index + ")\n")
                .c_str());
    return making == index_making::made || making == index_making::current ? 0 : 1;
}

// The program's paths, each with what answers it: `serve` with usable
// settings, or `serve_any` with them or without (null, and the problem).
struct route {
    const char* path_info;
    void (*serve)(const site_config& config);
    void (*serve_any)(const site_config* config, const std::string& problem);
};

const route routes[] = {
    {"", serve_queries, nullptr},
    {"/scs", nullptr, serve_vo},
    {"/scs/", nullptr, serve_vo},
    {"/capabilities", nullptr, serve_vo},
    {"/availability", nullptr, serve_vo},
    {"/scs/capabilities", nullptr, serve_vo},
    {"/scs/availability", nullptr, serve_vo},
};

} // namespace

} // namespace tarnvel

int main(int argc, char** argv)
{
    using namespace tarnvel;
    // A standard stream the server left closed gets the null device, so
    // that no pipe or file of the run takes its place.
    settle_standard_streams();
    install_termination_handler();
    if (argc == 2 &&
        (std::strcmp(argv[1], "--index") == 0 || std::strcmp(argv[1], "--index-quietly") == 0)) {
        site_config config;
        std::string problem;
        const bool configured = read_config(config, own_directory(argv[0]), problem);
        return make_index(configured, config, problem, argv[1][7] == '\0');
    }
    if (environment("REQUEST_METHOD") == "HEAD")
        send_headers_only();
    const std::string path = environment("PATH_INFO");
    const route* found = nullptr;
    for (const route& r : routes)
        if (path == r.path_info)
            found = &r;
    if (found == nullptr) {
        respond(404, "Not Found",
                message_page("Not here", "This address is not one of the query service's."));
        return 0;
    }
    site_config config;
    std::string problem;
    const bool configured = read_config(config, own_directory(argv[0]), problem);
    config.self = own_program(argv[0]);
    // A request's body, and then an answer that is no run's, each within
    // the transfer limit; an answer's own limit starts after its run.
    limit_transfers(configured ? config.send_limit : default_send_limit);
    if (found->serve_any != nullptr) {
        found->serve_any(configured ? &config : nullptr, problem);
    } else if (!configured) {
        respond(500, "Internal Server Error",
                message_page("The query service is not set up", problem));
    } else {
        found->serve(config);
    }
    return 0;
}
