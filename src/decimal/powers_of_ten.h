// The powers of ten that the decimal conversions use, as exact doubles and as
// 64-bit integers.
#ifndef TARNVEL_DECIMAL_POWERS_OF_TEN_H
#define TARNVEL_DECIMAL_POWERS_OF_TEN_H

#include <cstdint>

#include "decimal/binary64.h"

namespace tarnvel {

// 10^0 to 10^22, each exactly a double.
inline constexpr double exact_powers_of_ten[binary64::max_exact_power_of_ten + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The most decimal digits every 64-bit unsigned integer of that many digits
// holds: 10^19 - 1 < 2^64 <= 10^20 - 1.
constexpr int max_uint64_digits = 19;

// 10^0 to 10^19, every power of ten a 64-bit unsigned integer holds.
inline constexpr std::uint64_t integer_powers_of_ten[max_uint64_digits + 1] = {
    1ull,
    10ull,
    100ull,
    1000ull,
    10000ull,
    100000ull,
    1000000ull,
    10000000ull,
    100000000ull,
    1000000000ull,
    10000000000ull,
    100000000000ull,
    1000000000000ull,
    10000000000000ull,
    100000000000000ull,
    1000000000000000ull,
    10000000000000000ull,
    100000000000000000ull,
    1000000000000000000ull,
    10000000000000000000ull};

} // namespace tarnvel

#endif
