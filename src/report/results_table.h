// The results table: one row per record of the selected chain.
#ifndef TARNVEL_REPORT_RESULTS_TABLE_H
#define TARNVEL_REPORT_RESULTS_TABLE_H

#include "report/page_stream.h"

namespace tarnvel {

// Writes the table, from "<table" to "</table>\n", styled by the style
// globals, with one data row per record from First_Selected along
// next_selected.
void write_results_table(page_stream& out);

} // namespace tarnvel

#endif
