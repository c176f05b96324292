// The angle type: construction, sign normalisation and value in seconds.
#include "model/arc.h"

namespace tarnvel {

arc::arc() : units(0.0), minutes(0.0), seconds(0.0), sign(1)
{
}

int arc::corrector()
{
    sign = units < 0 ? -1 : 1;
    const double magnitude = units < 0 ? -units : units;
    units = magnitude <= 1e-6 ? 0.0 : magnitude;
    return 1;
}

double arc::value() const
{
    return sign * (3600.0 * units + 60.0 * minutes + seconds);
}

} // namespace tarnvel
