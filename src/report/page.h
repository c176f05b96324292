// The results page "results.html".
#ifndef TARNVEL_REPORT_PAGE_H
#define TARNVEL_REPORT_PAGE_H

#include "report/page_stream.h"

namespace tarnvel {

// Writes the whole page (header, navigation, query summary, the counts and
// the results table or the no-record line, footer) into a temporary file of
// its own and puts it in place of "results.html" (system/page_file.h) once
// it is complete. Returns 0 when the page was written. Returns 1 after
// printing "error of creation of results.html\n" when "results.html" may not
// be replaced, the temporary file cannot be created, or the page could not
// be written whole; 1 after printing "not enough memory to write
// results.html\n" and setting ran_out_of_memory. On failure "results.html"
// is as it was and no temporary file remains.
int Query_Result_generator();

// The page's text, from the query globals, the counters and the selected
// chain, into `out`.
void write_page(page_stream& out);

} // namespace tarnvel

#endif
