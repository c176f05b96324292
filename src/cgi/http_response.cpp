// Sending a response.
#include "cgi/http_response.h"

#include "cgi/respond.h"
#include "system/child_process.h"

namespace tarnvel {

bool send_response(const http_response& response, bool head_only)
{
    const std::string head = "Status: " + std::to_string(response.status) + " " + response.reason +
                             "\r\nContent-Type: " + response.type +
                             "\r\nContent-Length: " + std::to_string(response.body.size()) +
                             "\r\n" + response.headers + common_headers(caching::never) + "\r\n";
    if (!write_out(head.data(), head.size()))
        return false;
    return head_only || write_out(response.body.data(), response.body.size());
}

} // namespace tarnvel
