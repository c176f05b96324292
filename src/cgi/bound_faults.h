// Which fields of a query tarnvel refuses, and why: its console says that
// a bound is out of range or that an interval is reversed, not which field
// is at fault, so the query is read again here as tarnvel reads it.
#ifndef TARNVEL_CGI_BOUND_FAULTS_H
#define TARNVEL_CGI_BOUND_FAULTS_H

#include "cgi/form_fields.h"

namespace tarnvel {

// Marks in `request` (valid by its grammars) each field that tarnvel's
// checks of the sky bounds and the redshift interval refuse; true when any
// was marked.
bool mark_refused_bounds(query_request& request);

} // namespace tarnvel

#endif
