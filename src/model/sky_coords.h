// sky_coords: a position on the sky, a declination and a right ascension.
#ifndef TARNVEL_MODEL_SKY_COORDS_H
#define TARNVEL_MODEL_SKY_COORDS_H

#include "model/arc.h"

namespace tarnvel {

class sky_coords {
public:
    arc declination; // degrees, minutes, seconds of arc with their sign
    arc ascension;   // hours, minutes, seconds of time

    // 1 when both arcs lie in range, 0 otherwise; both verdicts are always
    // computed and the `sign` fields are not consulted.
    //   declination: minutes >= 0, seconds >= 0, |units| <= 89, minutes <= 59,
    //                seconds < 60; or |units| == 90 with minutes == seconds == 0.
    //   ascension:   units, minutes, seconds >= 0, units <= 23, minutes <= 59,
    //                seconds < 60; or units == 24 with minutes == seconds == 0.
    int value_checker() const;
};

} // namespace tarnvel

#endif
