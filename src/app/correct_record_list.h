// The step between reading the catalogue and selecting from it.
#ifndef TARNVEL_APP_CORRECT_RECORD_LIST_H
#define TARNVEL_APP_CORRECT_RECORD_LIST_H

namespace tarnvel {

// Normalises the two declinations of every record of the catalogue list,
// from DB_First along `next`, with arc::corrector (the right ascensions are
// not touched), and adds the number of records, DB_First included, to
// total_number. Returns 0, always.
int Correct_record_list();

} // namespace tarnvel

#endif
