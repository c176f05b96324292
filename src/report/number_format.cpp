// Exact decimal formatting of ints and doubles.
#include "report/number_format.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "model/big_unsigned.h"
#include "model/powers_of_ten.h"

namespace {

const std::uint64_t powers_of_ten[20] = {1ull,
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

// Writes the decimal digits of `value`, at least `min_digits` of them.
char* put_digits(char* out, std::uint64_t value, int min_digits)
{
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < min_digits)
        reversed[n++] = '0';
    while (n > 0)
        *out++ = reversed[--n];
    return out;
}

// Pads [start, end) with spaces to `width` characters; writes up to 24
// characters past `end` (more only for wider fields).
char* pad_to(char* start, char* end, int width)
{
    std::memcpy(end, "                        ", 24);
    if (end - start >= width)
        return end;
    for (char* p = end + 24; p < start + width; ++p)
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

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 uint128;

// floor(m * 2^e2 * 10^t) with 128-bit integers, when they suffice.
bool scaled_floor_fast(std::uint64_t m, int e2, int t, std::uint64_t& quotient,
                       remainder_class& rest)
{
    uint128 numerator;
    uint128 denominator;
    if (t >= 0) {
        if (t > 19 || e2 >= 0 || e2 <= -128)
            return false;
        const int f = -e2;
        numerator = uint128(m) * powers_of_ten[t];
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
    if (-t > 19)
        return false;
    if (e2 >= 0) {
        if (e2 > 74)
            return false;
        numerator = uint128(m) << e2;
        denominator = powers_of_ten[-t];
    } else {
        const int f = -e2;
        if (f > 60)
            return false;
        numerator = m;
        denominator = uint128(powers_of_ten[-t]) << f;
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
    rest = remainder < complement ? remainder_below_half
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

// round_to_digits for precisions up to 6 in double arithmetic: v * 10^t (an
// exact power) is one correctly rounded operation, within 2^-33 of the true
// product below 10^6, so its floor and its rounding are right unless it lies
// within 1e-9 of a tie; those and anything out of reach return false.
bool round_with_doubles(double value, int precision, int x, std::uint64_t& digits, int& exponent)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int t = precision - 1 - x;
        if (t > 22 || t < -22)
            return false;
        const double scaled = t >= 0 ? value * exact_powers_of_ten[t] : value / exact_powers_of_ten[-t];
        if (!(scaled < 1e7))
            return false;
        const std::uint64_t whole = static_cast<std::uint64_t>(scaled);
        const double fraction = scaled - static_cast<double>(whole);
        if (whole < powers_of_ten[precision - 1]) {
            --x;
            continue;
        }
        if (whole >= powers_of_ten[precision]) {
            ++x;
            continue;
        }
        if (fraction > 0.5 - 1e-9 && fraction < 0.5 + 1e-9)
            return false;
        std::uint64_t rounded = whole + (fraction > 0.5 ? 1 : 0);
        if (rounded == powers_of_ten[precision]) {
            rounded = powers_of_ten[precision - 1];
            ++x;
        }
        digits = rounded;
        exponent = x;
        return true;
    }
    return false;
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
    const int biased = static_cast<int>(bits >> 52) & 0x7ff;
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    std::uint64_t m;
    int e2;
    int top_bit; // value lies in [2^top_bit, 2^(top_bit + 1))
    if (biased != 0) {
        m = fraction | (std::uint64_t(1) << 52);
        e2 = biased - 1075;
        top_bit = e2 + 52;
    } else {
        m = fraction;
        e2 = -1074;
        top_bit = -1075;
        for (std::uint64_t rest = m; rest != 0; rest >>= 1)
            ++top_bit;
    }
    // A guess of floor(log10(value)) at most one too small (1233 / 4096 is
    // just below log10(2)), made exact below 10^22 by one comparison.
    int x = floor_div_4096(top_bit * 1233);
    if (x >= 0 && x < 22 && value >= exact_powers_of_ten[x + 1])
        ++x;
    if (precision <= 6 && biased != 0 && round_with_doubles(value, precision, x, digits, exponent))
        return;
    std::uint64_t quotient = 0;
    remainder_class rest = remainder_zero;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int t = precision - 1 - x;
        if (!scaled_floor_fast(m, e2, t, quotient, rest))
            scaled_floor_exact(m, e2, t, quotient, rest);
        if (quotient < powers_of_ten[precision - 1])
            --x;
        else if (quotient >= powers_of_ten[precision])
            ++x;
        else
            break;
    }
    if (rest == remainder_above_half || (rest == remainder_half && (quotient & 1) != 0))
        ++quotient;
    if (quotient == powers_of_ten[precision]) {
        quotient = powers_of_ten[precision - 1];
        ++x;
    }
    digits = quotient;
    exponent = x;
}

} // namespace

char* format_int_padded5(char* out, int value)
{
    char* start = out;
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
    }
    out = put_digits(out, magnitude, 1);
    return pad_to(start, out, 5);
}

char* format_int_two_digits(char* out, int value)
{
    if (value >= 0 && value < 100) { // the usual minutes and hours
        out[0] = static_cast<char>('0' + value / 10);
        out[1] = static_cast<char>('0' + value % 10);
        return out + 2;
    }
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
    }
    return put_digits(out, magnitude, 2);
}

char* format_unsigned_two_digits(char* out, int value)
{
    return put_digits(out, static_cast<std::uint32_t>(value), 2);
}

char* format_general(char* out, double value, int precision, int width)
{
    char* start = out;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits >> 63) != 0) {
        *out++ = '-';
        bits &= ~(std::uint64_t(1) << 63);
        value = -value;
    }
    if ((bits >> 52) == 0x7ff) {
        std::memcpy(out, (bits << 12) != 0 ? "nan" : "inf", 3);
        return pad_to(start, out + 3, width);
    }
    if (bits == 0) {
        *out++ = '0';
        return pad_to(start, out, width);
    }

    std::uint64_t digits;
    int exponent;
    round_to_digits(value, bits, precision, digits, exponent);

    int kept = precision; // significant digits left after dropping trailing zeros
    while (kept > 1 && digits % 10 == 0) {
        digits /= 10;
        --kept;
    }
    char text[48]; // room for the fixed-size copies below
    for (int i = kept - 1; i >= 0; --i) {
        text[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }

    // The copies below move a fixed 24 characters, which compiles to a few
    // moves; only the first ones count, the rest are overwritten or padding.
    if (exponent < -4 || exponent >= precision) {
        *out++ = text[0];
        if (kept > 1) {
            *out++ = '.';
            std::memcpy(out, text + 1, 24);
            out += kept - 1;
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        out = put_digits(out, static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent), 2);
    } else if (exponent >= 0) {
        const int whole = exponent + 1;
        if (kept <= whole) {
            std::memset(text + kept, '0', 24);
            std::memcpy(out, text, 24);
            out += whole;
        } else {
            std::memcpy(out, text, 24);
            out += whole;
            *out++ = '.';
            std::memcpy(out, text + whole, 24);
            out += kept - whole;
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i)
            *out++ = '0';
        std::memcpy(out, text, 24);
        out += kept;
    }
    return pad_to(start, out, width);
}

int truncate_to_int(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(value);
}
