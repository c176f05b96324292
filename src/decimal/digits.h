// The decimal digits of an unsigned integer, written forwards.
#ifndef TARNVEL_DECIMAL_DIGITS_H
#define TARNVEL_DECIMAL_DIGITS_H

#include <cstdint>

// The most characters write_digits writes: 20 digits of a 64-bit number.
constexpr int max_digits_text = 20;

// Writes the decimal digits of `value` at `out`, at least `min_digits` of them
// (leading zeros fill up; min_digits <= max_digits_text; 0 gives "0" with a
// min_digits of 1 and nothing with 0). Returns the end of what it wrote;
// nothing is terminated.
inline char* write_digits(char* out, std::uint64_t value, int min_digits)
{
    char reversed[max_digits_text];
    int n = 0;
    for (; value != 0; value /= 10)
        reversed[n++] = static_cast<char>('0' + value % 10);
    while (n < min_digits)
        reversed[n++] = '0';
    while (n > 0)
        *out++ = reversed[--n];
    return out;
}

#endif
