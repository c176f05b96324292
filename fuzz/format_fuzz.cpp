// Fuzz target: the page's number formatting against snprintf of the C
// library on arbitrary bit patterns: "%-W.Pg" for every precision and width
// the input chooses, and the three integer forms.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "decimal/format.h"

namespace tarnvel {

namespace {

void expect_same(const char* ours_begin, const char* ours_end, const char* theirs)
{
    if (std::string(ours_begin, ours_end) != theirs)
        std::abort();
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    if (size < 8)
        return 0;
    std::uint64_t bits;
    std::memcpy(&bits, data, sizeof bits);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    const int precision = size > 8 ? 1 + data[8] % 17 : 6;
    const int width = size > 9 ? data[9] % (format_slack + 1) : 8;

    char ours[max_number_text];
    char theirs[max_number_text + 8];
    std::snprintf(theirs, sizeof theirs, "%-*.*g", width, precision, value);
    expect_same(ours, format_general(ours, value, precision, width), theirs);

    int integer;
    std::memcpy(&integer, data, sizeof integer);
    std::snprintf(theirs, sizeof theirs, "%-5.1i", integer);
    expect_same(ours, format_int_padded5(ours, integer), theirs);
    std::snprintf(theirs, sizeof theirs, "%-2.2i", integer);
    expect_same(ours, format_int_two_digits(ours, integer), theirs);
    std::snprintf(theirs, sizeof theirs, "%-2.2u", static_cast<unsigned>(integer));
    expect_same(ours, format_unsigned_two_digits(ours, integer), theirs);
    return 0;
}
