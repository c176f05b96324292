// Fuzz target: arbitrary bytes as the style file.
#include "fuzz/fuzz_input.h"
#include "input/readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_reader(data, size, [](scan_stream& s) { read_style(s); });
}
