// The grammar of a number's text, written once: what every reader of the
// program (catalogue, query form, style file) takes for an integer ("%d")
// or a decimal number ("%lg"), whatever it reads from.
#ifndef TARNVEL_DECIMAL_NUMBER_TEXT_H
#define TARNVEL_DECIMAL_NUMBER_TEXT_H

#include "system/compiler.h"

namespace tarnvel {

// The decimal digit test of every reader; `c` is a character as an int
// (0..255), or -1 for the end of the input.
constexpr bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

// The value of the digit `c`.
constexpr unsigned digit_value(int c)
{
    return static_cast<unsigned>(c - '0');
}

enum class number_form {
    integer, // an optional sign and digits
    decimal, // the same with an optional point and fraction, and an optional exponent
};

enum class scanned {
    none,     // no number begins there; nothing was consumed
    number,   // a number was read whole
    too_long, // the sink refused a digit; the caller starts over another way
};

// Scans the number that begins at `in`: an optional sign ('+' or '-'), then,
// for an integer, one or more digits; for a decimal number, digits with an
// optional point, at least one digit before or after it, then an optional
// exponent: 'e' or 'E', an optional sign and one or more digits (an 'e'
// without digits behind it is no part of the number). Nothing is skipped in
// front of it. Hands the number to `sink` as it goes: its sign, each digit
// (noting whether it belongs to the fraction), and the exponent's sign and
// digits. On `number`, `in` stands just past the number.
//
// Source: int peek(int ahead) (ahead <= 2; the character, or -1 past the
// end) and void advance(int count) over characters already peeked.
// Sink: void set_negative(bool), bool take(unsigned digit, bool fraction),
// void set_exponent_negative(bool), bool take_exponent_digit(unsigned digit);
// a take that returns false ends the scan with `too_long`.
//
// Always inline: a template over each reader's character source, compiled
// into the reading loops of the catalogue's million fields.
template <typename Source, typename Sink>
TARNVEL_ALWAYS_INLINE scanned scan_number(Source& in, Sink& sink, number_form form)
{
    const int first = in.peek(0);
    const int sign_length = first == '+' || first == '-' ? 1 : 0;
    const int lead = in.peek(sign_length);
    const bool fraction_first =
        form == number_form::decimal && lead == '.' && is_digit(in.peek(sign_length + 1));
    if (!is_digit(lead) && !fraction_first)
        return scanned::none;
    sink.set_negative(first == '-');
    in.advance(sign_length);
    for (int c = in.peek(0); is_digit(c); c = in.peek(0)) {
        if (!sink.take(digit_value(c), false))
            return scanned::too_long;
        in.advance(1);
    }
    if (form == number_form::integer)
        return scanned::number;
    if (in.peek(0) == '.') {
        in.advance(1);
        for (int c = in.peek(0); is_digit(c); c = in.peek(0)) {
            if (!sink.take(digit_value(c), true))
                return scanned::too_long;
            in.advance(1);
        }
    }
    const int mark = in.peek(0);
    if (mark != 'e' && mark != 'E')
        return scanned::number;
    const int after = in.peek(1);
    const int exponent_sign_length = after == '+' || after == '-' ? 1 : 0;
    if (!is_digit(in.peek(1 + exponent_sign_length)))
        return scanned::number;
    sink.set_exponent_negative(after == '-');
    in.advance(1 + exponent_sign_length);
    for (int c = in.peek(0); is_digit(c); c = in.peek(0)) {
        if (!sink.take_exponent_digit(digit_value(c)))
            return scanned::too_long;
        in.advance(1);
    }
    return scanned::number;
}

namespace number_text {

// For each of the 256 characters, whether it may go on a number.
struct continuation_table {
    bool continues[256] = {};
    constexpr continuation_table()
    {
        for (int c = 0; c < 256; ++c)
            continues[c] = is_digit(c) || c == '.' || c == 'e' || c == 'E';
    }
};
inline constexpr continuation_table continuation;

} // namespace number_text

// True when `c` (0..255) may go on a number that stands in front of it: a
// digit, a point or an exponent's mark. One look in a table, for the
// short-number path.
constexpr bool continues_number(int c)
{
    return number_text::continuation.continues[c];
}

} // namespace tarnvel

#endif
