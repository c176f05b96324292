// The decimal digits of an unsigned integer, written forwards, two at a
// time. The bodies are inline: every number of the page's table goes
// through them.
#ifndef TARNVEL_DECIMAL_DIGITS_H
#define TARNVEL_DECIMAL_DIGITS_H

#include <cassert>
#include <cstdint>
#include <cstring>

#include "decimal/powers_of_ten.h"

namespace tarnvel {

// The most characters write_digits writes: 20 digits of a 64-bit number.
constexpr int max_digits_text = 20;

// "00" to "99", for writing two digits at a time.
inline constexpr char digit_pairs[] = "00010203040506070809101112131415161718192021222324"
                                      "25262728293031323334353637383940414243444546474849"
                                      "50515253545556575859606162636465666768697071727374"
                                      "75767778798081828384858687888990919293949596979899";

// Writes the last `count` decimal digits of `value` at `out` (leading zeros
// where `value` has fewer); count <= max_digits_text.
inline void write_digits_exactly(char* out, std::uint64_t value, int count)
{
    assert(count >= 0 && count <= max_digits_text);
    char* at = out + count;
    if (count <= 9) {
        // Up to nine digits in 32-bit arithmetic, which is quicker.
        std::uint32_t rest = static_cast<std::uint32_t>(value % integer_powers_of_ten[9]);
        while (at - out >= 2) {
            at -= 2;
            std::memcpy(at, digit_pairs + std::size_t{2} * (rest % 100), 2);
            rest /= 100;
        }
        if (at != out)
            *out = static_cast<char>('0' + rest % 10);
        return;
    }
    while (at - out >= 2) {
        at -= 2;
        std::memcpy(at, digit_pairs + 2 * (value % 100), 2);
        value /= 100;
    }
    if (at != out)
        *out = static_cast<char>('0' + value % 10);
}

// How many decimal digits `value` has (0 has none).
inline int count_digits(std::uint64_t value)
{
    int count = 0;
    while (count < max_uint64_digits && value >= integer_powers_of_ten[count])
        ++count;
    return value >= integer_powers_of_ten[max_uint64_digits] ? max_uint64_digits + 1 : count;
}

// Writes the decimal digits of `value` at `out`, at least `min_digits` of them
// (leading zeros fill up; min_digits <= max_digits_text; 0 gives "0" with a
// min_digits of 1 and nothing with 0). Returns the end of what it wrote;
// nothing is terminated.
inline char* write_digits(char* out, std::uint64_t value, int min_digits)
{
    const int digits = count_digits(value);
    const int count = digits > min_digits ? digits : min_digits;
    write_digits_exactly(out, value, count);
    return out + count;
}

} // namespace tarnvel

#endif
