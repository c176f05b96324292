// Fuzz target: arbitrary entries written as the VOTable and the CSV of an
// answer, which must be a well-formed XML document and RFC 4180 text with a
// record of every column per entry. The first byte chooses the detail; the
// rest gives entry after entry: the first name and the second (each up to a
// NUL byte, at most 99 bytes), then the numbers' bit patterns, 8 bytes each.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "report/csv_table.h"
#include "report/votable.h"
#include "support/xml_check.h"

namespace tarnvel {

namespace {

// Takes a name from data[at..size) up to a NUL or 99 bytes into `name`.
void take_name(const std::uint8_t* data, std::size_t size, std::size_t& at, string& name)
{
    std::size_t length = 0;
    while (at < size && data[at] != 0 && length < string::capacity - 1)
        name.text[length++] = static_cast<char>(data[at++]);
    name.text[length] = '\0';
    if (at < size && data[at] == 0)
        ++at;
}

// Takes the next double's bits, or leaves `value` when the input has ended.
void take_number(const std::uint8_t* data, std::size_t size, std::size_t& at, double& value)
{
    if (size - at < sizeof value)
        return;
    std::memcpy(&value, data + at, sizeof value);
    at += sizeof value;
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    if (size < 1)
        return 0;
    const table_detail detail = static_cast<table_detail>(1 + data[0] % 3);
    std::vector<record> entries;
    for (std::size_t at = 1; at < size;) {
        record r;
        take_name(data, size, at, r.name_I);
        take_name(data, size, at, r.name_II);
        for (double* number :
             {&r.coords_2000.ascension.seconds, &r.coords_2000.declination.units, &r.redshift,
              &r.apparent_magnitude, &r.absolute_magnitude, &r.coords_1950.declination.minutes})
            take_number(data, size, at, *number);
        r.coords_2000.declination.sign = at % 2 == 0 ? 1 : -1;
        entries.push_back(r);
    }
    std::string votable;
    std::string csv;
    append_votable_head(votable, detail, entries.empty() ? "" : entries[0].name_II.text);
    append_csv_head(csv, detail);
    std::vector<table_cell> cells;
    long long number = 0;
    for (const record& r : entries) {
        const table_row row{++number, &r, r.redshift};
        append_votable_row(votable, row, detail, cells);
        append_csv_row(csv, row, detail, cells);
    }
    append_votable_foot(votable, size % 2 == 0);
    if (!xml_fault(votable).empty() || !xml_fault(votable_error(csv)).empty())
        std::abort();
    bool ok = false;
    const auto records = csv_records(csv, ok);
    if (!ok || records.size() != entries.size() + 1)
        std::abort();
    for (const auto& fields : records)
        if (fields.size() != answer_columns(detail).size())
            std::abort();
    return 0;
}
