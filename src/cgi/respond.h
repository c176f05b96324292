// The answers of the query service as a CGI program sends them: the status,
// the headers every answer carries (caching, framing, the content policy),
// and the body, or only the headers for a HEAD request.
#ifndef TARNVEL_CGI_RESPOND_H
#define TARNVEL_CGI_RESPOND_H

#include <string>

namespace tarnvel {

class input_file;

// Whether a cache may keep an answer: the form may be kept a while,
// anything else never.
enum class caching { form, never };

// The type of the service's own pages.
extern const char html_utf8[];

// The header lines of every answer, for `cache`: Cache-Control,
// X-Content-Type-Options, X-Frame-Options and Content-Security-Policy (no
// script, no plug-in, styles inline, images of the site only, forms sent
// to the site only, no framing by other sites).
std::string common_headers(caching cache);

// From now on only headers are sent (a HEAD request).
void send_headers_only();

// Sends an answer: its status, a type, `more_headers` (each line ended by
// CRLF), the common headers, its length, and `body`.
void respond(int status, const char* reason, const std::string& body,
             const std::string& more_headers = "", caching cache = caching::never,
             const char* type = html_utf8);

// Sends the headers of an answer whose length is not known, and no body:
// for a HEAD request that carries a query, which is not run.
void respond_headers(int status, const char* reason, const char* type);

// Sends tarnvel's page from the open file `page`, whose name may be gone,
// with status 200 and no character set claimed that its bytes may not
// honour; a 500 page when it is no regular file.
void send_page(input_file& page);

} // namespace tarnvel

#endif
