// The catalogue read in parts at once, one part per core: the file is split
// at guesses of where entries begin, each part is read into records of its
// own on a thread of its own, and the parts are joined in file order. A
// guess holds when the part before it, read in order, ends exactly there in
// the state "next entry"; otherwise the part is thrown away and its text
// read again in order. The list, the console and the result are those of
// reading the whole file in order.
#ifndef TARNVEL_INPUT_CATALOGUE_PARTS_H
#define TARNVEL_INPUT_CATALOGUE_PARTS_H

#include <cstddef>

#include "input/scan_stream.h"

// The most parts a catalogue is split into, and the least text a part gets
// when the program chooses the parts itself.
constexpr int max_catalogue_parts = 64;
constexpr long long min_part_bytes = 1 << 20;

// Where a catalogue's text comes from: the file `file_name`, which each
// part opens for itself, or `size` bytes at `data`.
struct catalogue_source {
    const char* file_name = nullptr;
    const char* data = nullptr;
    std::size_t size = 0;
};

// Reads the catalogue of `source` into DB_First and catalogue_records, as
// read_catalogue does, in up to `parts` parts of at least `part_bytes`
// bytes. `stream` reads `source` from its start and serves the first part.
// Prints the reading's messages; returns 0, or no_memory.
int read_catalogue_parts(const catalogue_source& source, scan_stream& stream, int parts,
                         long long part_bytes);

// The same over `size` bytes at `data`, in up to `parts` parts of any size
// (for tests and fuzzing).
int read_catalogue_text_in_parts(const char* data, std::size_t size, int parts);

#endif
