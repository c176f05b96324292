// Fuzz target: arbitrary bytes as the style file.
#include "fuzz/fuzz_input.h"
#include "input/readers.h"

namespace tarnvel {

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    return fuzz_reader(data, size, [](scan_stream& s) { read_style(s); });
}
