// A request's query as a CGI program receives it: the body of a POST, with
// or without a length (a server may send a chunked body to its end
// instead), and the check of its type.
#ifndef TARNVEL_CGI_REQUEST_BODY_H
#define TARNVEL_CGI_REQUEST_BODY_H

#include <cstddef>
#include <string>

namespace tarnvel {

// The longest query string or request body taken.
constexpr std::size_t max_request_bytes = std::size_t{16} * 1024;

// The page's text for a request over max_request_bytes.
std::string too_long_text();

// True when `content_type` is application/x-www-form-urlencoded, in any
// case, alone or followed by parameters after ';' (blanks allowed before
// it).
bool is_form_type(const std::string& content_type);

// The body of a POST into `encoded`; false, having answered the request,
// when it is no form (415), when its length is no number (400) or over the
// limit (413), when it ends before its announced length (400: a query cut
// short is never run), or, without a length, when it does not end within
// the transfer limit (411).
bool read_form_body(std::string& encoded);

} // namespace tarnvel

#endif
