// Record selection: the records of the catalogue list that lie inside every
// interval of the query, chained in catalogue order.
#ifndef TARNVEL_SELECT_SELECTION_H
#define TARNVEL_SELECT_SELECTION_H

#include "model/record.h"
#include "model/sky_coords.h"

namespace tarnvel {

// The position bounds of the query, in the units the record test compares
// (arc::value: seconds of arc and of time).
struct query_bounds {
    double declination_low, declination_high;
    double ascension_low, ascension_high;
};

// The position bounds of the query globals.
query_bounds current_query_bounds();

// True when `r`, at `position` (its coordinates of the query's epoch),
// passes all five closed-interval tests of the query globals, as
// result_list_generator tests it.
bool record_passes(const record& r, const sky_coords& position, const query_bounds& q);

// Walks the catalogue list from DB_First once and links every record that
// passes all five closed-interval tests (declination and right ascension of
// the epoch's coordinates, redshift with lower limits divided by 1e12, the
// two magnitudes with 1e8 passing any interval) into the chain from
// First_Selected along next_selected, counting them in number_of_selected.
// Expects the chain empty. Returns 0, or 1 after "Invalid epoch value\n"
// when epoch is neither 2000 nor 1950 (the chain then stays empty).
int result_list_generator();

} // namespace tarnvel

#endif
