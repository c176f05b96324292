// Record selection: the records of the catalogue list that lie inside every
// interval of the query, chained in catalogue order.
#ifndef TARNVEL_SELECT_SELECTION_H
#define TARNVEL_SELECT_SELECTION_H

#include "model/record.h"

namespace tarnvel {

// The query's record test, with the bounds taken from the query globals
// when it is made: a record passes all five closed-interval tests
// (declination and right ascension of the epoch's coordinates, redshift
// with lower limits divided by 1e12, the two magnitudes with 1e8 passing
// any interval). At an epoch other than 2000 and 1950 no record passes.
// Reads nothing but its own copy and the record: safe on several threads.
class query_test {
public:
    query_test();

    bool passes(const record& r) const;

    // As an entry test of the catalogue's reading (input/catalogue_entries.h),
    // which also gives where the entry begins.
    bool operator()(const record& r, long long /*start*/) const { return passes(r); }

private:
    bool valid_epoch_;
    bool use_2000_;
    double declination_low_, declination_high_;
    double ascension_low_, ascension_high_;
    double redshift_low_, redshift_high_;
    double apparent_low_, apparent_high_;
    double absolute_low_, absolute_high_;
};

// Walks the catalogue list from DB_First once and links every record that
// passes query_test into the chain from First_Selected along
// next_selected, counting them in number_of_selected. Expects the chain
// empty. Returns 0, or 1 after "Invalid epoch value\n" when epoch is
// neither 2000 nor 1950 (the chain then stays empty).
int result_list_generator();

} // namespace tarnvel

#endif
