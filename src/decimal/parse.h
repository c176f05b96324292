// Decimal text to double: the nearest double (ties to even), as a correctly
// rounding C library gives it, without any locale or C library. The text is
// scanned by scan_number (decimal/number_text.h); short numbers take a fast
// path straight from memory, everything else the exact path.
#ifndef TARNVEL_DECIMAL_PARSE_H
#define TARNVEL_DECIMAL_PARSE_H

#include <cstddef>
#include <cstdint>

#include "decimal/binary64.h"
#include "decimal/number_text.h"
#include "decimal/powers_of_ten.h"

namespace tarnvel {

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

// The same for D = `digits`, by the exact path alone.
double decimal_to_double_exactly(std::uint64_t digits, long long exponent, bool negative);

// The same for D = `digits`, any 64-bit value.
// Inline: the short-number path calls it for nearly every catalogue field.
inline double decimal_to_double(std::uint64_t digits, long long exponent, bool negative)
{
    // Up to 2^53 with a power of ten that is an exact double: one correctly
    // rounded operation on two exact doubles gives the answer.
    constexpr std::uint64_t exact_integers = std::uint64_t(1) << binary64::significand_bits;
    constexpr int reach = binary64::max_exact_power_of_ten;
    if (digits != 0 && digits <= exact_integers && exponent >= -reach && exponent <= reach) {
        const double mantissa = static_cast<double>(digits);
        const double result = exponent >= 0 ? mantissa * exact_powers_of_ten[exponent]
                                            : mantissa / exact_powers_of_ten[-exponent];
        return negative ? -result : result;
    }
    return decimal_to_double_exactly(digits, exponent, negative);
}

// A sink of scan_number that takes a number of any length: up to 19 digits
// in an integer, more as text (significant digits only, at most
// max_significant_digits, the rest only noted as non-zero or not), and an
// exponent of any length (kept at a bound far past every double's range).
class decimal_accumulator {
public:
    void set_negative(bool negative) { negative_ = negative; }
    bool take(unsigned digit, bool fraction);
    void set_exponent_negative(bool negative) { exponent_negative_ = negative; }
    bool take_exponent_digit(unsigned digit);

    // The nearest double to the number taken.
    double value() const;

private:
    void spill(); // moves the integer's digits into `digits_`

    std::uint64_t head_ = 0;
    int count_ = 0; // digits in `head_` (leading zeros included), or in `digits_`
    bool spilled_ = false;
    bool truncated_ = false;
    bool negative_ = false;
    bool exponent_negative_ = false;
    long long exponent_ = 0; // from the point and from digits dropped
    long long written_ = 0;  // the exponent written behind the number
    char digits_[max_significant_digits];
};

// The memory parse_short_decimal may read from `p` on.
constexpr std::ptrdiff_t short_decimal_window = 48;

namespace short_number {

// The memory behind a number, at least short_decimal_window bytes of it:
// peeked at without bounds checks.
struct window {
    const char* at;
    int peek(int ahead) const { return static_cast<unsigned char>(at[ahead]); }
    void advance(int count) { at += count; }
};

// A sink of scan_number that takes at most 19 digits and an exponent of at
// most 4 digits, so that the number stays within the window.
struct digits {
    static constexpr int max_exponent_digits = 4;
    std::uint64_t value = 0;
    int count = 0;
    int fraction = 0;
    int exponent = 0;
    int exponent_count = 0;
    bool negative = false;
    bool exponent_negative = false;

    void set_negative(bool n) { negative = n; }
    bool take(unsigned digit, bool in_fraction)
    {
        if (count == max_uint64_digits)
            return false;
        value = value * 10 + digit;
        ++count;
        fraction += in_fraction;
        return true;
    }
    void set_exponent_negative(bool n) { exponent_negative = n; }
    bool take_exponent_digit(unsigned digit)
    {
        if (++exponent_count > max_exponent_digits)
            return false;
        exponent = exponent * 10 + static_cast<int>(digit);
        return true;
    }
    double to_double() const
    {
        return decimal_to_double(value, (exponent_negative ? -exponent : exponent) - fraction,
                                 negative);
    }
};

} // namespace short_number

// The usual number of a catalogue or form, straight from memory: the
// number that scan_number reads at `p` (nothing skipped in front of it),
// when it has at most 19 digits and an exponent of at most 4. The memory
// must hold at least short_decimal_window bytes from `p` on. Returns the
// end of the number after storing its value in `target`, or null (storing
// nothing) when the text is no number or not such a short one, which the
// general reader then takes on.
// Always inline: the catalogue's reader calls it for every numeric field.
TARNVEL_ALWAYS_INLINE const char* parse_short_decimal(const char* p, double& target)
{
    // Two digits and nothing more of a number, the commonest field of all
    // (hours, degrees, minutes): their value is exact at once.
    const int sign_length = *p == '+' || *p == '-' ? 1 : 0;
    const unsigned char* q = reinterpret_cast<const unsigned char*>(p + sign_length);
    if (is_digit(q[0]) && is_digit(q[1]) && !continues_number(q[2])) {
        const double value = static_cast<double>(digit_value(q[0]) * 10 + digit_value(q[1]));
        target = *p == '-' ? -value : value;
        return p + sign_length + 2;
    }
    short_number::window in{p};
    short_number::digits number;
    if (scan_number(in, number, number_form::decimal) != scanned::number)
        return nullptr;
    target = number.to_double();
    return in.at;
}

} // namespace tarnvel

#endif
