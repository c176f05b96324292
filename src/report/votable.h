// Answers as VOTable 1.4 documents (TABLEDATA), written by hand: the head
// with the coordinate systems and the fields, one row at a time, the foot
// with the query's status; and the document of an error as cone search
// clients read it.
#ifndef TARNVEL_REPORT_VOTABLE_H
#define TARNVEL_REPORT_VOTABLE_H

#include <string>
#include <vector>

#include "report/answer_columns.h"

namespace tarnvel {

// Appends the document's head up to and including <TABLEDATA>: the XML
// declaration, VOTABLE in the VOTable 1.3 namespace with version 1.4, one
// RESOURCE of type "results" with `description` (plain text, escaped),
// INFO QUERY_STATUS OK, the COOSYS J2000 (eq_FK5) and B1950 (eq_FK4), and
// the FIELD of each column of `detail`.
void append_votable_head(std::string& out, table_detail detail, const std::string& description);

// Appends the row of `row` as a TR; `cells` is room for its cells.
void append_votable_row(std::string& out, const table_row& row, table_detail detail,
                        std::vector<table_cell>& cells);

// Appends the document's foot: the table closed, then, when `overflow`,
// INFO QUERY_STATUS OVERFLOW behind it, and the resource and document.
void append_votable_foot(std::string& out, bool overflow);

// An error document: INFO name="Error" with `message` directly under
// VOTABLE, and a RESOURCE of type "results" with INFO QUERY_STATUS ERROR
// holding the message, no table.
std::string votable_error(const std::string& message);

} // namespace tarnvel

#endif
