// Fuzz target: a whole run in process. The input holds the style file, the
// query form and the catalogue, separated by NUL bytes, behind a first byte
// that chooses the scan buffer's size; the page is written to memory and
// thrown away, so that the page writer meets whatever the readers let
// through.
#include <algorithm>

#include "fuzz/fuzz_input.h"
#include "input/correct_record_list.h"
#include "input/readers.h"
#include "report/page.h"
#include "select/selection.h"

namespace tarnvel {

namespace {

// The part of [*begin, end) up to the next NUL; *begin moves past it.
void next_part(const std::uint8_t*& begin, const std::uint8_t* end, const std::uint8_t*& part,
               std::size_t& size)
{
    const std::uint8_t* stop = std::find(begin, end, std::uint8_t(0));
    part = begin;
    size = static_cast<std::size_t>(stop - begin);
    begin = stop == end ? end : stop + 1;
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    fuzz_quiet_console();
    if (size == 0)
        return 0;
    const std::size_t buffer_size = fuzz_buffer_size(data[0]);
    const std::uint8_t* at = data + 1;
    const std::uint8_t* const end = data + size;
    const std::uint8_t* part;
    std::size_t part_size;
    reset_run_state();

    next_part(at, end, part, part_size);
    fuzz_file(part, part_size, buffer_size, [](scan_stream& s) { read_style(s); });
    next_part(at, end, part, part_size);
    int query = 0;
    fuzz_file(part, part_size, buffer_size, [&](scan_stream& s) { query = read_query(s); });
    if (query != 1)
        return 0;
    next_part(at, end, part, part_size);
    fuzz_catalogue_file(part, part_size, buffer_size);
    Correct_record_list();
    if (result_list_generator() != 0)
        return 0;
    page_stream page(nullptr);
    if (page.ok()) {
        write_page(page);
        page.flush();
    }
    return 0;
}
