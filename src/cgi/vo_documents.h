// The documents of the service's self-description (VOSI 1.1): its
// capabilities, with the cone search's limits and a test query, and its
// availability; and the absolute URL of the service they name.
#ifndef TARNVEL_CGI_VO_DOCUMENTS_H
#define TARNVEL_CGI_VO_DOCUMENTS_H

#include <string>

#include "select/cone.h"

namespace tarnvel {

// What the web server tells of the request, for URLs back to the program.
struct request_origin {
    std::string server_name; // SERVER_NAME
    std::string server_port; // SERVER_PORT
    bool https = false;      // HTTPS set and not "off"
    std::string script_name; // SCRIPT_NAME: the program's own path
};

// The origin of this request, from the CGI environment.
request_origin current_origin();

// The program's absolute URL ("http://host[:port]/path/query.cgi"): the
// port left out where it is the scheme's own, an IPv6 host in brackets.
std::string program_url(const request_origin& origin);

// The VOSI capabilities of the program at `base` (program_url): VOSI
// capabilities and availability, and the cone search at `base`/scs? with
// maxSR, maxRecords, verbosity and the test query of a cone of `test_radius`
// degrees around `test_position`.
std::string capabilities_document(const std::string& base, sky_degrees test_position,
                                  double test_radius);

// The VOSI availability: `available`, with `note` (plain text).
std::string availability_document(bool available, const std::string& note);

} // namespace tarnvel

#endif
