// Conversion of a decimal number, given as its significant digits and a
// power of ten, to the nearest double (ties to even), as a correctly rounding
// C library does, without depending on any locale or C library.
#ifndef TARNVEL_INPUT_DECIMAL_PARSE_H
#define TARNVEL_INPUT_DECIMAL_PARSE_H

// The most significant digits a number keeps; any further digit only tells
// whether something non-zero was cut off, which is enough to round right.
constexpr int max_significant_digits = 800;

// The double nearest to (-1 if negative) * D * 10^exponent, where D is the
// integer written by `digits[0..count)` ('0'..'9', count <= 800; leading
// zeros allowed) followed, when `truncated`, by further digits of which at
// least one is not zero. Too large a value gives an infinity, too small a one
// a zero, both with the sign.
double decimal_to_double(const char* digits, int count, bool truncated, long long exponent,
                         bool negative);

#endif
