// Exact decimal formatting of ints and doubles.
#include "decimal/format.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "decimal/big_unsigned.h"
#include "decimal/binary64.h"
#include "decimal/digits.h"
#include "decimal/powers_of_ten.h"
#include "system/compiler.h"

namespace tarnvel {

namespace {

// format_slack spaces.
const char spaces[] = "                        ";
static_assert(sizeof spaces == format_slack + 1, "one space per character of slack");

// Pads [start, end) with spaces to `width` characters; writes up to
// format_slack characters past `end` (more only for wider fields).
char* pad_to(char* start, char* end, int width)
{
    std::memcpy(end, spaces, format_slack);
    if (end - start >= width)
        return end;
    for (char* p = end + format_slack; p < start + width; ++p)
        *p = ' ';
    return start + width;
}

// How floor(v * 10^t) left its remainder, v = m * 2^e2.
enum remainder_class { remainder_zero, remainder_below_half, remainder_half, remainder_above_half };

remainder_class classify(int order)
{
    if (order < 0)
        return remainder_below_half;
    return order == 0 ? remainder_half : remainder_above_half;
}

#if TARNVEL_HAS_UINT128
// floor(m * 2^e2 * 10^t) with 128-bit integers, when they suffice.
bool scaled_floor_fast(std::uint64_t m, int e2, int t, std::uint64_t& quotient,
                       remainder_class& rest)
{
    uint128 numerator;
    uint128 denominator;
    if (t >= 0) {
        if (t > max_uint64_digits || e2 >= 0 || e2 <= -128)
            return false;
        const int f = -e2;
        numerator = uint128(m) * integer_powers_of_ten[t];
        const uint128 q = numerator >> f;
        if ((q >> 64) != 0)
            return false;
        quotient = static_cast<std::uint64_t>(q);
        const uint128 remainder = numerator - (q << f);
        if (remainder == 0) {
            rest = remainder_zero;
            return true;
        }
        const uint128 half = uint128(1) << (f - 1);
        rest = remainder < half ? remainder_below_half
                                : (remainder == half ? remainder_half : remainder_above_half);
        return true;
    }
    if (-t > max_uint64_digits)
        return false;
    if (e2 >= 0) {
        if (e2 > 74)
            return false;
        numerator = uint128(m) << e2;
        denominator = integer_powers_of_ten[-t];
    } else {
        const int f = -e2;
        if (f > 60)
            return false;
        numerator = m;
        denominator = uint128(integer_powers_of_ten[-t]) << f;
    }
    const uint128 q = numerator / denominator;
    if ((q >> 64) != 0)
        return false;
    quotient = static_cast<std::uint64_t>(q);
    const uint128 remainder = numerator - q * denominator;
    if (remainder == 0) {
        rest = remainder_zero;
        return true;
    }
    const uint128 complement = denominator - remainder;
    rest = remainder < complement
               ? remainder_below_half
               : (remainder == complement ? remainder_half : remainder_above_half);
    return true;
}
#else
bool scaled_floor_fast(std::uint64_t, int, int, std::uint64_t&, remainder_class&)
{
    return false;
}
#endif

// floor(m * 2^e2 * 10^t) exactly, for a quotient below 2^64.
void scaled_floor_exact(std::uint64_t m, int e2, int t, std::uint64_t& quotient,
                        remainder_class& rest)
{
    big_unsigned numerator(m);
    big_unsigned denominator(1);
    if (e2 >= 0)
        numerator.shift_left(e2);
    else
        denominator.shift_left(-e2);
    if (t >= 0)
        numerator.multiply_pow10(t);
    else
        denominator.multiply_pow10(-t);
    quotient = divide_u64(numerator, denominator);
    if (numerator.is_zero()) {
        rest = remainder_zero;
        return;
    }
    numerator.shift_left(1);
    rest = classify(compare(numerator, denominator));
}

// Moves the decimal exponent `x` until floor(value * 10^(precision - 1 - x))
// has exactly `precision` digits, from a guess at most two off:
// scale(t, whole) stores floor(value * 10^t) in `whole`, or returns false
// when it cannot tell. Returns false when scale does, or when no exponent
// settles.
template <typename Scale>
bool settle_exponent(int precision, int& x, Scale scale)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint64_t whole;
        if (!scale(precision - 1 - x, whole))
            return false;
        if (whole < integer_powers_of_ten[precision - 1])
            --x;
        else if (whole >= integer_powers_of_ten[precision])
            ++x;
        else
            return true;
    }
    return false;
}

