// The reader of the catalogue file: entries of 17 '$'-ended fields into the
// catalogue list, up to the closing line.
#include <cstdio>

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
    read_number_field(stream, entry.coords_2000.ascension.units);
    read_number_field(stream, entry.coords_2000.ascension.minutes);
    read_number_field(stream, entry.coords_2000.ascension.seconds);
    read_number_field(stream, entry.coords_2000.declination.units);
    read_number_field(stream, entry.coords_2000.declination.minutes);
    read_number_field(stream, entry.coords_2000.declination.seconds);
    read_number_field(stream, entry.redshift);
    read_number_field(stream, entry.apparent_magnitude);
    read_number_field(stream, entry.absolute_magnitude);
    read_number_field(stream, entry.coords_1950.ascension.units);
    read_number_field(stream, entry.coords_1950.ascension.minutes);
    read_number_field(stream, entry.coords_1950.ascension.seconds);
    read_number_field(stream, entry.coords_1950.declination.units);
    read_number_field(stream, entry.coords_1950.declination.minutes);
    read_number_field(stream, entry.coords_1950.declination.seconds);
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
        if (name.Read_string(stream, '$') == 0)
            return;
        record* entry = allocate_record();
        tail->next = entry;
        tail = entry;
        entry->name_I = name;
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
