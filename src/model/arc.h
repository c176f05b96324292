// arc: one sexagesimal angle (leading unit, minutes, seconds) with its sign
// kept apart from the numbers.
#ifndef TARNVEL_MODEL_ARC_H
#define TARNVEL_MODEL_ARC_H

namespace tarnvel {

class arc {
public:
    double units;   // degrees of a declination or hours of a right ascension
    double minutes; // minutes of arc or of time
    double seconds; // seconds of arc or of time; may carry a fraction
    int sign;       // +1 or -1: the sign of the whole angle

    // The zero angle: 0, 0, 0 with sign +1.
    arc();

    // Moves the sign of `units` into `sign` (-1 when units < 0, else +1;
    // minus zero counts as positive) and makes `units` its absolute value,
    // or +0.0 when |units| <= 1e-6. `minutes` and `seconds` are untouched.
    // Returns 1, always.
    int corrector();

    // The signed angle in seconds: sign * (3600 * units + 60 * minutes + seconds).
    double value() const;
};

} // namespace tarnvel

#endif
