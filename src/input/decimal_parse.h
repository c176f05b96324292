// Conversion of a decimal number, given as its significant digits and a
// power of ten, to the nearest double (ties to even), as a correctly rounding
// C library does, without depending on any locale or C library.
#ifndef TARNVEL_INPUT_DECIMAL_PARSE_H
#define TARNVEL_INPUT_DECIMAL_PARSE_H

#include <cstdint>

#include "model/powers_of_ten.h"

// The most significant digits a number keeps; any further digit only tells
// whether something non-zero was cut off, which is enough to round right.
constexpr int max_significant_digits = 800;

// The double nearest to (-1 if negative) * D * 10^exponent, where D is the
// integer written by `digits[0..count)` ('0'..'9', count <= 800; leading
// zeros allowed) followed, when `truncated`, by further digits of which at
// least one is not zero. Too large a value gives an infinity, too small a one
// a zero, both with the sign.
double decimal_to_double(const char* digits, int count, bool truncated, long long exponent,
                         bool negative);

// The same for D = `digits`, a number of at most 19 decimal digits.
double decimal_to_double_general(std::uint64_t digits, long long exponent, bool negative);

inline double decimal_to_double(std::uint64_t digits, long long exponent, bool negative)
{
    // Up to 2^53 with a power of ten that is an exact double: one correctly
    // rounded operation on two exact doubles gives the answer.
    if (digits != 0 && digits <= (std::uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
        const double mantissa = static_cast<double>(digits);
        const double result = exponent >= 0 ? mantissa * exact_powers_of_ten[exponent]
                                            : mantissa / exact_powers_of_ten[-exponent];
        return negative ? -result : result;
    }
    return decimal_to_double_general(digits, exponent, negative);
}

// The usual number of a catalogue or form, straight from memory: an optional
// sign, at most 19 digits with an optional point, and an optional exponent of
// at most 4 digits. The memory must hold at least short_decimal_window bytes
// from `p` on. Returns the end of the number after storing its value in
// `target`, or null (storing nothing) when the text is no number or not such
// a short one, which the general reader then takes on.
constexpr long short_decimal_window = 48;

inline const char* parse_short_decimal(const char* p, double& target)
{
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint64_t digits = 0;
    int count = 0;
    unsigned d;
    while ((d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0') <= 9u && count < 20) {
        digits = digits * 10 + d;
        ++count;
        ++p;
    }
    int fraction = 0;
    if (*p == '.') {
        ++p;
        while ((d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0') <= 9u &&
               count < 20) {
            digits = digits * 10 + d;
            ++count;
            ++fraction;
            ++p;
        }
    }
    if (count == 0 || count > 19)
        return nullptr;
    int exponent = -fraction;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        const bool exponent_negative = *q == '-';
        if (*q == '-' || *q == '+')
            ++q;
        if (static_cast<unsigned>(static_cast<unsigned char>(*q)) - '0' <= 9u) {
            int written = 0;
            int length = 0;
            while ((d = static_cast<unsigned>(static_cast<unsigned char>(*q)) - '0') <= 9u) {
                if (++length > 4)
                    return nullptr;
                written = written * 10 + static_cast<int>(d);
                ++q;
            }
            exponent += exponent_negative ? -written : written;
            p = q;
        }
    }
    target = decimal_to_double(digits, exponent, negative);
    return p;
}

#endif
