// Decimal to binary conversion: the exact path in big-integer arithmetic,
// and the accumulator of numbers of any length.
#include "decimal/parse.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "decimal/big_unsigned.h"
#include "decimal/digits.h"

namespace tarnvel {

namespace {

double with_sign(double magnitude, bool negative)
{
    return negative ? -magnitude : magnitude;
}

// Rounds numerator / denominator (both positive) to the nearest double.
double round_quotient(big_unsigned& numerator, big_unsigned& denominator)
{
    // Scale so that q = floor(numerator * 2^s / denominator) lies in [2^63, 2^64).
    int s = 63 - (numerator.bit_length() - denominator.bit_length());
    if (s >= 0)
        numerator.shift_left(s);
    else
        denominator.shift_left(-s);
    big_unsigned lower = denominator;
    lower.shift_left(63);
    if (compare(numerator, lower) < 0) {
        numerator.shift_left(1);
        ++s;
    }
    const std::uint64_t q = divide_u64(numerator, denominator);
    const bool sticky = !numerator.is_zero();

    // The value is q * 2^-s with the top bit of q worth 2^(63 - s).
    const int top_exponent = 63 - s;
    if (top_exponent > binary64::max_exponent)
        return std::numeric_limits<double>::infinity();
    int drop = 64 - binary64::significand_bits; // bits of q below those of a normal double
    if (top_exponent < binary64::min_normal_exponent)
        drop += binary64::min_normal_exponent - top_exponent;
    if (drop > 64)
        return 0.0;
    std::uint64_t mantissa;
    bool above_half;
    bool exactly_half;
    if (drop == 64) {
        mantissa = 0;
        const std::uint64_t rest = q & ~(std::uint64_t(1) << 63);
        above_half = rest != 0 || sticky;
        exactly_half = !above_half;
    } else {
        mantissa = q >> drop;
        const std::uint64_t remainder = q & ((std::uint64_t(1) << drop) - 1);
        const std::uint64_t half = std::uint64_t(1) << (drop - 1);
        above_half = remainder > half || (remainder == half && sticky);
        exactly_half = remainder == half && !sticky;
    }
    if (above_half || (exactly_half && (mantissa & 1) != 0))
        ++mantissa;
    return std::ldexp(static_cast<double>(mantissa), drop - s);
}

// The nearest double to (-1 if negative) * D * 10^exponent for the digits
// D of decimal_to_double's text form, without leading or (unless
// `truncated`) trailing zeros, count >= 1: exact big-integer arithmetic.
double round_decimal_text(const char* digits, int count, bool truncated, long long exponent,
                          bool negative)
{
    // The value lies in [10^(leading - 1), 10^leading).
    const long long leading = count + exponent;
    if (leading > binary64::overflow_decimal_exponent)
        return with_sign(std::numeric_limits<double>::infinity(), negative);
    if (leading < binary64::underflow_decimal_exponent)
        return with_sign(0.0, negative);

    big_unsigned numerator;
    for (int i = 0; i < count; ++i) {
        numerator.multiply_small(10);
        numerator.add_small(digit_value(digits[i]));
    }
    if (truncated) {
        // A final 1 stands for the non-zero digits that were cut off: it
        // keeps the value strictly between the neighbours it lies between.
        numerator.multiply_small(10);
        numerator.add_small(1);
        --exponent;
    }
    big_unsigned denominator(1);
    if (exponent >= 0)
        numerator.multiply_pow10(static_cast<int>(exponent));
    else
        denominator.multiply_pow10(static_cast<int>(-exponent));
    return with_sign(round_quotient(numerator, denominator), negative);
}

} // namespace

double decimal_to_double_exactly(std::uint64_t digits, long long exponent, bool negative)
{
    if (digits == 0)
        return with_sign(0.0, negative);
    char text[max_digits_text];
    const int count = static_cast<int>(write_digits(text, digits, 0) - text);
    return round_decimal_text(text, count, false, exponent, negative);
}

double decimal_to_double(const char* digits, int count, bool truncated, long long exponent,
                         bool negative)
{
    assert(count >= 0 && count <= max_significant_digits);
    while (count > 0 && digits[0] == '0') {
        ++digits;
        --count;
    }
    if (!truncated) {
        while (count > 0 && digits[count - 1] == '0') {
            --count;
            ++exponent;
        }
    }
    if (count == 0)
        return with_sign(0.0, negative);
    if (truncated || count > max_uint64_digits)
        return round_decimal_text(digits, count, truncated, exponent, negative);
    std::uint64_t whole = 0;
    for (int i = 0; i < count; ++i)
        whole = whole * 10 + digit_value(digits[i]);
    return decimal_to_double(whole, exponent, negative);
}

bool decimal_accumulator::take(unsigned digit, bool fraction)
{
    assert(digit <= 9);
    if (!spilled_) {
        if (count_ < max_uint64_digits) {
            head_ = head_ * 10 + digit;
            ++count_;
            exponent_ -= fraction;
            return true;
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
    return true;
}

bool decimal_accumulator::take_exponent_digit(unsigned digit)
{
    // Written exponents beyond this are kept at it: far past every double's
    // range, and far from overflowing.
    constexpr long long limit = 1000000000000LL;
    if (written_ < limit)
        written_ = written_ * 10 + digit;
    return true;
}

void decimal_accumulator::spill()
{
    count_ = head_ == 0 ? 0 : static_cast<int>(write_digits(digits_, head_, 0) - digits_);
    spilled_ = true;
}

double decimal_accumulator::value() const
{
    const long long exponent = exponent_ + (exponent_negative_ ? -written_ : written_);
    return spilled_ ? decimal_to_double(digits_, count_, truncated_, exponent, negative_)
                    : decimal_to_double(head_, exponent, negative_);
}

} // namespace tarnvel
