// record: one catalogue entry, at the same time a node of the catalogue list
// (through `next`) and of the selected chain (through `next_selected`).
#ifndef TARNVEL_MODEL_RECORD_H
#define TARNVEL_MODEL_RECORD_H

#include "model/sky_coords.h"
#include "model/string.h"

namespace tarnvel {

// Value conventions of the catalogue's numbers.
constexpr double no_value_magnitude = 1e8;    // a magnitude the catalogue does not give
constexpr double lower_limit_threshold = 1e9; // a redshift above it is a lower limit,
constexpr double lower_limit_scale = 1e12;    // stored times this factor

class record {
public:
    sky_coords coords_2000;
    sky_coords coords_1950;
    double redshift;           // above 1e9: a lower limit, times 1e12
    double apparent_magnitude; // 1e8: no value
    double absolute_magnitude; // 1e8: no value
    string name_I;
    string name_II;
    record* next;          // following record of the catalogue list, or null
    record* next_selected; // following record of the selected chain, or null

    // Zero arcs with sign +1, empty names, redshift and both magnitudes 0.0,
    // both links null.
    record();
};

} // namespace tarnvel

#endif
