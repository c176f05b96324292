// The checks of tarnvel's query reader, field by field.
#include "cgi/bound_faults.h"

#include <utility>

#include "input/readers.h"
#include "input/scan_stream.h"
#include "model/sky_coords.h"
#include "state/state.h"

namespace tarnvel {

namespace {

enum field_index { epoch_field = 0, ra_min = 1, ra_max, dec_min, dec_max, z_min, z_max };

const char epoch_choice[] = "the epoch is 2000 or 1950";
const char ascension_range[] = "a right ascension lies from 00:00:00 to 24:00:00, its minutes "
                               "at most 59 and its seconds below 60";
const char declination_range[] = "a declination lies from -90:00:00 to +90:00:00, its minutes "
                                 "at most 59 and its seconds below 60";
const char ascensions_reversed[] =
    "the minimal right ascension must not be greater than the maximal one";
const char declinations_reversed[] =
    "the minimal declination must not be greater than the maximal one";
const char redshifts_reversed[] = "the minimal redshift must not be greater than the maximal one";

// True when the declination `a` passes tarnvel's range check.
bool declination_passes(const arc& a)
{
    sky_coords position;
    position.declination = a;
    return position.value_checker() != 0;
}

// True when the right ascension `a` passes tarnvel's range check.
bool ascension_passes(const arc& a)
{
    sky_coords position;
    position.ascension = a;
    return position.value_checker() != 0;
}

// Marks the field `f` with `fault` unless it is marked already.
void mark(query_request& request, int f, const char* fault)
{
    if (request.faults[f] == nullptr)
        request.faults[f] = fault;
}

} // namespace

bool mark_refused_bounds(query_request& request)
{
    const std::string text = query_form_text(request);
    scan_stream stream(text.data(), text.size());
    const query_faults faults = check_query(read_query_values(stream));
    if (epoch != 2000 && epoch != 1950)
        mark(request, epoch_field, epoch_choice);
    if (!ascension_passes(minimal_ascension))
        mark(request, ra_min, ascension_range);
    if (!ascension_passes(maximal_ascension))
        mark(request, ra_max, ascension_range);
    if (!declination_passes(minimal_declination))
        mark(request, dec_min, declination_range);
    if (!declination_passes(maximal_declination))
        mark(request, dec_max, declination_range);
    const std::pair<bool, const char*> intervals[] = {
        {faults.ascensions_reversed, ascensions_reversed},
        {faults.declinations_reversed, declinations_reversed},
        {faults.redshifts_reversed, redshifts_reversed}};
    for (int i = 0; i < 3; ++i)
        if (intervals[i].first) {
            mark(request, ra_min + 2 * i, intervals[i].second);
            mark(request, ra_max + 2 * i, intervals[i].second);
        }
    return !request.valid();
}

} // namespace tarnvel
