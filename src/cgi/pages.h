// The pages the query service writes itself: the query form, and the pages
// that say why there is no answer, each in the frame of the results page
// (the site's header, navigation and footer).
#ifndef TARNVEL_CGI_PAGES_H
#define TARNVEL_CGI_PAGES_H

#include <string>

#include "cgi/form_fields.h"

namespace tarnvel {

// `text` with &, <, >, " and ' written as character references.
std::string html_escaped(const std::string& text);

// The query form, holding the values of `request`, sent with GET to
// `action`; with `mark_faults`, each faulty field marked with what is wrong
// with it. `notice` (HTML) stands above the form when not empty.
std::string form_page(const query_request& request, bool mark_faults, const std::string& action,
                      const std::string& notice);

// A page that says `heading` and then `text` (escaped).
std::string message_page(const std::string& heading, const std::string& text);

// The HTML of a notice that quotes tarnvel's console lines (escaped).
std::string console_notice(const std::string& lead, const std::string& console);

// A page that says `heading`, then quotes tarnvel's console behind `lead`.
std::string console_page(const std::string& heading, const std::string& lead,
                         const std::string& console);

} // namespace tarnvel

#endif
