// The layout of an IEEE 754 binary64 number (a double) and the limits of the
// decimal conversions that follow from it, named once for the parser and the
// formatter.
#ifndef TARNVEL_DECIMAL_BINARY64_H
#define TARNVEL_DECIMAL_BINARY64_H

#include <cstdint>

namespace tarnvel {

namespace binary64 {

constexpr int fraction_bits = 52;                   // stored bits of the significand
constexpr int significand_bits = fraction_bits + 1; // with the implicit leading 1
constexpr std::uint64_t fraction_mask = (std::uint64_t(1) << fraction_bits) - 1;
constexpr std::uint64_t exponent_all_ones = 0x7ff; // biased exponent of inf and NaN
constexpr std::uint64_t sign_bit = std::uint64_t(1) << 63;
constexpr int exponent_bias = 1023;
constexpr int max_exponent = 1023; // of a finite double, which is below 2^(max_exponent + 1)
constexpr int min_normal_exponent = 1 - exponent_bias; // -1022
// A double is significand * 2^e with an integer significand; e of the
// subnormals, whose least is 2^-1074.
constexpr int subnormal_exponent = min_normal_exponent - fraction_bits; // -1074

// A biased exponent field as the power of two of the integer significand:
// value = significand * 2^(biased - integer_exponent_offset).
constexpr int integer_exponent_offset = exponent_bias + fraction_bits; // 1075

// Decimal limits: 10^309 and above overflow (the largest double is about
// 1.8e308) and values below 10^-324 round to zero (the least is about
// 4.9e-324); the conversions give up on exactness beyond these, with a margin.
constexpr int overflow_decimal_exponent = 310;
constexpr int underflow_decimal_exponent = -324;

// Powers of ten up to 10^22 are doubles exactly; one correctly rounded
// multiplication or division by them rounds right for integers of at most
// 2^53.
constexpr int max_exact_power_of_ten = 22;

} // namespace binary64

} // namespace tarnvel

#endif
