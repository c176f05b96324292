// Doubles as the shortest decimal text that reads back as the same double,
// in fixed-point notation (no exponent): for tables that other programs
// read, where every digit written is a digit of the value.
#ifndef TARNVEL_DECIMAL_SHORTEST_H
#define TARNVEL_DECIMAL_SHORTEST_H

#include <string>

namespace tarnvel {

// Appends `value` to `out` as the fewest significant digits (1 to 17) that
// round back to exactly `value` (ties to even), written without an exponent:
// "0.000012", "187.5", "-45.01", "100000000", "0"; a negative zero is "-0".
// Infinities and NaNs append "+Inf", "-Inf" and "NaN", as VOTable has them.
void append_shortest(std::string& out, double value);

// Appends the integer `value` in decimal, with a '-' when negative.
void append_integer(std::string& out, long long value);

} // namespace tarnvel

#endif
