// The range check of a query position.
#include "model/sky_coords.h"

namespace tarnvel {

namespace {

int declination_in_range(const arc& a)
{
    const double degrees = a.units < 0 ? -a.units : a.units;
    if (a.minutes >= 0 && a.seconds >= 0 && degrees <= 89 && a.minutes <= 59 && a.seconds < 60)
        return 1;
    return degrees == 90 && a.minutes == 0 && a.seconds == 0 ? 1 : 0;
}

int ascension_in_range(const arc& a)
{
    if (a.units >= 0 && a.minutes >= 0 && a.seconds >= 0 && a.units <= 23 && a.minutes <= 59 &&
        a.seconds < 60)
        return 1;
    return a.units == 24 && a.minutes == 0 && a.seconds == 0 ? 1 : 0;
}

} // namespace

int sky_coords::value_checker() const
{
    const int declination_verdict = declination_in_range(declination);
    const int ascension_verdict = ascension_in_range(ascension);
    return declination_verdict * ascension_verdict;
}

} // namespace tarnvel
