// The walk over the catalogue, entry by entry.
#include "input/catalogue_walk.h"

#include "input/catalogue_entries.h"
#include "input/correct_record_list.h"

namespace tarnvel {

namespace {

// Normalises `entry` as tarnvel does after reading and hands it on.
bool hand_on(record& entry, long long number, const entry_visitor& visit)
{
    correct_record(entry);
    return visit(number, entry);
}

} // namespace

reading_outcome walk_catalogue(const text_source& text, const entry_visitor& visit)
{
    scan_stream stream(text);
    const reading_outcome outcome = first_reading(stream);
    if (outcome != reading_outcome::read)
        return outcome;
    // The head entry: an empty first name, or one the end of input cuts,
    // leaves it at its initial values, and it stays in the list.
    record head;
    int lost_fields = 0;
    string name;
    if (read_first_name(stream, name) == first_name_read::name) {
        head.name_I = name;
        read_entry_rest(stream, head, lost_fields);
    }
    long long number = 1;
    if (!hand_on(head, number, visit))
        return reading_outcome::read;
    // The further entries, as read_entries reads them, each into one record
    // on the stack: a pool of records per run cost fresh memory for every
    // entry, most of a walk's time.
    for (;;) {
        string next;
        if (read_first_name(stream, next) != first_name_read::name)
            return reading_outcome::read; // the closing line, or the end of input
        record entry;
        entry.name_I = next;
        read_entry_rest(stream, entry, lost_fields);
        if (!hand_on(entry, ++number, visit))
            return reading_outcome::read;
    }
}

} // namespace tarnvel
