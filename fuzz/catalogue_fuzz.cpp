// Fuzz target: arbitrary bytes as the catalogue, read in order from a file
// and then in parts from memory (as many as a byte of the input chooses, so
// that the guesses of the splits and the lines that could close the
// catalogue fall anywhere), which must give the same list; then
// normalisation and a selection over what was read, which must give the
// chain and the count of the reading that keeps only what the query
// selects.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "input/catalogue_entries.h"
#include "input/catalogue_parts.h"
#include "input/correct_record_list.h"
#include "select/selection.h"
#include "support/record_text.h"

namespace tarnvel {

namespace {

// The selected chain, from First_Selected along next_selected, as text.
std::string selected_chain_text()
{
    std::string text;
    for (const record* r = First_Selected; r != nullptr; r = r->next_selected)
        text += record_text(*r);
    return text + std::to_string(number_of_selected);
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    fuzz_quiet_console();
    if (size < 2)
        return 0;
    reset_run_state();
    fuzz_catalogue_file(data + 1, size - 1, fuzz_buffer_size(data[0]));
    const std::string in_order = catalogue_list_text();

    reset_run_state();
    text_source text;
    text.data = reinterpret_cast<const char*>(data) + 1;
    text.size = size - 1;
    catalogue_shape in_parts;
    in_parts.parts = 2 + data[1] % 15;
    in_parts.part_bytes = 1;
    in_parts.buffer_size = fuzz_buffer_size(data[0]);
    read_catalogue(text, in_parts);
    if (catalogue_list_text() != in_order)
        std::abort();

    Correct_record_list();
    max_redshift = 10;
    max_apparent_magnitude = 30;
    min_absolute_magnitude = -30;
    maximal_declination.units = 90;
    maximal_ascension.units = 24;
    result_list_generator();
    const std::string selected = selected_chain_text();
    const int total = total_number;

    // The same query as the test of the reading: only the entries it
    // passes are kept, and the chain and the count are the same.
    reset_catalogue_state();
    const query_test test;
    const entry_test keep(test);
    long long records = 0;
    read_catalogue(text, in_parts, &keep, &records);
    result_list_generator();
    if (records != total || selected_chain_text() != selected)
        std::abort();
    return 0;
}
