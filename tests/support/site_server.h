// A catalogue's web site served by lighttpd on 127.0.0.1 for the tests
// (tests/web/serve-site), and plain HTTP/1.0 requests to it.
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
// header and the body (status 0 when there was no answer).
http_answer http_get(int port, const std::string& target);

class site_server {
public:
    // Serves a site made in `directory` (site/, data/, spool/) with the CGI
    // program `cgi`, on a free port; `problem` says why not, when it could
    // not start.
    site_server(const std::filesystem::path& directory, const std::string& cgi);
    ~site_server(); // stops the server
    site_server(const site_server&) = delete;
    site_server& operator=(const site_server&) = delete;

    bool running() const { return problem_.empty(); }
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port><target>".
    std::string url(const std::string& target) const;

private:
    int port_ = -1;
    pid_t server_ = -1;
    std::string problem_;
};

// Why the site cannot be served here (lighttpd not installed, the CGI
// program not built), or empty.
std::string site_server_missing();

} // namespace tarnvel

#endif
