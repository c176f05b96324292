// The columns of the machine-readable answers (VOTable and CSV): which a
// detail level holds, what each is (name, type, unit, UCD, description),
// and each cell of an entry's row as text.
#ifndef TARNVEL_REPORT_ANSWER_COLUMNS_H
#define TARNVEL_REPORT_ANSWER_COLUMNS_H

#include <string>
#include <vector>

#include "model/record.h"

namespace tarnvel {

// How many columns an answer has: a cone search's VERB 1, 2 or 3.
enum class table_detail {
    least = 1, // the number, the first name and the epoch-2000 position
    usual = 2, // the columns of the page
    most = 3,  // those and the distance from the cone's centre
};

// One entry of an answer: its number in the catalogue list, the entry (its
// declinations normalised) and its distance from the centre in degrees.
struct table_row {
    long long number = 0;
    const record* entry = nullptr;
    double distance = 0.0;
};

// What a column holds, in the words of a VOTable FIELD.
struct table_column {
    const char* name;
    const char* datatype;  // "int", "double", "char" or "unicodeChar"
    const char* arraysize; // or null
    const char* unit;      // or null
    const char* ucd;
    const char* ref; // the COOSYS of a position, or null
    const char* description;
};

// A cell as text: a number's or a name's; empty for a null.
struct table_cell {
    enum kind_t { number, text, null } kind = null;
    std::string value; // digits for a number, the catalogue's bytes for a text
};

// The columns of `detail`, in order: recno, Name, RAJ2000, DEJ2000, and for
// `usual` on l_z, z, Vmag, Mabs, RAB1950, DEB1950, Name2, and for `most`
// _r. Positions are in degrees, magnitudes in mag.
const std::vector<table_column>& answer_columns(table_detail detail);

// The cells of `row` for the columns of `detail`, into `cells` (resized):
// positions as arc::value / 240 and / 3600, written shortest; a lower-limit
// redshift as its value / 1e12 with ">" in l_z; the no-value magnitude as a
// null.
void answer_cells(const table_row& row, table_detail detail, std::vector<table_cell>& cells);

} // namespace tarnvel

#endif
