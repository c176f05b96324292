// Making the position index of a catalogue: one reading of the catalogue in
// order with the catalogue's own entry reader, noting where each entry
// starts as that reading finds it, then a sort.
#ifndef TARNVEL_SELECT_INDEX_BUILDING_H
#define TARNVEL_SELECT_INDEX_BUILDING_H

#include <vector>

#include "system/input_file.h"

namespace tarnvel {

// The bytes of the position index of the open catalogue `catalogue` into
// `bytes`: its entries read in order from its start, as the catalogue list
// holds them (the head entry, then entries up to the closing line or the
// end of input), each with its position and where its text starts. False,
// with `bytes` empty, for a file that is not regular or changed while it
// was read, one that cannot be read, or one too large for the index's
// numbers (more than 2^32 - 1 entries or an entry of 4 GiB).
bool build_index(input_file& catalogue, std::vector<char>& bytes);

} // namespace tarnvel

#endif