// Rounds `whole` (with a remainder of `rest`) to nearest, ties to even, and
// moves on to the next power of ten when the rounding carries into it.
void round_half_even(std::uint64_t whole, remainder_class rest, int precision, int x,
                     std::uint64_t& digits, int& exponent)
{
    if (rest == remainder_above_half || (rest == remainder_half && (whole & 1) != 0))
        ++whole;
    if (whole == integer_powers_of_ten[precision]) {
        whole = integer_powers_of_ten[precision - 1];
        ++x;
    }
    digits = whole;
    exponent = x;
}

// round_to_digits for precisions up to 6 in double arithmetic: v * 10^t (an
// exact power) is one correctly rounded operation, within 2^-33 of the true
// product below 10^6, so its floor and its rounding are right unless it lies
// within 1e-9 of a tie; those and anything out of reach return false.
bool round_with_doubles(double value, int precision, int x, std::uint64_t& digits, int& exponent)
{
    std::uint64_t floor_value = 0;
    double fraction = 0;
    const bool settled = settle_exponent(precision, x, [&](int t, std::uint64_t& whole) {
        if (t > binary64::max_exact_power_of_ten || t < -binary64::max_exact_power_of_ten)
            return false;
        const double scaled =
            t >= 0 ? value * exact_powers_of_ten[t] : value / exact_powers_of_ten[-t];
        if (!(scaled < 1e7))
            return false;
        whole = floor_value = static_cast<std::uint64_t>(scaled);
        fraction = scaled - static_cast<double>(whole);
        return true;
    });
    if (!settled || (fraction > 0.5 - 1e-9 && fraction < 0.5 + 1e-9))
        return false;
    round_half_even(floor_value, fraction > 0.5 ? remainder_above_half : remainder_below_half,
                    precision, x, digits, exponent);
    return true;
}

// floor(n / 4096) for negative n too.
int floor_div_4096(int n)
{
    return n >= 0 ? n / 4096 : -((-n + 4095) / 4096);
}

// The positive finite `value`, whose bits are `bits`, rounded to `precision`
// significant digits: digits * 10^(exponent - precision + 1), with
// 10^(precision-1) <= digits < 10^precision.
void round_to_digits(double value, std::uint64_t bits, int precision, std::uint64_t& digits,
                     int& exponent)
{
    const int biased =
        static_cast<int>((bits >> binary64::fraction_bits) & binary64::exponent_all_ones);
    const std::uint64_t fraction = bits & binary64::fraction_mask;
    std::uint64_t m;
    int e2;
    int top_bit; // value lies in [2^top_bit, 2^(top_bit + 1))
    if (biased != 0) {
        m = fraction | (std::uint64_t(1) << binary64::fraction_bits);
        e2 = biased - binary64::integer_exponent_offset;
        top_bit = e2 + binary64::fraction_bits;
    } else {
        m = fraction;
        e2 = binary64::subnormal_exponent;
        top_bit = binary64::subnormal_exponent - 1;
        for (std::uint64_t rest = m; rest != 0; rest >>= 1)
            ++top_bit;
    }
    // A guess of floor(log10(value)) at most one too small (1233 / 4096 is
    // just below log10(2)), made exact below 10^22 by one comparison.
    int x = floor_div_4096(top_bit * 1233);
    if (x >= 0 && x < binary64::max_exact_power_of_ten && value >= exact_powers_of_ten[x + 1])
        ++x;
    if (precision <= 6 && biased != 0 && round_with_doubles(value, precision, x, digits, exponent))
        return;
    std::uint64_t quotient = 0;
    remainder_class rest = remainder_zero;
    settle_exponent(precision, x, [&](int t, std::uint64_t& whole) {
        if (!scaled_floor_fast(m, e2, t, quotient, rest))
            scaled_floor_exact(m, e2, t, quotient, rest);
        whole = quotient;
        return true;
    });
    round_half_even(quotient, rest, precision, x, digits, exponent);
}

