// Entries of 17 '$'-ended fields into records, up to the closing line.
#include "input/catalogue_entries.h"

#include "input/correct_record_list.h"
#include "input/stop_scan.h"
#include "state/state.h"

namespace tarnvel {

first_name_read read_first_name(scan_stream& stream, string& name, value_span* span)
{
    const long long start = stream.offset();
    bool stopped;
    const int length = name.Read_string(stream, '$', stopped);
    if (span != nullptr) {
        span->field = span->start = start;
        span->end = stopped ? stream.offset() - 1 : stream.offset();
        span->found = stopped;
    }
    if (!stopped)
        return first_name_read::cut;
    return length == 0 ? first_name_read::empty : first_name_read::name;
}

void read_entry_rest(scan_stream& stream, record& entry, int& lost_fields, entry_spans* spans)
{
    double* const numbers[entry_number_fields] = {&entry.coords_2000.ascension.units,
                                                  &entry.coords_2000.ascension.minutes,
                                                  &entry.coords_2000.ascension.seconds,
                                                  &entry.coords_2000.declination.units,
                                                  &entry.coords_2000.declination.minutes,
                                                  &entry.coords_2000.declination.seconds,
                                                  &entry.redshift,
                                                  &entry.apparent_magnitude,
                                                  &entry.absolute_magnitude,
                                                  &entry.coords_1950.ascension.units,
                                                  &entry.coords_1950.ascension.minutes,
                                                  &entry.coords_1950.ascension.seconds,
                                                  &entry.coords_1950.declination.units,
                                                  &entry.coords_1950.declination.minutes,
                                                  &entry.coords_1950.declination.seconds};
    // The usual fields (a number and its '$') in one sweep, the rest one by
    // one: "%lg", then the skip past the rest of the field.
    const long long first_field = stream.offset();
    int field = stream.read_number_fields(numbers, entry_number_fields, '$',
                                          spans != nullptr ? spans->stops : nullptr);
    if (spans != nullptr) {
        // A swept field is its number alone, from behind the '$' before it.
        for (int swept = 0; swept < field; ++swept) {
            value_span& span = spans->numbers[swept];
            span.field = span.start = swept == 0 ? first_field : spans->stops[swept - 1] + 1;
            span.end = spans->stops[swept];
            span.found = true;
        }
    }
    for (; field < entry_number_fields; ++field) {
        if (spans == nullptr) {
            stream.read_double(*numbers[field]);
            if (!skip_to_stop(stream, '$'))
                ++lost_fields;
            continue;
        }
        value_span& span = spans->numbers[field];
        span.field = stream.offset();
        stream.skip_whitespace();
        span.start = stream.offset();
        span.found = stream.read_double(*numbers[field]);
        span.end = stream.offset();
        const bool stopped = skip_to_stop(stream, '$');
        if (!stopped)
            ++lost_fields;
        spans->stops[field] = stopped ? stream.offset() - 1 : -1;
    }
    if (spans == nullptr) {
        entry.name_II.Read_string(stream, '$');
    } else {
        value_span& span = spans->names[1];
        span.field = span.start = stream.offset();
        entry.name_II.Read_string(stream, '$', span.found);
        span.end = span.found ? stream.offset() - 1 : stream.offset();
    }
    stream.skip_whitespace();
    if (spans != nullptr)
        spans->end = stream.offset();
}

void read_head_entry(scan_stream& stream, int& lost_fields)
{
    // An empty first name at the very start does not end the list: the head
    // record keeps its initial values and reading goes on right after the
    // '$'. A first name that the end of input cuts is no entry either.
    string name;
    if (read_first_name(stream, name) != first_name_read::name)
        return;
    DB_First.name_I = name;
    read_entry_rest(stream, DB_First, lost_fields);
}

namespace {

// Links `entry`, a record of reading.pool, behind reading.last.
void link(entry_reading& reading, record* entry)
{
    if (reading.last != nullptr)
        reading.last->next = entry;
    else
        reading.first = entry;
    reading.last = entry;
}

// Reads the rest of the entry whose first name is `name` and keeps it when
// it is to be kept. False when no record could be had for it; its lost
// fields are then not counted, since it is read again.
bool read_and_keep(scan_stream& stream, entry_reading& reading, const string& name,
                   long long entry_start, record& scratch)
{
    if (reading.test == nullptr) {
        // Every entry is kept: read straight into its record.
        record* entry = reading.pool->allocate();
        if (entry == nullptr)
            return false;
        link(reading, entry);
        entry->name_I = name; // a copy of the whole buffer: short and of fixed size
        read_entry_rest(stream, *entry, reading.lost_fields);
        return true;
    }
    const int lost_before = reading.lost_fields;
    scratch = record();
    scratch.name_I = name;
    read_entry_rest(stream, scratch, reading.lost_fields);
    correct_record(scratch);
    if (!(*reading.test)(scratch, entry_start))
        return true;
    record* entry = reading.pool->allocate();
    if (entry == nullptr) {
        reading.lost_fields = lost_before;
        return false;
    }
    *entry = scratch;
    link(reading, entry);
    return true;
}

} // namespace

void read_entries(scan_stream& stream, entry_reading& reading)
{
    record scratch; // with a test: each entry in turn, until it is kept or left
    for (;;) {
        const long long entry_start = stream.offset();
        if (entry_start >= reading.stop_at) {
            reading.how = reading_end::boundary;
            reading.end = entry_start;
            return;
        }
        string name;
        const first_name_read got = read_first_name(stream, name);
        if (got == first_name_read::cut) {
            // The end of input, where an entry would begin or inside its
            // first name: the list ends in front of it.
            reading.how = reading_end::input_end;
            return;
        }
        if (got == first_name_read::empty) {
            reading.how = reading_end::closing_line;
            return;
        }
        if (!read_and_keep(stream, reading, name, entry_start, scratch)) {
            reading.how = reading_end::no_memory;
            reading.end = entry_start;
            return;
        }
        ++reading.entries;
    }
}

} // namespace tarnvel
