// The results page "results.html".
#ifndef TARNVEL_REPORT_PAGE_H
#define TARNVEL_REPORT_PAGE_H

// Writes the whole page (header, navigation, query summary, the counts and
// the results table or the no-record line, footer) into a temporary file in
// the working directory and puts it in place of "results.html" once it is
// complete. Returns 0 when the page was written. Returns 1 after printing
// "error of creation of results.html\n" when an existing "results.html"
// cannot be written, or the page could not be written whole; "results.html"
// is then left as it was and no temporary file remains.
int Query_Result_generator();

#endif
