// Sending a response.
#include "cgi/http_response.h"

#include "system/child_process.h"

namespace tarnvel {

bool send_response(const http_response& response, bool head_only)
{
    const std::string head = "Status: " + std::to_string(response.status) + " " + response.reason +
                             "\r\nContent-Type: " + response.type +
                             "\r\nContent-Length: " + std::to_string(response.body.size()) +
                             "\r\nX-Content-Type-Options: nosniff\r\n" + response.headers + "\r\n";
    if (!write_out(head.data(), head.size()))
        return false;
    return head_only || write_out(response.body.data(), response.body.size());
}

} // namespace tarnvel
