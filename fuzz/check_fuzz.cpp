// Fuzz target: the whole check of tarnvel-check over one input: the
// catalogue, the query form and the style file, separated by NUL bytes,
// checked from memory with the findings thrown away; the entries the check
// counts must be the records tarnvel's own reading makes of the catalogue.
#include <algorithm>
#include <cstdlib>

#include "check/catalogue_check.h"
#include "check/form_check.h"
#include "fuzz/fuzz_input.h"
#include "input/catalogue_parts.h"
#include "input/correct_record_list.h"
#include "state/state.h"

namespace tarnvel {

namespace {

// The part of [*begin, end) up to the next NUL; *begin moves past it.
text_source next_part(const std::uint8_t*& begin, const std::uint8_t* end)
{
    const std::uint8_t* stop = std::find(begin, end, std::uint8_t(0));
    text_source part;
    part.data = reinterpret_cast<const char*>(begin);
    part.size = static_cast<std::size_t>(stop - begin);
    begin = stop == end ? end : stop + 1;
    return part;
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    fuzz_quiet_console();
    reset_run_state();
    const std::uint8_t* at = data;
    const std::uint8_t* const end = data + size;
    const text_source catalogue_text = next_part(at, end);
    file_findings catalogue("quasar_list.dat");
    const long long entries = check_catalogue(catalogue_text, catalogue);
    read_catalogue(catalogue_text, catalogue_shape());
    Correct_record_list();
    if (entries != total_number)
        std::abort();
    file_findings query("query.frm");
    check_query_form(next_part(at, end), query);
    file_findings style("style.var");
    check_style_file(next_part(at, end), style);
    return 0;
}
