// The query's record test, and the pass over the catalogue list that
// chains the records passing it.
#include "select/selection.h"

#include <cstdio>

#include "state/record_pool.h"
#include "state/state.h"
#include "system/process.h"

namespace tarnvel {

namespace {

bool magnitude_passes(double m, double low, double high)
{
    return (low <= m && m <= high) || m == no_value_magnitude;
}

} // namespace

bool record_passes(const record& r, const sky_coords& position, const query_bounds& q)
{
    const double d = position.declination.value();
    if (!(q.declination_low <= d && d <= q.declination_high))
        return false;
    const double a = position.ascension.value();
    if (!(q.ascension_low <= a && a <= q.ascension_high))
        return false;
    double z = r.redshift;
    if (z > lower_limit_threshold)
        z = z / lower_limit_scale;
    if (!(min_redshift <= z && z <= max_redshift))
        return false;
    return magnitude_passes(r.apparent_magnitude, min_apparent_magnitude, max_apparent_magnitude) &&
           magnitude_passes(r.absolute_magnitude, min_absolute_magnitude, max_absolute_magnitude);
}

query_bounds current_query_bounds()
{
    query_bounds q;
    q.declination_low = minimal_declination.value();
    q.declination_high = maximal_declination.value();
    q.ascension_low = minimal_ascension.value();
    q.ascension_high = maximal_ascension.value();
    return q;
}

query_test::query_test()
    : valid_epoch_(epoch == 2000 || epoch == 1950), use_2000_(epoch == 2000),
      bounds_(current_query_bounds())
{
}

int result_list_generator()
{
    if (epoch != 2000 && epoch != 1950) {
        console_write("Invalid epoch value\n");
        return 1;
    }
    const query_test test;
    record* last_selected = nullptr;
    for (record* current = &DB_First; current != nullptr; current = current->next) {
        prefetch_ahead(current);
        if (!test.passes(*current))
            continue;
        if (last_selected == nullptr)
            First_Selected = current;
        else
            last_selected->next_selected = current;
        last_selected = current;
        ++number_of_selected;
    }
    return 0;
}

} // namespace tarnvel
