// The walk over the catalogue in runs of entries.
#include "input/catalogue_walk.h"

#include "input/catalogue_entries.h"
#include "state/record_pool.h"

namespace tarnvel {

namespace {

// Normalises `entry` as tarnvel does after reading and hands it on.
bool hand_on(record& entry, long long number, const entry_visitor& visit)
{
    entry.coords_2000.declination.corrector();
    entry.coords_1950.declination.corrector();
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
    record_pool pool;
    for (;;) {
        entry_reading run;
        run.pool = &pool;
        run.stop_at = stream.offset() + walk_run_bytes;
        read_entries(stream, run);
        for (record* entry = run.first; entry != nullptr; entry = entry->next)
            if (!hand_on(*entry, ++number, visit))
                return reading_outcome::read;
        pool.release();
        if (run.how == reading_end::no_memory)
            return reading_outcome::no_memory;
        if (run.how != reading_end::boundary)
            return reading_outcome::read;
    }
}

} // namespace tarnvel
