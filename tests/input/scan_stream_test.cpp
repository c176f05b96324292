// The scanner's conversions: what counts as a number, what each conversion
// consumes, and reading across the buffer's refills.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "input/scan_stream.h"
#include "support/scratch_file.h"

namespace tarnvel {

namespace {

struct double_read {
    bool found;
    double value;
    std::string rest; // what the stream still holds afterwards
};

std::string rest_of(scan_stream& s)
{
    std::string rest;
    for (int c = s.get(); c >= 0; c = s.get())
        rest += static_cast<char>(c);
    return rest;
}

double_read read_double(const std::string& text)
{
    scan_stream s(text.data(), text.size());
    double value = -12345;
    const bool found = s.read_double(value);
    return {found, value, rest_of(s)};
}

} // namespace

TEST(ReadDouble, DecimalNotationAndWhatItConsumes)
{
    struct {
        const char* text;
        double value;
        const char* rest;
    } cases[] = {
        {"12$", 12, "$"},
        {"  \r\n\t-.5$", -0.5, "$"},
        {"+3.", 3, ""},
        {"1.5e-3x", 1.5e-3, "x"},
        {"2E+2", 200, ""},
        {"1e$", 1, "e$"},   // a bare exponent mark is not part of the number
        {"1e+$", 1, "e+$"}, // nor is a signed one without digits
        {"0x10", 0, "x10"}, // no hexadecimal
        {"56.7 remark$", 56.7, " remark$"},
        {"05", 5, ""},
        {"1.74000$", 1.74, "$"},
        {"-0.000001$", -1e-6, "$"},
        {"3.2e12", 3.2e12, ""},
    };
    for (const auto& c : cases) {
        const double_read r = read_double(c.text);
        EXPECT_TRUE(r.found) << c.text;
        EXPECT_EQ(r.value, c.value) << c.text;
        EXPECT_EQ(r.rest, c.rest) << c.text;
    }
}

TEST(ReadDouble, TextThatIsNoNumberConsumesOnlyWhiteSpace)
{
    for (const char* text : {"inf", "nan", "INF", "-", "+.", ".", "-.e5", "e5", "$12", ""}) {
        const double_read r = read_double(std::string("  ") + text);
        EXPECT_FALSE(r.found) << text;
        EXPECT_EQ(r.value, -12345) << "target unchanged for " << text;
        EXPECT_EQ(r.rest, text);
    }
}

TEST(ReadDouble, RangeLimitsAndSignedZero)
{
    EXPECT_EQ(read_double("1e400").value, std::numeric_limits<double>::infinity());
    EXPECT_EQ(read_double("-1e400").value, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(read_double("1e99999999999999999999").value, std::numeric_limits<double>::infinity());
    EXPECT_EQ(read_double("1e-400").value, 0.0);
    EXPECT_TRUE(std::signbit(read_double("-0").value));
    EXPECT_TRUE(std::signbit(read_double("-1e-400").value));
    EXPECT_EQ(read_double("4.9406564584124654e-324").value,
              std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(read_double("2.4703282292062328e-324").value,
              std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(read_double("2.4703282292062327e-324").value, 0.0)
        << "below half the least subnormal";
    EXPECT_EQ(read_double("1.7976931348623157e308").value, std::numeric_limits<double>::max());
    EXPECT_EQ(read_double("1.7976931348623159e308").value, std::numeric_limits<double>::infinity());
}

TEST(ReadDouble, RoundsLongInputsCorrectly)
{
    // 2^53 + 1 lies halfway between two doubles: ties go to the even one.
    EXPECT_EQ(read_double("9007199254740993").value, 9007199254740992.0);
    // The same, just above halfway, decided by a digit far down.
    EXPECT_EQ(read_double("9007199254740993.0000000000000000000000001").value, 9007199254740994.0);
    EXPECT_EQ(read_double("0.1000000000000000055511151231257827021181583404541015625").value, 0.1);
    // 900 digits: only the first 800 are kept, the rest decide as "non-zero".
    std::string long_number = "1." + std::string(898, '0') + "1";
    EXPECT_EQ(read_double(long_number).value, 1.0);
    std::string many_zeros = "0." + std::string(5000, '0') + "1e5010";
    EXPECT_EQ(read_double(many_zeros).value, 1e9);
}

TEST(ReadInt, SignDigitsAndClamping)
{
    struct {
        const char* text;
        int value;
        const char* rest;
    } cases[] = {
        {" \r\n-42x", -42, "x"},
        {"+7", 7, ""},
        {"2000.5", 2000, ".5"},
        {"99999999999", 2147483647, ""},
        {"-99999999999", -2147483647 - 1, ""},
        {"2147483648", 2147483647, ""},
        {"-2147483648", -2147483647 - 1, ""},
    };
    for (const auto& c : cases) {
        scan_stream s(c.text, std::char_traits<char>::length(c.text));
        int value = 0;
        EXPECT_TRUE(s.read_int(value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(rest_of(s), c.rest) << c.text;
    }
    for (const char* text : {"+", "abc", "-x", ""}) {
        scan_stream s(text, std::char_traits<char>::length(text));
        int value = 99;
        EXPECT_FALSE(s.read_int(value)) << text;
        EXPECT_EQ(value, 99);
        EXPECT_EQ(rest_of(s), text);
    }
}

TEST(ScanStream, NumbersAndFieldsAcrossBufferRefills)
{
    // Numbers that straddle every position around the 256 KiB refill point.
    std::string text;
    int expected_count = 0;
    while (text.size() < 600 * 1024) {
        text += "123.456e-1$";
        ++expected_count;
    }
    scratch_file file(text);
    ASSERT_TRUE(file.ok());
    scan_stream s(file.text());
    int count = 0;
    double value = 0;
    while (s.read_double(value)) {
        ASSERT_EQ(value, 12.3456) << "number " << count;
        ASSERT_EQ(s.skip_to('$', 1001), 1);
        ++count;
    }
    EXPECT_EQ(count, expected_count);
    EXPECT_EQ(s.get(), -1);
}

} // namespace tarnvel
