// The answers of the catalogue's machine-readable services, read from the
// catalogue file: the entries within a cone, and the entries of the form's
// query. Each answer is one function, so that a faster way to the same
// entries (a position index, a reading fused with the test) can take its
// place.
#ifndef TARNVEL_CGI_CATALOGUE_ANSWERS_H
#define TARNVEL_CGI_CATALOGUE_ANSWERS_H

#include <functional>

#include "input/reading.h"
#include "input/scan_stream.h"
#include "model/record.h"
#include "select/cone.h"

namespace tarnvel {

// An entry of an answer: its number in the catalogue list (1 for the head
// entry), the entry with normalised declinations, and, for a cone, its
// distance from the centre in degrees (0 otherwise).
struct answer_entry {
    long long number;
    const record* entry;
    double distance;
};

// Takes the entries of an answer one at a time, in catalogue order; returns
// false to have no more. The entry lives only during the call.
using answer_sink = std::function<bool(const answer_entry&)>;

// Hands `sink` every entry of the catalogue `text` whose epoch-2000 position
// lies within `area` (the boundary included), in catalogue order, until the
// sink has no more. Returns how the catalogue was read (walk_catalogue).
reading_outcome cone_entries(const text_source& text, const cone& area, const answer_sink& sink);

// Hands `sink` every entry of the catalogue `text` that tarnvel's selection
// takes for the query globals (the epoch's coordinates, the five closed
// intervals), in catalogue order. The epoch must be 2000 or 1950 (any other
// is taken as 1950). Returns how the catalogue was read.
reading_outcome query_entries(const text_source& text, const answer_sink& sink);

} // namespace tarnvel

#endif
