// The CSV writer.
#include "report/csv_table.h"

#include "report/clean_text.h"

namespace tarnvel {

void append_csv_head(std::string& out, table_detail detail)
{
    const char* separator = "";
    for (const table_column& column : answer_columns(detail)) {
        out += separator;
        out += column.name;
        separator = ",";
    }
    out += "\r\n";
}

void append_csv_row(std::string& out, const table_row& row, table_detail detail,
                    std::vector<table_cell>& cells)
{
    answer_cells(row, detail, cells);
    const char* separator = "";
    for (const table_cell& cell : cells) {
        out += separator;
        separator = ",";
        if (cell.kind == table_cell::text)
            append_csv_field(out, cell.value);
        else
            out += cell.value;
    }
    out += "\r\n";
}

} // namespace tarnvel
