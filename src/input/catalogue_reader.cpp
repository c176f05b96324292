// The reader of the catalogue file: entries of 17 '$'-ended fields into the
// catalogue list, up to the closing line.
#include <cstdio>
#include <cstring>

#include "app/state.h"
#include "input/readers.h"
#include "input/record_pool.h"
#include "input/stop_scan.h"

namespace {

// One numeric field: "%lg", then the skip past the rest of the field.
void read_number_field(scan_stream& stream, double& target)
{
    stream.read_double(target);
    skip_past(stream, '$');
}

// Fields 2 to 17 of an entry whose first name has been read, then the white
// space in front of the next entry.
void read_entry_rest(scan_stream& stream, record& entry)
{
    double* const numbers[15] = {
        &entry.coords_2000.ascension.units,   &entry.coords_2000.ascension.minutes,
        &entry.coords_2000.ascension.seconds, &entry.coords_2000.declination.units,
        &entry.coords_2000.declination.minutes, &entry.coords_2000.declination.seconds,
        &entry.redshift,                      &entry.apparent_magnitude,
        &entry.absolute_magnitude,            &entry.coords_1950.ascension.units,
        &entry.coords_1950.ascension.minutes, &entry.coords_1950.ascension.seconds,
        &entry.coords_1950.declination.units, &entry.coords_1950.declination.minutes,
        &entry.coords_1950.declination.seconds};
    // The usual fields (a number and its '$') in one sweep, the rest one by one.
    for (int field = stream.read_number_fields(numbers, 15, '$'); field < 15; ++field)
        read_number_field(stream, *numbers[field]);
    entry.name_II.Read_string(stream, '$');
    stream.skip_whitespace();
}

} // namespace

void read_catalogue(scan_stream& stream)
{
    // An empty first name at the very start does not end the list: the head
    // record keeps its initial values and reading goes on.
    if (DB_First.name_I.Read_string(stream, '$') != 0)
        read_entry_rest(stream, DB_First);

    record* tail = &DB_First;
    for (;;) {
        string name;
        const int length = name.Read_string(stream, '$');
        if (length == 0)
            return;
        record* entry = allocate_record();
        tail->next = entry;
        tail = entry;
        std::memcpy(entry->name_I.text, name.text, static_cast<std::size_t>(length) + 1);
        read_entry_rest(stream, *entry);
    }
}

int Read_record_list(const char* file_name)
{
    std::FILE* file = std::fopen(file_name, "rb+");
    if (file == nullptr) {
        std::fputs("error open file ", stdout);
        std::fputs(file_name, stdout);
        std::fputs("\n", stdout);
        return 1;
    }
    {
        scan_stream stream(file);
        read_catalogue(stream);
    }
    std::fclose(file);
    return 0;
}
