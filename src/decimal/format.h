// Numbers to decimal text, written exactly as the C library's formatted
// output writes them ("%-5.1i", "%-2.2i", "%-2.2u", "%-W.Pg"), without its
// locale and without its per-call cost. Each function writes at `out` and
// returns the end of what it wrote; nothing is terminated.
#ifndef TARNVEL_DECIMAL_FORMAT_H
#define TARNVEL_DECIMAL_FORMAT_H

namespace tarnvel {

// Some of these functions move a fixed number of characters at a time and
// so write up to this many past the end they return, for fields of at most
// this width.
constexpr int format_slack = 24;

// The most characters any of these functions writes, the slack included,
// for widths of at most format_slack.
constexpr int max_number_text = 64;

// "%-5.1i": the int in decimal, padded with spaces on the right to 5.
char* format_int_padded5(char* out, int value);

// "%-2.2i": the int in decimal with at least two digits ("05", "-05", "123").
char* format_int_two_digits(char* out, int value);

// "%-2.2u": the int taken as an unsigned 32-bit number, at least two digits.
char* format_unsigned_two_digits(char* out, int value);

// "%-<width>.<precision>g" for 1 <= precision <= 17: `precision` significant
// digits, rounded to nearest with ties to even on the exact binary value;
// exponent form when the decimal exponent is below -4 or at least
// `precision`; trailing zeros and a trailing point dropped; padded with
// spaces on the right to `width`. Infinities and NaNs read "inf", "-inf",
// "nan" and "-nan".
char* format_general(char* out, double value, int precision, int width);

// `value` truncated toward zero, with values beyond the int range (and
// infinities) clamped to it and a NaN taken as 0.
int truncate_to_int(double value);

} // namespace tarnvel

#endif
