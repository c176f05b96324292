// The answer to a valid query: a run of tarnvel in a directory of the
// request's own, while one of the runs at once is held, and its page sent
// after the run's place is given back.
#ifndef TARNVEL_CGI_QUERY_ANSWER_H
#define TARNVEL_CGI_QUERY_ANSWER_H

#include "cgi/config.h"
#include "cgi/form_fields.h"

namespace tarnvel {

// Lets tarnvel answer the valid query `request`, and sends its answer: its
// page (200); the form with tarnvel's messages and the refused fields
// marked (400); a short page when the page would be larger than
// TARNVEL_MAX_ANSWER (422), when no run is free after TARNVEL_SLOT_WAIT
// (503), when the catalogue changed during two runs (503), when the run
// took too long (504), or when the spool or tarnvel failed (500).
// `action` is where the form is sent.
void answer_query(const site_config& config, query_request request, const std::string& action);

} // namespace tarnvel

#endif