// Writes '-' at `out` for a negative `value`, moving `out` on, and returns
// the magnitude of `value`.
std::uint64_t put_sign(char*& out, int value)
{
    if (value >= 0)
        return static_cast<std::uint64_t>(value);
    *out++ = '-';
    return 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
}

// The layouts of "%g" for `digits` (exactly `precision` of them, the first
// not 0) times 10^(exponent - precision + 1), trailing zeros of the
// fraction dropped. Each writes at `out` and returns the end. The digits are
// written where they end up, and only then are trailing zeros dropped and a
// point put in: no digit is divided out twice.

// d.ddde+XX, for exponents below -4 or from `precision` on.
char* put_exponent_form(char* out, std::uint64_t digits, int precision, int exponent)
{
    // The digits one place on, the first moved in front of the point.
    write_digits_exactly(out + 1, digits, precision);
    int kept = precision;
    while (kept > 1 && out[kept] == '0')
        --kept;
    out[0] = out[1];
    out[1] = '.';
    out += kept > 1 ? kept + 1 : 1;
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    return write_digits(out, static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent), 2);
}

// ddd.ddd, for exponents from 0 to precision - 1: the whole part is never
// cut, the fraction loses its zeros.
char* put_fixed_form(char* out, std::uint64_t digits, int precision, int exponent)
{
    const int whole = exponent + 1;
    write_digits_exactly(out, digits, precision);
    int kept = precision;
    while (kept > whole && out[kept - 1] == '0')
        --kept;
    if (kept > whole) {
        std::memmove(out + whole + 1, out + whole, static_cast<std::size_t>(kept - whole));
        out[whole] = '.';
        ++kept;
    }
    return out + kept;
}

// 0.000ddd, for exponents from -4 to -1.
char* put_fraction_form(char* out, std::uint64_t digits, int precision, int exponent)
{
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > exponent; --i)
        *out++ = '0';
    write_digits_exactly(out, digits, precision);
    int kept = precision;
    while (kept > 1 && out[kept - 1] == '0')
        --kept;
    return out + kept;
}

} // namespace

char* format_int_padded5(char* out, int value)
{
    char* start = out;
    const std::uint64_t magnitude = put_sign(out, value);
    return pad_to(start, write_digits(out, magnitude, 1), 5);
}

char* format_int_two_digits(char* out, int value)
{
    if (value >= 0 && value < 100) { // the usual minutes and hours
        out[0] = static_cast<char>('0' + value / 10);
        out[1] = static_cast<char>('0' + value % 10);
        return out + 2;
    }
    const std::uint64_t magnitude = put_sign(out, value);
    return write_digits(out, magnitude, 2);
}

char* format_unsigned_two_digits(char* out, int value)
{
    return write_digits(out, static_cast<std::uint32_t>(value), 2);
}

char* format_general(char* out, double value, int precision, int width)
{
    assert(precision >= 1 && precision <= 17 && width >= 0);
    char* start = out;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & binary64::sign_bit) != 0) {
        *out++ = '-';
        bits &= ~binary64::sign_bit;
        value = -value;
    }
    if ((bits >> binary64::fraction_bits) == binary64::exponent_all_ones) {
        // NOLINTNEXTLINE(bugprone-not-null-terminated-result): a field, not a C string
        std::memcpy(out, (bits & binary64::fraction_mask) != 0 ? "nan" : "inf", 3);
        return pad_to(start, out + 3, width);
    }
    if (bits == 0) {
        *out++ = '0';
        return pad_to(start, out, width);
    }

    std::uint64_t digits;
    int exponent;
    round_to_digits(value, bits, precision, digits, exponent);
    if (exponent < -4 || exponent >= precision)
        out = put_exponent_form(out, digits, precision, exponent);
    else if (exponent >= 0)
        out = put_fixed_form(out, digits, precision, exponent);
    else
        out = put_fraction_form(out, digits, precision, exponent);
    return pad_to(start, out, width);
}

int truncate_to_int(double value)
{
    constexpr int highest = std::numeric_limits<int>::max();
    constexpr int lowest = std::numeric_limits<int>::min();
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(highest))
        return highest;
    if (value <= static_cast<double>(lowest))
        return lowest;
    return static_cast<int>(value);
}

} // namespace tarnvel
