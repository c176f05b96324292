// The form's default values: the site's own query form, read as tarnvel
// reads it.
#ifndef TARNVEL_CGI_SITE_QUERY_H
#define TARNVEL_CGI_SITE_QUERY_H

#include <string>

#include "cgi/form_fields.h"

namespace tarnvel {

// The values of the query form `path` as they stand in its text (a
// declination with its sign character), or the demo's values where `path`
// is empty or cannot be read.
query_request site_query(const std::string& path);

} // namespace tarnvel

#endif
