// Sending the service's answers.
#include "cgi/respond.h"

#include "cgi/pages.h"
#include "system/child_process.h"
#include "system/input_file.h"

namespace tarnvel {

namespace {

bool headers_only = false;

// The status line and the headers, ended by the empty line.
std::string head(int status, const char* reason, const char* type, long long length,
                 const std::string& more_headers, caching cache)
{
    std::string text =
        "Status: " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type + "\r\n";
    if (length >= 0)
        text += "Content-Length: " + std::to_string(length) + "\r\n";
    return text + more_headers + common_headers(cache) + "\r\n";
}

} // namespace

const char html_utf8[] = "text/html; charset=utf-8";

std::string common_headers(caching cache)
{
    return std::string(cache == caching::form ? "Cache-Control: max-age=600\r\n"
                                              : "Cache-Control: no-store\r\n") +
           "X-Content-Type-Options: nosniff\r\n"
           "X-Frame-Options: SAMEORIGIN\r\n"
           "Content-Security-Policy: default-src 'none'; style-src 'unsafe-inline'; "
           "img-src 'self'; form-action 'self'; frame-ancestors 'self'; base-uri 'none'\r\n";
}

void send_headers_only()
{
    headers_only = true;
}

void respond(int status, const char* reason, const std::string& body,
             const std::string& more_headers, caching cache, const char* type)
{
    const std::string text =
        head(status, reason, type, static_cast<long long>(body.size()), more_headers, cache);
    if (write_out(text.data(), text.size()) && !headers_only)
        write_out(body.data(), body.size());
}

void respond_headers(int status, const char* reason, const char* type)
{
    const std::string text = head(status, reason, type, -1, "", caching::never);
    write_out(text.data(), text.size());
}

void send_page(input_file& page)
{
    if (!page.is_regular()) {
        respond(500, "Internal Server Error",
                message_page("No answer",
                             "tarnvel said it wrote its page, but the page is not there."));
        return;
    }
    const std::string text = head(200, "OK", "text/html", page.size(), "", caching::never);
    if (!write_out(text.data(), text.size()) || headers_only)
        return;
    char chunk[1 << 16];
    long long sent = 0;
    for (long long got; sent < page.size() && (got = page.read_at(sent, chunk, sizeof chunk)) > 0;
         sent += got)
        if (!write_out(chunk, static_cast<std::size_t>(got)))
            return; // the reader has gone, or is too slow
}

} // namespace tarnvel
