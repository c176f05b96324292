// A catalogue's web site served on 127.0.0.1 for the tests by lighttpd
// (tests/web/serve-site) or Apache httpd (tests/web/serve-site-apache), and
// plain HTTP/1.0 requests to it.
#ifndef TARNVEL_TESTS_SITE_SERVER_H
#define TARNVEL_TESTS_SITE_SERVER_H

#include <filesystem>
#include <string>

#include <sys/types.h>

namespace tarnvel {

struct http_answer {
    int status = 0;
    std::string headers; // the header lines, each ended by CR LF
    std::string body;
};

// GET `target` from 127.0.0.1:`port` over HTTP/1.0: the status, the
// header and the body (status 0 when there was no answer, and the body
// then says what came).
http_answer http_get(int port, const std::string& target);

// Sends `request` (whole, as it stands) to 127.0.0.1:`port` and reads the
// answer to its end, as http_get does.
http_answer http_request(int port, const std::string& request);

class site_server {
public:
    // Serves a site made in `directory` (site/, data/, spool/) with the CGI
    // program `cgi`, on a free port, with the script `script` of
    // tests/web/ (given `variant` as its last argument when not empty), in
    // a process group of its own; `problem` says why not, when it could not
    // start.
    site_server(const std::filesystem::path& directory, const std::string& cgi,
                const std::string& script = "serve-site", const std::string& variant = "");
    ~site_server(); // stops the server
    site_server(const site_server&) = delete;
    site_server& operator=(const site_server&) = delete;

    bool running() const { return problem_.empty(); }
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port><target>".
    std::string url(const std::string& target) const;
    // What the server wrote of its own: its console, and Apache's error log.
    std::string log_text() const;

private:
    std::filesystem::path log_;
    int port_ = -1;
    pid_t server_ = -1;
    std::string problem_;
};

// Why the site cannot be served here (the server `program` not installed,
// the CGI program not built), or empty.
std::string site_server_missing(const std::string& program = "lighttpd");

} // namespace tarnvel

#endif
