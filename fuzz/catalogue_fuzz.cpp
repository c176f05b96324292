// Fuzz target: arbitrary bytes as the catalogue, then normalisation and a
// selection over what was read.
#include "app/correct_record_list.h"
#include "fuzz/fuzz_input.h"
#include "input/readers.h"
#include "select/selection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_reader(data, size, [](scan_stream& s) {
        read_catalogue(s);
        Correct_record_list();
        max_redshift = 10;
        max_apparent_magnitude = 30;
        min_absolute_magnitude = -30;
        maximal_declination.units = 90;
        maximal_ascension.units = 24;
        result_list_generator();
    });
}
