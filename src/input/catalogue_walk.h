// The catalogue read once, in order, an entry at a time: each entry handed
// on as tarnvel has it after reading and normalisation, with its number in
// the catalogue, and gone before the next is read, so that a catalogue of
// any size is walked in little memory.
#ifndef TARNVEL_INPUT_CATALOGUE_WALK_H
#define TARNVEL_INPUT_CATALOGUE_WALK_H

#include <functional>

#include "input/reading.h"
#include "input/scan_stream.h"
#include "model/record.h"

namespace tarnvel {

// What a walk hands on: the entry's number in the catalogue list (1 for the
// head entry, which is always in the list, as tarnvel counts it) and the
// entry. Returns false to end the walk there.
using entry_visitor = std::function<bool(long long number, const record& entry)>;

// Reads the catalogue `text` as tarnvel reads it (the head entry, then
// entries up to the closing line or the end of input; field skips that give
// up are not reported) and calls `visit` for each entry in catalogue order,
// its two declinations normalised by arc::corrector. Prints nothing and
// touches no process-wide state. Returns cannot_open when the text cannot be
// read at all (nothing visited), read otherwise, also when `visit` ended the
// walk.
reading_outcome walk_catalogue(const text_source& text, const entry_visitor& visit);

} // namespace tarnvel

#endif
