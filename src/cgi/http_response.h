// A whole response of the CGI program: status, media type, further header
// lines and body, sent at once.
#ifndef TARNVEL_CGI_HTTP_RESPONSE_H
#define TARNVEL_CGI_HTTP_RESPONSE_H

#include <string>

namespace tarnvel {

struct http_response {
    int status = 200;
    const char* reason = "OK";
    std::string type = "text/xml; charset=utf-8";
    std::string headers; // further header lines, each ended by CR LF
    std::string body;
};

// Sends `response` on standard output with its Content-Length and
// X-Content-Type-Options: nosniff; with `head_only` (a HEAD request), the
// header alone. False when the reader has gone.
bool send_response(const http_response& response, bool head_only);

} // namespace tarnvel

#endif
