// The catalogue reader's steps: the head entry, then a run of entries read in
// the state "next entry" (where a first name would begin) until a place, the
// closing line or the end of input. A run reads from any such place, so that
// parts of a catalogue can be read apart and joined in file order.
#ifndef TARNVEL_INPUT_CATALOGUE_ENTRIES_H
#define TARNVEL_INPUT_CATALOGUE_ENTRIES_H

#include <limits>

#include "input/scan_stream.h"
#include "model/record.h"
#include "state/record_pool.h"

// How a run of entries ended.
enum class reading_end {
    boundary,     // it reached `stop_at` in the state "next entry"
    closing_line, // it read an empty first name: the catalogue ends there
    input_end,    // the input ended where an entry would begin, or in its first name
    no_memory,    // no record could be allocated for the entry at `end`
    not_read,     // the reading could not start (no stream to read from)
};

// A run of entries: where it stops, what it read, how it ended.
struct entry_reading {
    long long stop_at = std::numeric_limits<long long>::max(); // offset to stop at
    record_pool* pool = nullptr; // where the records are allocated
    record* first = nullptr;     // the first record read, when `last` started null
    record* last = nullptr;      // the record the next one is linked behind
    int lost_fields = 0;         // field skips that gave up, not yet reported
    long long end = -1;          // with `boundary` and `no_memory`: where it stopped
    reading_end how = reading_end::boundary;
};

// Reads the first entry of the file into DB_First, counting in `lost_fields`
// the field skips that give up. An empty first name leaves DB_First as it is
// and the stream right after its '$'; a first name cut by the end of input
// leaves DB_First as it is.
void read_head_entry(scan_stream& stream, int& lost_fields);

// Reads entries from `stream`, which stands in the state "next entry", each
// into a record of reading.pool linked behind reading.last (or, while that
// is null, made reading.first), until the stream's offset reaches
// reading.stop_at at the start of an entry, the closing line, the end of
// input or the end of memory; sets reading.how (and reading.end). Prints
// nothing.
void read_entries(scan_stream& stream, entry_reading& reading);

// Prints what a finished reading owes the console: one "stop_signal '$'
// lost" line per lost field, then, when memory ran out, "not enough memory
// for the catalogue\n". Returns 0, or no_memory when memory ran out.
int report_catalogue_reading(const entry_reading& reading);

#endif
