// The normalisation of the catalogue's records and their count: the step
// between reading the catalogue and selecting from it.
#ifndef TARNVEL_INPUT_CORRECT_RECORD_LIST_H
#define TARNVEL_INPUT_CORRECT_RECORD_LIST_H

#include "model/record.h"

namespace tarnvel {

// Correct_record_list's rule for one record: arc::corrector on the
// declination of coords_2000, then on that of coords_1950; the right
// ascensions are not touched. Applied once per record (a second
// application would lose the sign).
void correct_record(record& r);

// Normalises every record of the catalogue list, from DB_First along
// `next`, with correct_record, and adds the number of records, DB_First
// included, to total_number. For a list read as it stands (read_catalogue
// without an entry test); a reading with a test applies the same rule to
// every entry as it reads it. Returns 0, always.
int Correct_record_list();

} // namespace tarnvel

#endif
