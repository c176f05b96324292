// The two answers as walks over the catalogue with a test on each entry.
#include "cgi/catalogue_answers.h"

#include "input/catalogue_walk.h"
#include "select/selection.h"
#include "state/state.h"

namespace tarnvel {

reading_outcome cone_entries(const text_source& text, const cone& area, const answer_sink& sink)
{
    return walk_catalogue(text, [&](long long number, const record& entry) {
        const sky_degrees position = position_2000(entry);
        if (!area.holds(position))
            return true;
        return sink(answer_entry{number, &entry, area.distance_to(position)});
    });
}

reading_outcome query_entries(const text_source& text, const answer_sink& sink)
{
    const bool use_2000 = epoch == 2000;
    const query_bounds bounds = current_query_bounds();
    return walk_catalogue(text, [&](long long number, const record& entry) {
        if (!record_passes(entry, use_2000 ? entry.coords_2000 : entry.coords_1950, bounds))
            return true;
        return sink(answer_entry{number, &entry, 0.0});
    });
}

} // namespace tarnvel
