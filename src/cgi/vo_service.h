// The catalogue for the astronomers' tools: the cone search at PATH_INFO
// /scs, the VOSI capabilities and availability (at /capabilities and
// /availability, and under /scs as well), and the form's query answered as
// a VOTable or CSV table when its RESPONSEFORMAT asks for one. The program
// reads the catalogue itself for these, under the limits of tarnvel's runs
// (runs at once, time).
#ifndef TARNVEL_CGI_VO_SERVICE_H
#define TARNVEL_CGI_VO_SERVICE_H

#include <string>

#include "cgi/config.h"

namespace tarnvel {

// Answers the request when its PATH_INFO names one of the services above
// (`method` is REQUEST_METHOD) and returns true; returns false, having
// sent nothing, for any other path. Without `config` (the settings are
// unusable, for the reason `problem`), the availability says so and the
// cone search answers an error VOTable.
bool answer_vo_request(const site_config* config, const std::string& problem,
                       const std::string& method);

// Answers the form's query `encoded` as a table and returns true when its
// RESPONSEFORMAT asks for VOTable or CSV (or is not offered: an error);
// returns false, having sent nothing, when it asks for the page or says
// nothing. With `head_only`, sends the header alone.
bool answer_form_table(const site_config& config, const std::string& encoded, bool head_only);

} // namespace tarnvel

#endif
