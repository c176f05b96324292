// cone: a circle on the sky, its centre and radius in degrees, and the test
// whether a catalogue entry's epoch-2000 position lies within it by
// great-circle distance.
#ifndef TARNVEL_SELECT_CONE_H
#define TARNVEL_SELECT_CONE_H

#include "model/record.h"

namespace tarnvel {

// A position in degrees: right ascension and declination.
struct sky_degrees {
    double ascension = 0.0;
    double declination = 0.0;
};

// The circle of `radius` degrees around `centre`, with the centre's sine and
// cosine of declination kept for the test.
class cone {
public:
    // A cone around `centre` (right ascension in any turn, declination in
    // -90..90) of `radius` degrees (0..180).
    cone(sky_degrees centre, double radius);

    sky_degrees centre() const { return centre_; }
    double radius() const { return radius_; }

    // The great-circle distance in degrees from the centre to `position`
    // (0..180), by Vincenty's formula, sound at every distance, across
    // right ascension 0 and at the poles.
    double distance_to(sky_degrees position) const;

    // True when `position` lies within the cone, its boundary included.
    bool holds(sky_degrees position) const;

private:
    sky_degrees centre_;
    double radius_;
    double sin_declination_;
    double cos_declination_;
};

// The great-circle distance in degrees between two positions.
double angular_distance(sky_degrees a, sky_degrees b);

// An entry's epoch-2000 position in degrees: its right ascension arc's
// value / 240 and its declination arc's value / 3600. The declination is
// taken as it stands: normalised (arc::corrector) as tarnvel normalises it.
sky_degrees position_2000(const record& entry);

// The same for the epoch-1950 position.
sky_degrees position_1950(const record& entry);

} // namespace tarnvel

#endif
