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

query_test::query_test()
    : valid_epoch_(epoch == 2000 || epoch == 1950), use_2000_(epoch == 2000),
      declination_low_(minimal_declination.value()), declination_high_(maximal_declination.value()),
      ascension_low_(minimal_ascension.value()), ascension_high_(maximal_ascension.value()),
      redshift_low_(min_redshift), redshift_high_(max_redshift),
      apparent_low_(min_apparent_magnitude), apparent_high_(max_apparent_magnitude),
      absolute_low_(min_absolute_magnitude), absolute_high_(max_absolute_magnitude)
{
}

bool query_test::passes(const record& r) const
{
    if (!valid_epoch_)
        return false;
    const sky_coords& position = use_2000_ ? r.coords_2000 : r.coords_1950;
    const double d = position.declination.value();
    if (!(declination_low_ <= d && d <= declination_high_))
        return false;
    const double a = position.ascension.value();
    if (!(ascension_low_ <= a && a <= ascension_high_))
        return false;
    double z = r.redshift;
    if (z > lower_limit_threshold)
        z = z / lower_limit_scale;
    if (!(redshift_low_ <= z && z <= redshift_high_))
        return false;
    return magnitude_passes(r.apparent_magnitude, apparent_low_, apparent_high_) &&
           magnitude_passes(r.absolute_magnitude, absolute_low_, absolute_high_);
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
