// Decimal to binary conversion: an exact fast path for short numbers of
// moderate exponent, and exact big-integer arithmetic for everything else.
#include "decimal/parse.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "decimal/big_unsigned.h"

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

} // namespace

double decimal_to_double_general(std::uint64_t digits, long long exponent, bool negative)
{
    char text[max_digits_text];
    const int count = static_cast<int>(write_digits(text, digits, 0) - text);
    return decimal_to_double(text, count, false, exponent, negative);
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

    // Fast path: up to 15 digits and a power of ten that is an exact double;
    // one correctly rounded multiplication or division gives the answer.
    constexpr int exact_digits = 15; // every integer of 15 digits is a double exactly
    constexpr int reach = binary64::max_exact_power_of_ten;
    if (!truncated && count <= exact_digits && exponent >= -reach && exponent <= reach) {
        std::uint64_t whole = 0;
        for (int i = 0; i < count; ++i)
            whole = whole * 10 + std::uint64_t(digits[i] - '0');
        const double mantissa = static_cast<double>(whole);
        const double result = exponent >= 0 ? mantissa * exact_powers_of_ten[exponent]
                                            : mantissa / exact_powers_of_ten[-exponent];
        return with_sign(result, negative);
    }

    // The value lies in [10^(leading - 1), 10^leading).
    const long long leading = count + exponent;
    if (leading > binary64::overflow_decimal_exponent)
        return with_sign(std::numeric_limits<double>::infinity(), negative);
    if (leading < binary64::underflow_decimal_exponent)
        return with_sign(0.0, negative);

    big_unsigned numerator;
    for (int i = 0; i < count; ++i) {
        numerator.multiply_small(10);
        numerator.add_small(static_cast<std::uint32_t>(digits[i] - '0'));
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
