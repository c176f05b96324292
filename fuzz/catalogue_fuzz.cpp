// Fuzz target: arbitrary bytes as the catalogue, read in order and then in
// parts (as many as a byte of the input chooses, so that the guesses of the
// splits fall anywhere), which must give the same list and console; then
// normalisation and a selection over what was read.
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/correct_record_list.h"
#include "fuzz/fuzz_input.h"
#include "input/catalogue_parts.h"
#include "input/readers.h"
#include "select/selection.h"

namespace {

void append(std::string& bytes, const void* data, std::size_t size)
{
    bytes.append(static_cast<const char*>(data), size);
}

void append(std::string& bytes, const arc& a)
{
    for (const double* number : {&a.units, &a.minutes, &a.seconds})
        append(bytes, number, sizeof *number);
    append(bytes, &a.sign, sizeof a.sign);
}

// The catalogue list: every field of every record but the links, and of the
// names only their texts.
std::string list_bytes()
{
    std::string bytes;
    for (const record* r = &DB_First; r != nullptr; r = r->next) {
        for (const sky_coords* position : {&r->coords_2000, &r->coords_1950}) {
            append(bytes, position->declination);
            append(bytes, position->ascension);
        }
        for (const double* number : {&r->redshift, &r->apparent_magnitude, &r->absolute_magnitude})
            append(bytes, number, sizeof *number);
        for (const string* name : {&r->name_I, &r->name_II})
            append(bytes, name->text, std::strlen(name->text) + 1);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int parts = 2 + data[1] % 15;
    std::string in_order;
    fuzz_reader(data, size, [&](scan_stream& s) {
        read_catalogue(s);
        in_order = list_bytes();
    });
    reset_run_state();
    read_catalogue_text_in_parts(reinterpret_cast<const char*>(data) + 1, size - 1, parts);
    if (list_bytes() != in_order)
        std::abort();
    Correct_record_list();
    max_redshift = 10;
    max_apparent_magnitude = 30;
    min_absolute_magnitude = -30;
    maximal_declination.units = 90;
    maximal_ascension.units = 24;
    result_list_generator();
    return 0;
}
