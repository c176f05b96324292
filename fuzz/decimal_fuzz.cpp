// Fuzz target: the scanner's decimal reading ("%lg") of arbitrary text
// against strtod of the C library in the C locale, on the general path (the
// text alone) and on the short-number path (the text followed by a '$' and
// room): the same double, bit for bit, and the same end of the number.
#include <cassert>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "input/scan_stream.h"

namespace tarnvel {

namespace {

bool is_c_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when strtod reads more forms than decimals at `text`: hexadecimal,
// infinity and NaN, which are no numbers to the scanner.
bool library_reads_more(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i >= text.size())
        return false;
    const char c = static_cast<char>(text[i] | 0x20);
    return c == 'i' || c == 'n' ||
           (text[i] == '0' && i + 1 < text.size() && (text[i + 1] | 0x20) == 'x');
}

// Reads `input` with the scanner and checks it against strtod of `text`,
// the part of `input` that the number may take.
void check(const std::string& text, const std::string& input)
{
    scan_stream stream(input.data(), input.size());
    double ours = 0;
    const bool found = stream.read_double(ours);
    const std::size_t used = static_cast<std::size_t>(stream.offset());

    const std::string terminated = text.substr(0, text.find('\0'));
    char* end = nullptr;
    const double theirs = std::strtod(terminated.c_str(), &end);
    const std::size_t library_used = static_cast<std::size_t>(end - terminated.c_str());
    if (library_reads_more(terminated)) {
        // Only what the scanner took is compared: the library must read
        // exactly that prefix to the same value.
        if (!found)
            return;
        const std::string prefix = text.substr(0, used);
        const double again = std::strtod(prefix.c_str(), &end);
        if (static_cast<std::size_t>(end - prefix.c_str()) != used ||
            std::memcmp(&again, &ours, sizeof ours) != 0)
            std::abort();
        return;
    }
    if (found != (library_used != 0))
        std::abort();
    if (found && (used != library_used || std::memcmp(&theirs, &ours, sizeof ours) != 0))
        std::abort();
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    static const bool c_locale = std::setlocale(LC_ALL, "C") != nullptr;
    (void)c_locale;
    const std::string text(reinterpret_cast<const char*>(data), size);
    check(text, text);
    // After the number a '$' stops it, and the room behind lets the short
    // reader take it straight from memory.
    check(text + "$", text + "$" + std::string(64, ' '));
    return 0;
}
