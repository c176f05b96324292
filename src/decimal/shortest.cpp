// The shortest text of a double: the precision of format_general raised
// until the text parses back to the value, then the exponent written out.
#include "decimal/shortest.h"

#include <cmath>
#include <limits>

#include "decimal/digits.h"
#include "decimal/format.h"
#include "decimal/parse.h"

namespace tarnvel {

namespace {

// A scan_number source over a NUL-terminated text.
struct text_source_of_number {
    const char* at;
    int peek(int ahead) const
    {
        for (int i = 0; i < ahead; ++i)
            if (at[i] == '\0')
                return -1;
        return at[ahead] == '\0' ? -1 : static_cast<unsigned char>(at[ahead]);
    }
    void advance(int count) { at += count; }
};

// The value of the decimal text `text`, which format_general wrote.
double value_of(const char* text)
{
    text_source_of_number in{text};
    decimal_accumulator number;
    scan_number(in, number, number_form::decimal);
    return number.value();
}

// Appends the number `text` ("-1.25e-05", "3e+08", "187.5") without its
// exponent.
void append_fixed(std::string& out, const std::string& text)
{
    std::size_t at = 0;
    if (text[at] == '-')
        out += text[at++];
    std::string digits;
    long long point = -1; // digits in front of the point
    for (; at < text.size() && text[at] != 'e'; ++at) {
        if (text[at] == '.')
            point = static_cast<long long>(digits.size());
        else
            digits += text[at];
    }
    if (point < 0)
        point = static_cast<long long>(digits.size());
    if (at < text.size()) {
        const bool negative = text[at + 1] == '-';
        long long exponent = 0;
        for (std::size_t e = at + 2; e < text.size(); ++e)
            exponent = exponent * 10 + (text[e] - '0');
        point += negative ? -exponent : exponent;
    }
    // Leading zeros of the digits come only from a value below 1: drop them
    // into the point's place.
    const long long count = static_cast<long long>(digits.size());
    if (point <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-point), '0');
        out += digits;
    } else if (point >= count) {
        out += digits;
        out.append(static_cast<std::size_t>(point - count), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(point));
        out += '.';
        out.append(digits, static_cast<std::size_t>(point), std::string::npos);
    }
}

} // namespace

void append_shortest(std::string& out, double value)
{
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Inf" : "+Inf";
        return;
    }
    // A normal double lies within half a unit in its last place (at most
    // 2^-53 of itself) of every text that reads back as it, which is less
    // than half the step of 15 significant digits: when a text of at most
    // 15 digits reads back, it is the value rounded to 15 digits (trailing
    // zeros dropped). So 15, 16 and 17 digits are tried in turn; subnormal
    // doubles, whose unit is larger, from 1 digit on.
    char text[max_number_text + 1];
    const bool normal = std::fabs(value) >= std::numeric_limits<double>::min();
    for (int precision = normal ? 15 : 1;; ++precision) {
        char* const end = format_general(text, value, precision, 0);
        *end = '\0';
        if (precision == 17 || value_of(text) == value) {
            append_fixed(out, std::string(text, end));
            return;
        }
    }
}

void append_integer(std::string& out, long long value)
{
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        out += '-';
        magnitude = 0 - magnitude;
    }
    char digits[max_digits_text];
    const char* const end = write_digits(digits, magnitude, 1);
    out.append(digits, static_cast<std::size_t>(end - digits));
}

} // namespace tarnvel
