// Answers as CSV (RFC 4180): a header row of the column names, then one
// row per entry, lines ended by CR LF, nulls empty.
#ifndef TARNVEL_REPORT_CSV_TABLE_H
#define TARNVEL_REPORT_CSV_TABLE_H

#include <string>
#include <vector>

#include "report/answer_columns.h"

namespace tarnvel {

// Appends the header row of the columns of `detail`.
void append_csv_head(std::string& out, table_detail detail);

// Appends the row of `row`; `cells` is room for its cells.
void append_csv_row(std::string& out, const table_row& row, table_detail detail,
                    std::vector<table_cell>& cells);

} // namespace tarnvel

#endif
