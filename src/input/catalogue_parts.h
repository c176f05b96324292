// The catalogue read as one pipeline: split into parts at guesses of where
// entries begin, the parts read in file order by as many threads as there
// are cores, each part into records of its own, and the parts joined in file
// order. A guess holds when the reading in order ends exactly there in the
// state "next entry"; otherwise that part is given back and its text read in
// order. Once a part has met a line that closes the catalogue, no later part
// is begun, so that text behind the closing line costs at most the parts
// already begun. The list, the console and the outcome are those of reading
// the whole text in order, which is the case of a single part.
#ifndef TARNVEL_INPUT_CATALOGUE_PARTS_H
#define TARNVEL_INPUT_CATALOGUE_PARTS_H

#include <cstddef>

#include "input/catalogue_entries.h"
#include "input/reading.h"
#include "input/scan_stream.h"

namespace tarnvel {

// The most parts a catalogue is split into, and the least text a part gets
// when the program chooses the parts itself.
constexpr int max_catalogue_parts = 64;
constexpr long long min_part_bytes = 1 << 20;

// How a catalogue is read: in at most `parts` parts of at least
// `part_bytes` bytes each, by `threads` threads (0: one per part), through
// buffers of `buffer_size` bytes.
struct catalogue_shape {
    int parts = 1;
    int threads = 0;
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
//
// With `test`, each entry is normalised (correct_record) as it is read,
// DB_First too, and only the further entries that `test` passes are kept in
// the list; the others leave nothing. DB_First holds the head entry
// whatever the test says. Without one, every entry is kept as read.
// `records`, when given, receives the number of records the list of every
// entry would hold, DB_First included: what Correct_record_list counts.
reading_outcome read_catalogue(const text_source& text,
                               const catalogue_shape& shape = catalogue_shape(),
                               const entry_test* test = nullptr, long long* records = nullptr);

} // namespace tarnvel

#endif
