// A cone of the catalogue answered through its position index: the rows of
// the zones and right-ascension windows the cone crosses, the cone test on
// their positions, and each entry that passes read again from the catalogue
// at its offset with the catalogue's own entry reader, checked against its
// row, in catalogue order.
#ifndef TARNVEL_SELECT_INDEXED_CONE_H
#define TARNVEL_SELECT_INDEXED_CONE_H

#include <cstdint>
#include <functional>
#include <vector>

#include "model/record.h"
#include "state/position_index.h"
#include "system/input_file.h"

namespace tarnvel {

// A cone: its centre and radius, in degrees.
struct cone_window {
    double ra = 0.0;
    double dec = 0.0;
    double radius = 0.0;
};

// The cone test: whether the position (ra, dec), in degrees as
// position_of gives it, lies within the cone.
using position_test = std::function<bool(double ra, double dec)>;

// An entry of the answer: its place in the catalogue list (from 0) and the
// record as the catalogue list holds it after normalisation (both
// declinations through arc::corrector).
struct cone_entry {
    std::uint32_t ordinal = 0;
    record entry;
};

// How an answer through the index went.
enum class indexed_answer {
    answered, // `entries` holds the answer
    too_many, // the cone holds so many entries that a reading of the whole
              // catalogue answers it sooner; the index is sound
    failed,   // the index does not describe the catalogue: a row could not
              // be read, failed its checksum, or named an entry that the
              // catalogue does not hold there
};

// Answers the cone `window` with the test `accepts` (which must accept no
// position farther than window.radius from the centre, give or take 1e-4
// degree) through `index`, reading entries from the open `catalogue` that
// the index describes. The entries come in catalogue order; with
// `answered`, they are exactly those of the catalogue list that `accepts`
// takes.
indexed_answer indexed_cone(const position_index& index, input_file& catalogue,
                            const cone_window& window, const position_test& accepts,
                            std::vector<cone_entry>& entries);

} // namespace tarnvel

#endif
