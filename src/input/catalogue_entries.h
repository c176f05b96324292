// The catalogue's entries: the head entry, then a run of entries read in the
// state "next entry" (where a first name would begin) until a given place,
// the closing line or the end of input. A run may begin at any such place,
// so that parts of a catalogue can be read apart and joined in file order.
#ifndef TARNVEL_INPUT_CATALOGUE_ENTRIES_H
#define TARNVEL_INPUT_CATALOGUE_ENTRIES_H

#include <limits>

#include "input/scan_stream.h"
#include "input/text_spans.h"
#include "model/record.h"
#include "model/string.h"
#include "state/record_pool.h"

namespace tarnvel {

// The number fields of an entry: fields 2 to 16.
constexpr int entry_number_fields = 15;

// Where an entry's fields lie in the text.
struct entry_spans {
    value_span names[2]; // the first and the second name, up to their '$'
    value_span numbers[entry_number_fields];
    long long stops[entry_number_fields]; // where each number field's '$' stands; -1: lost
    long long end = -1;                   // past the white space behind the entry
};

// How a first name was read.
enum class first_name_read {
    name,  // a name, ended by its '$'
    empty, // an empty name: where an entry would begin, a closing line
    cut,   // the end of input came first: no entry
};

// Reads a first name into `name` (string::Read_string with '$'); with
// `span`, notes where it lies.
first_name_read read_first_name(scan_stream& stream, string& name, value_span* span = nullptr);

// Reads fields 2 to 17 of an entry whose first name has been read, into
// `entry`, then the white space in front of the next entry, counting in
// `lost_fields` the field skips that give up. With `spans`, also notes
// where each field lies.
void read_entry_rest(scan_stream& stream, record& entry, int& lost_fields,
                     entry_spans* spans = nullptr);

// A caller's test of the entries a reading finds: called with each entry
// after the head entry (which DB_First holds in any case), normalised
// (correct_record), and the offset where its first name begins; says
// whether the entry is kept in the list. The reading of a catalogue in parts
// calls it on several threads at once, and also for text that the reading
// in order later finds not to be an entry or reads again, so it must be a
// pure function of the entry and the offset, safe to call at once: only what
// the list holds in the end counts. Holds a reference to the callable, which
// must outlive every reading given the test.
class entry_test {
public:
    // Tests with `test(const record&, long long)`.
    template <typename Test>
    explicit entry_test(const Test& test)
        : test_(&test), call_([](const void* t, const record& entry, long long start) {
              return (*static_cast<const Test*>(t))(entry, start);
          })
    {
    }

    bool operator()(const record& entry, long long start) const
    {
        return call_(test_, entry, start);
    }

private:
    const void* test_;
    bool (*call_)(const void*, const record&, long long);
};

// Where a run of entries stops when nothing else stops it first.
constexpr long long no_stop = std::numeric_limits<long long>::max();

// How a run of entries ended.
enum class reading_end {
    boundary,     // it reached `stop_at` in the state "next entry"
    closing_line, // it read an empty first name: the catalogue ends there
    input_end,    // the input ended where an entry would begin, or in its first name
    no_memory,    // no record could be allocated for the entry at `end`
    not_read,     // the run never started (no thread or stream could be had for it)
};

// A run of entries: where it stops, what it read, how it ended.
struct entry_reading {
    long long stop_at = no_stop; // the offset at or after which no entry is begun
    record_pool* pool = nullptr; // where the records are allocated
    record* first = nullptr;     // the first record read, when `last` started null
    record* last = nullptr;      // the record the next one is linked behind
    int lost_fields = 0;         // field skips that gave up, not yet reported
    long long entries = 0;       // entries read, kept or not
    // With a test: every entry normalised and tested, only those it passes
    // kept. Without one (null): every entry kept as read.
    const entry_test* test = nullptr;
    long long end = -1; // with `boundary` and `no_memory`: where it stopped
    reading_end how = reading_end::boundary;
};

// Reads the first entry of the catalogue into DB_First, counting in
// `lost_fields` the field skips that give up. An empty first name leaves
// DB_First as it is and the stream right after its '$'; a first name cut by
// the end of input leaves DB_First as it is.
void read_head_entry(scan_stream& stream, int& lost_fields);

// Reads entries from `stream`, which stands in the state "next entry",
// counting them in reading.entries, until an entry would begin at or after
// reading.stop_at, the closing line, the end of input or the end of memory;
// sets reading.how (and reading.end). Each entry that is kept (every one
// without reading.test, else those it passes) goes into a record of
// reading.pool linked behind reading.last (or, while that is null, made
// reading.first); with a test, the others are read into scratch space that
// is used again and leave nothing. Prints nothing.
void read_entries(scan_stream& stream, entry_reading& reading);

} // namespace tarnvel

#endif
