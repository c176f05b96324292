// The scanner's decimal conversion against the C library's correctly
// rounding strtod, over millions of random and boundary texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "input/scan_stream.h"

namespace tarnvel {

namespace {

// Reads `text` alone (the general reader) and followed by a '$' and enough
// text for the short-number reader, and compares both with strtod.
bool same_as_library(const std::string& text)
{
    const double theirs = std::strtod(text.c_str(), nullptr);
    const std::string padded = text + "$" + std::string(64, ' ');
    for (const std::string* input : {&text, &padded}) {
        scan_stream s(input->data(), input->size());
        double ours = 0;
        EXPECT_TRUE(s.read_double(ours)) << text;
        if (std::memcmp(&ours, &theirs, sizeof ours) != 0) {
            ADD_FAILURE() << text << ": ours " << std::hexfloat << ours << ", library " << theirs;
            return false;
        }
        if (input == &padded && s.get() != '$') {
            ADD_FAILURE() << text << ": the number was not read up to its end";
            return false;
        }
    }
    return true;
}

} // namespace

TEST(DecimalParse, RoundTripsTheShortestTextsOfRandomDoubles)
{
    std::mt19937_64 random(42);
    int failures = 0;
    char text[64];
    for (int i = 0; i < 20000 && failures < 5; ++i) {
        std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v))
            continue;
        for (int precision : {17, 15, 6}) {
            std::snprintf(text, sizeof text, "%.*g", precision, v);
            failures += !same_as_library(text);
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(DecimalParse, MatchesTheLibraryOnRandomDecimalTexts)
{
    std::mt19937_64 random(4242);
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-345, 330);
    int failures = 0;
    for (int i = 0; i < 100000 && failures < 5; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int n = length(random);
        const int point = static_cast<int>(random() % static_cast<unsigned>(n + 1));
        for (int k = 0; k < n; ++k) {
            if (k == point)
                text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        if (random() % 3 != 0)
            text += "e" + std::to_string(exponent(random));
        failures += !same_as_library(text);
    }
    EXPECT_EQ(failures, 0);
}

TEST(DecimalParse, HalfwayCasesBetweenNeighbouringDoubles)
{
    // The midpoint of two neighbouring doubles is exact in a long double
    // with more significand bits than a double (x87's 64, or 113).
    if (std::numeric_limits<long double>::digits <= std::numeric_limits<double>::digits)
        GTEST_SKIP() << "long double is no wider than double here: midpoints are not exact";
    // The exact midpoint between a double and its successor, and texts just
    // beside it, written with all their digits.
    std::mt19937_64 random(99);
    int failures = 0;
    for (int i = 0; i < 1500 && failures < 5; ++i) {
        std::uint64_t bits = random() >> 2; // positive, finite
        double v;
        std::memcpy(&v, &bits, sizeof v);
        const double next = std::nextafter(v, std::numeric_limits<double>::infinity());
        if (!std::isfinite(next))
            continue;
        // v and next differ in the last bit: (v + next) / 2 in long double is
        // exact; spell it with enough digits to be exact.
        char text[1200];
        std::snprintf(text, sizeof text, "%.800Le", (static_cast<long double>(v) + next) / 2);
        failures += !same_as_library(text);
        std::string above = text;
        above.insert(above.find('e'), "1");
        failures += !same_as_library(above);
    }
    EXPECT_EQ(failures, 0);
}

} // namespace tarnvel
