// The catalogue read as one pipeline: split into parts at guesses of where
// entries begin (one part per core), the parts kept in front of the first
// line that could close the catalogue, each part read into records of its
// own on a thread of its own, and the parts joined in file order. A guess
// holds when the reading in order ends exactly there in the state "next
// entry"; otherwise that part is given back and its text read in order. The
// list, the console and the outcome are those of reading the whole text in
// order, which is the case of a single part.
#ifndef TARNVEL_INPUT_CATALOGUE_PARTS_H
#define TARNVEL_INPUT_CATALOGUE_PARTS_H

#include <cstddef>

#include "input/reading.h"
#include "input/scan_stream.h"

namespace tarnvel {

// The most parts a catalogue is split into, and the least text a part gets
// when the program chooses the parts itself.
constexpr int max_catalogue_parts = 64;
constexpr long long min_part_bytes = 1 << 20;

// How a catalogue is read: in at most `parts` parts of at least
// `part_bytes` bytes each, through buffers of `buffer_size` bytes.
struct catalogue_shape {
    int parts = 1;
    long long part_bytes = min_part_bytes;
    std::size_t buffer_size = scan_stream::default_buffer_size;
};

// Reads the catalogue `text` into DB_First and catalogue_records: 17
// '$'-ended fields per entry, the first entry into DB_First and every
// further one into a record appended to the list, up to an entry whose
// first name is empty, or the end of input (a first name that it cuts is no
// entry). Text that a FIFO, pipe or device gives is read in one part. Prints
// one "stop_signal '$' lost" line per field skip that gave up; returns
// cannot_open when the text cannot be read at all (the list is then
// DB_First alone, as it was), no_memory when memory ran out (printing
// nothing of it), and read otherwise.
reading_outcome read_catalogue(const text_source& text,
                               const catalogue_shape& shape = catalogue_shape());

} // namespace tarnvel

#endif
