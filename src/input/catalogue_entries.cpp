// Entries of 17 '$'-ended fields into records, up to the closing line.
#include "input/catalogue_entries.h"

#include <cstring>

#include "input/stop_scan.h"
#include "state/state.h"

namespace {

// Fields 2 to 17 of an entry whose first name has been read, then the white
// space in front of the next entry. Counts the skips that gave up.
void read_entry_rest(scan_stream& stream, record& entry, int& lost_fields)
{
    constexpr int number_fields = 15;
    double* const numbers[number_fields] = {
        &entry.coords_2000.ascension.units,   &entry.coords_2000.ascension.minutes,
        &entry.coords_2000.ascension.seconds, &entry.coords_2000.declination.units,
        &entry.coords_2000.declination.minutes, &entry.coords_2000.declination.seconds,
        &entry.redshift,                      &entry.apparent_magnitude,
        &entry.absolute_magnitude,            &entry.coords_1950.ascension.units,
        &entry.coords_1950.ascension.minutes, &entry.coords_1950.ascension.seconds,
        &entry.coords_1950.declination.units, &entry.coords_1950.declination.minutes,
        &entry.coords_1950.declination.seconds};
    // The usual fields (a number and its '$') in one sweep, the rest one by
    // one: "%lg", then the skip past the rest of the field.
    for (int field = stream.read_number_fields(numbers, number_fields, '$'); field < number_fields;
         ++field) {
        stream.read_double(*numbers[field]);
        if (!skip_to_stop(stream, '$'))
            ++lost_fields;
    }
    entry.name_II.Read_string(stream, '$');
    stream.skip_whitespace();
}

} // namespace

void read_head_entry(scan_stream& stream, int& lost_fields)
{
    // An empty first name at the very start does not end the list: the head
    // record keeps its initial values and reading goes on right after the
    // '$'. A first name that the end of input cuts is no entry either.
    string name;
    bool stopped;
    const int length = name.Read_string(stream, '$', stopped);
    if (length == 0 || !stopped)
        return;
    std::memcpy(DB_First.name_I.text, name.text, static_cast<std::size_t>(length) + 1);
    read_entry_rest(stream, DB_First, lost_fields);
}

void read_entries(scan_stream& stream, entry_reading& reading)
{
    for (;;) {
        const long long entry_start = stream.offset();
        if (entry_start >= reading.stop_at) {
            reading.how = reading_end::boundary;
            reading.end = entry_start;
            return;
        }
        string name;
        bool stopped;
        const int length = name.Read_string(stream, '$', stopped);
        if (!stopped) {
            // The end of input, where an entry would begin or inside its
            // first name: the list ends in front of it.
            reading.how = reading_end::input_end;
            return;
        }
        if (length == 0) {
            reading.how = reading_end::closing_line;
            return;
        }
        record* entry = reading.pool->allocate();
        if (entry == nullptr) {
            reading.how = reading_end::no_memory;
            reading.end = entry_start;
            return;
        }
        if (reading.last != nullptr)
            reading.last->next = entry;
        else
            reading.first = entry;
        reading.last = entry;
        std::memcpy(entry->name_I.text, name.text, static_cast<std::size_t>(length) + 1);
        read_entry_rest(stream, *entry, reading.lost_fields);
    }
}
