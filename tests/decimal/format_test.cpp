// The page's number conversions against the C library's formatted output:
// the examples the page relies on, then a differential run over millions of
// random and boundary values.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "decimal/format.h"

namespace tarnvel {

namespace {

std::string general(double value, int precision, int width)
{
    char text[max_number_text];
    return std::string(text, format_general(text, value, precision, width));
}

std::string library_general(double value, int precision, int width)
{
    char text[64];
    std::snprintf(text, sizeof text, "%-*.*g", width, precision, value);
    return text;
}

// Compares with the C library; returns false (after one report) on a difference.
bool same_as_library(double value, int precision, int width)
{
    const std::string ours = general(value, precision, width);
    const std::string theirs = library_general(value, precision, width);
    if (ours == theirs)
        return true;
    ADD_FAILURE() << "value " << std::hexfloat << value << std::defaultfloat << " (%.17g "
                  << library_general(value, 17, 0) << ") with %-" << width << "." << precision
                  << "g: ours \"" << ours << "\", library \"" << theirs << "\"";
    return false;
}

double from_bits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

TEST(FormatGeneral, ExamplesOfThePage)
{
    EXPECT_EQ(general(2.5, 6, 8), "2.5     ");
    EXPECT_EQ(general(0.123456789, 6, 8), "0.123457");
    EXPECT_EQ(general(1234.5678, 6, 8), "1234.57 ");
    EXPECT_EQ(general(1e9, 6, 8), "1e+09   ");
    EXPECT_EQ(general(17.25, 6, 9), "17.25    ");
    EXPECT_EQ(general(-26.1, 6, 9), "-26.1    ");
    EXPECT_EQ(general(18, 6, 9), "18       ");
    EXPECT_EQ(general(1e8, 6, 9), "1e+08    ");
    EXPECT_EQ(general(1e8 + 1, 6, 9), "1e+08    ");
    EXPECT_EQ(general(59.999999, 6, 8), "60      ");
    EXPECT_EQ(general(9.9999999, 6, 8), "10      ");
    EXPECT_EQ(general(0.001, 6, 8), "0.001   ");
    EXPECT_EQ(general(3.5, 6, 8), "3.5     ");
    EXPECT_EQ(general(2, 4, 6), "2     ");
    EXPECT_EQ(general(3.14159, 4, 6), "3.142 ");
    EXPECT_EQ(general(-40, 4, 6), "-40   ");
    EXPECT_EQ(general(1e8, 4, 6), "1e+08 ");
    EXPECT_EQ(general(0.5, 4, 6), "0.5   ");
    EXPECT_EQ(general(-0.0, 6, 8), "-0      ");
    EXPECT_EQ(general(std::numeric_limits<double>::infinity(), 6, 8), "inf     ");
    EXPECT_EQ(general(-std::numeric_limits<double>::infinity(), 4, 6), "-inf  ");
}

TEST(FormatGeneral, MatchesTheCLibraryAtBoundaries)
{
    const double specials[] = {0.0,
                               -0.0,
                               DBL_MIN,
                               DBL_MAX,
                               std::numeric_limits<double>::denorm_min(),
                               1e-5,
                               9.99995e-5,
                               0.0001,
                               0.00009999995,
                               999999.5,
                               999999.4999999999,
                               9999.5,
                               99999.5,
                               1234565,
                               1234575,
                               0.125,
                               2.5,
                               0.5,
                               1.5,
                               1e8,
                               1e9,
                               1e9 + 1,
                               (1e9 + 1) / 1e12,
                               59.999999,
                               9.9999999,
                               60,
                               10,
                               123456.5,
                               1e15,
                               1e16,
                               1e22,
                               1e23,
                               5e-324,
                               1.7976931348623157e308};
    for (double v : specials)
        for (int precision : {4, 6, 1, 17})
            for (double s : {v, -v})
                same_as_library(s, precision, precision + 2);
    // Every power of ten and the doubles around it, where the exponent switches.
    for (int e = -320; e <= 308; ++e) {
        const double p = std::strtod(("1e" + std::to_string(e)).c_str(), nullptr);
        for (double v : {p, std::nextafter(p, 0.0),
                         std::nextafter(p, std::numeric_limits<double>::infinity())})
            for (int precision : {4, 6})
                if (!same_as_library(v, precision, 8))
                    return;
    }
}

TEST(FormatGeneral, MatchesTheCLibraryOnMillionsOfValues)
{
    std::mt19937_64 random(20261208);
    int failures = 0;
    // Random bit patterns: every exponent, subnormals included.
    for (int i = 0; i < 200000 && failures < 5; ++i) {
        const double v = from_bits(random());
        if (std::isnan(v))
            continue;
        failures += !same_as_library(v, 6, 8) + !same_as_library(v, 4, 6);
    }
    // Catalogue-like values: few decimals, where ties and near-ties are common.
    std::uniform_int_distribution<int> digits(0, 9999999);
    std::uniform_int_distribution<int> scale(0, 9);
    for (int i = 0; i < 600000 && failures < 5; ++i) {
        const double v = digits(random) / std::pow(10.0, scale(random));
        failures +=
            !same_as_library(v, 6, 8) + !same_as_library(v, 4, 6) + !same_as_library(-v, 6, 9);
    }
    // Exact binary ties at the sixth and fourth digit: k + 0.5 and k/2^n.
    for (int k = 0; k < 300000 && failures < 5; ++k) {
        failures += !same_as_library(k + 0.5, 6, 8) + !same_as_library(k * 0.125, 4, 6) +
                    !same_as_library(k * 10.0 + 5, 6, 8);
    }
    EXPECT_EQ(failures, 0);
}

TEST(FormatInt, MatchesTheCLibrary)
{
    std::mt19937 random(7);
    const int specials[] = {0,   1,     -1,     5,  9,   10,         99,
                            100, 12345, 123456, -5, -10, 2147483647, -2147483647 - 1};
    auto check = [](int v) {
        char ours[max_number_text];
        char theirs[64];
        std::snprintf(theirs, sizeof theirs, "%-5.1i", v);
        EXPECT_EQ(std::string(ours, format_int_padded5(ours, v)), theirs);
        std::snprintf(theirs, sizeof theirs, "%-2.2i", v);
        EXPECT_EQ(std::string(ours, format_int_two_digits(ours, v)), theirs);
        std::snprintf(theirs, sizeof theirs, "%-2.2u", static_cast<unsigned>(v));
        EXPECT_EQ(std::string(ours, format_unsigned_two_digits(ours, v)), theirs);
    };
    for (int v : specials)
        check(v);
    for (int i = 0; i < 100000; ++i)
        check(static_cast<int>(random()) >> (random() % 32));
}

TEST(TruncateToInt, ClampsWhatAnIntCannotHold)
{
    EXPECT_EQ(truncate_to_int(12.9), 12);
    EXPECT_EQ(truncate_to_int(-12.9), -12);
    EXPECT_EQ(truncate_to_int(3e9), 2147483647);
    EXPECT_EQ(truncate_to_int(-3e9), -2147483647 - 1);
    EXPECT_EQ(truncate_to_int(std::numeric_limits<double>::infinity()), 2147483647);
    EXPECT_EQ(truncate_to_int(std::nan("")), 0);
}

} // namespace tarnvel
