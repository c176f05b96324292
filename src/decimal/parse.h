// Decimal text to double: the nearest double (ties to even), as a correctly
// rounding C library gives it, without any locale or C library. Short numbers
// take a fast path; everything else is exact big-integer arithmetic.
#ifndef TARNVEL_DECIMAL_PARSE_H
#define TARNVEL_DECIMAL_PARSE_H

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "decimal/binary64.h"
#include "decimal/digits.h"
#include "decimal/powers_of_ten.h"

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

// The same for D = `digits`, any 64-bit value.
double decimal_to_double_general(std::uint64_t digits, long long exponent, bool negative);

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
    return decimal_to_double_general(digits, exponent, negative);
}

// The digits of a number as a reader meets them, one at a time: up to 19 of
// them in an integer, more as text (significant digits only, at most
// max_significant_digits, the rest only noted as non-zero or not). The
// number is the digits times 10^exponent.
class decimal_accumulator {
public:
    // Appends one digit (0..9), of the fraction when `fraction`.
    void take(unsigned digit, bool fraction)
    {
        assert(digit <= 9);
        if (!spilled_) {
            if (count_ < max_uint64_digits) {
                head_ = head_ * 10 + digit;
                ++count_;
                exponent_ -= fraction;
                return;
            }
            spill();
        }
        if (count_ < max_significant_digits) {
            if (count_ != 0 || digit != 0)
                digits_[count_++] = static_cast<char>('0' + digit);
            exponent_ -= fraction;
        } else {
            truncated_ |= digit != 0;
            exponent_ += !fraction;
        }
    }

    // Multiplies the number by 10^written (an exponent written after it).
    void scale(long long written) { exponent_ += written; }

    // The nearest double, negated when `negative`.
    double value(bool negative) const
    {
        return spilled_ ? decimal_to_double(digits_, count_, truncated_, exponent_, negative)
                        : decimal_to_double(head_, exponent_, negative);
    }

private:
    // Moves the integer's digits into `digits_`, without leading zeros.
    void spill()
    {
        count_ = head_ == 0 ? 0 : static_cast<int>(write_digits(digits_, head_, 0) - digits_);
        spilled_ = true;
    }

    std::uint64_t head_ = 0;
    int count_ = 0; // digits in `head_` (leading zeros included), or in `digits_`
    bool spilled_ = false;
    bool truncated_ = false;
    long long exponent_ = 0;
    char digits_[max_significant_digits];
};

// The usual number of a catalogue or form, straight from memory: an optional
// sign, at most 19 digits with an optional point, and an optional exponent of
// at most 4 digits. The memory must hold at least short_decimal_window bytes
// from `p` on. Returns the end of the number after storing its value in
// `target`, or null (storing nothing) when the text is no number or not such
// a short one, which the general reader then takes on.
constexpr std::ptrdiff_t short_decimal_window = 48;

inline const char* parse_short_decimal(const char* p, double& target)
{
    constexpr int max_exponent_digits = 4;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint64_t digits = 0;
    int count = 0;
    unsigned d;
    while ((d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0') <= 9u &&
           count <= max_uint64_digits) {
        digits = digits * 10 + d;
        ++count;
        ++p;
    }
    int fraction = 0;
    if (*p == '.') {
        ++p;
        while ((d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0') <= 9u &&
               count <= max_uint64_digits) {
            digits = digits * 10 + d;
            ++count;
            ++fraction;
            ++p;
        }
    }
    if (count == 0 || count > max_uint64_digits)
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
                if (++length > max_exponent_digits)
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
