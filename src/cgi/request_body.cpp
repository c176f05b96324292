// Receiving a POST's body.
#include "cgi/request_body.h"

#include "cgi/config.h"
#include "cgi/pages.h"
#include "cgi/respond.h"
#include "decimal/number_text.h"
#include "system/child_process.h"

namespace tarnvel {

namespace {

const char form_type[] = "application/x-www-form-urlencoded";

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Reads standard input to its end, or past `most` bytes, into `body`;
// false when reading failed or the transfer limit passed.
bool read_to_end(std::string& body, std::size_t most)
{
    char chunk[4096];
    for (long long got; (got = read_standard_input(chunk, sizeof chunk)) != 0;) {
        if (got < 0)
            return false;
        body.append(chunk, static_cast<std::size_t>(got));
        if (body.size() > most)
            return true;
    }
    return true;
}

} // namespace

std::string too_long_text()
{
    return "A query is at most " + std::to_string(max_request_bytes / 1024) + " KiB long.";
}

bool is_form_type(const std::string& content_type)
{
    const std::size_t length = sizeof form_type - 1;
    if (content_type.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (lower(content_type[i]) != form_type[i])
            return false;
    std::size_t at = length;
    while (at < content_type.size() && (content_type[at] == ' ' || content_type[at] == '\t'))
        ++at;
    return at == content_type.size() || content_type[at] == ';';
}

bool read_form_body(std::string& encoded)
{
    if (!is_form_type(environment("CONTENT_TYPE"))) {
        respond(415, "Unsupported Media Type",
                message_page("Not a form", std::string("A query is sent as ") + form_type + "."));
        return false;
    }
    const std::string length_text = environment("CONTENT_LENGTH");
    if (length_text.empty()) {
        // No length (a chunked body under Apache httpd): the body ends with
        // the input.
        encoded.clear();
        if (!read_to_end(encoded, max_request_bytes)) {
            respond(411, "Length Required",
                    message_page("No query", "The request's body came without a length and did "
                                             "not end in time."));
            return false;
        }
        if (encoded.size() > max_request_bytes) {
            respond(413, "Payload Too Large", message_page("Too long", too_long_text()));
            return false;
        }
        return true;
    }
    std::size_t length = 0;
    for (const char c : length_text) {
        if (!is_digit(static_cast<unsigned char>(c))) {
            respond(400, "Bad Request",
                    message_page("No query", "The request's length is not a number."));
            return false;
        }
        length = length * 10 + digit_value(c);
        if (length > max_request_bytes) {
            respond(413, "Payload Too Large", message_page("Too long", too_long_text()));
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

} // namespace tarnvel
