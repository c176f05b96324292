// One pass over the catalogue list, testing each record against the query.
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

int result_list_generator()
{
    if (epoch != 2000 && epoch != 1950) {
        console_write("Invalid epoch value\n");
        return 1;
    }
    const bool use_2000 = epoch == 2000;
    const query_bounds q = current_query_bounds();

    record* last_selected = nullptr;
    for (record* current = &DB_First; current != nullptr; current = current->next) {
        prefetch_ahead(current);
        const sky_coords& position = use_2000 ? current->coords_2000 : current->coords_1950;
        if (!record_passes(*current, position, q))
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
