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
// passes all five closed-interval tests of the query globals (declination
// and right ascension, redshift with lower limits divided by 1e12, the two
// magnitudes with 1e8 passing any interval): the record test of the
// selection. Reads the query globals and `r` only.
bool record_passes(const record& r, const sky_coords& position, const query_bounds& q);

// The query's record test as one value, its bounds and epoch taken from the
// query globals when it is made: record_passes at the coordinates of the
// query's epoch; at an epoch other than 2000 and 1950 no record passes. Safe
// on several threads at once while the query globals stay as they are.
class query_test {
public:
    query_test();

    bool passes(const record& r) const
    {
        return valid_epoch_ && record_passes(r, use_2000_ ? r.coords_2000 : r.coords_1950, bounds_);
    }

    // As an entry test of the catalogue's reading (input/catalogue_entries.h),
    // which also gives where the entry begins.
    bool operator()(const record& r, long long /*start*/) const { return passes(r); }

private:
    bool valid_epoch_;
    bool use_2000_;
    query_bounds bounds_;
};

// Walks the catalogue list from DB_First once and links every record that
// passes query_test into the chain from First_Selected along
// next_selected, counting them in number_of_selected. Expects the chain
// empty. Returns 0, or 1 after "Invalid epoch value\n" when epoch is
// neither 2000 nor 1950 (the chain then stays empty).
int result_list_generator();

} // namespace tarnvel

#endif
