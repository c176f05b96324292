// The shortest fixed-point text of a double: chosen texts, and a round trip
// through the C library's reading for values of every size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "decimal/shortest.h"

namespace tarnvel {

namespace {

std::string shortest(double value)
{
    std::string text;
    append_shortest(text, value);
    return text;
}

} // namespace

TEST(Shortest, WritesTheFewestDigitsWithoutExponent)
{
    const struct {
        double value;
        std::string text;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "-0"},
        {187.5, "187.5"},
        {-45.01, "-45.01"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.3333333333333333"},
        {359.99999999999994, "359.99999999999994"},
        {1.2e-5, "0.000012"},
        {1e8, "100000000"},
        {1.5e12 / 1e12, "1.5"},
        {123456789012345680.0, "123456789012345680"},
        {5e-324, "0." + std::string(323, '0') + "5"},
        {std::numeric_limits<double>::infinity(), "+Inf"},
        {-std::numeric_limits<double>::infinity(), "-Inf"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shortest(c.value), c.text) << c.text;
}

TEST(Shortest, ReadsBackAsTheSameDouble)
{
    std::mt19937_64 random(24);
    std::uniform_real_distribution<double> degrees(-360.0, 360.0);
    for (int i = 0; i < 4000; ++i) {
        double value = degrees(random);
        if (i % 2 == 1) { // any bit pattern of a finite double
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value))
                continue;
        }
        const std::string text = shortest(value);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
        ASSERT_EQ(text.find('e'), std::string::npos) << text;
        // The fewest digits, as the C library's search for them finds.
        std::string want;
        for (int precision = 1; precision <= 17; ++precision) {
            char e_form[64];
            std::snprintf(e_form, sizeof e_form, "%.*e", precision - 1, value);
            if (std::strtod(e_form, nullptr) == value) {
                for (const char* c = e_form; *c != 'e'; ++c)
                    if (*c >= '0' && *c <= '9')
                        want += *c;
                break;
            }
        }
        std::string digits;
        for (const char c : text)
            if (c >= '0' && c <= '9')
                digits += c;
        digits.erase(0, digits.find_first_not_of('0'));
        digits.erase(digits.find_last_not_of('0') + 1);
        want.erase(want.find_last_not_of('0') + 1);
        ASSERT_EQ(digits, want) << text;
    }
}

} // namespace tarnvel
