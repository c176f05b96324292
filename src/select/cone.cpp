// The cone test: Vincenty's formula for the distance on the unit sphere.
#include "select/cone.h"

#include <cmath>

namespace tarnvel {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double radians_per_degree = pi / 180.0;
constexpr double seconds_of_time_per_degree = 240.0;
constexpr double seconds_of_arc_per_degree = 3600.0;

// The distance in degrees between a position of declination sine and cosine
// (`sin1`, `cos1`) and `b`, `delta` degrees apart in right ascension.
double distance_from(double sin1, double cos1, double delta, double declination)
{
    const double sin2 = std::sin(declination * radians_per_degree);
    const double cos2 = std::cos(declination * radians_per_degree);
    const double sin_delta = std::sin(delta * radians_per_degree);
    const double cos_delta = std::cos(delta * radians_per_degree);
    const double across = cos2 * sin_delta;
    const double along = cos1 * sin2 - sin1 * cos2 * cos_delta;
    const double towards = sin1 * sin2 + cos1 * cos2 * cos_delta;
    return std::atan2(std::hypot(across, along), towards) / radians_per_degree;
}

} // namespace

cone::cone(sky_degrees centre, double radius)
    : centre_(centre), radius_(radius),
      sin_declination_(std::sin(centre.declination * radians_per_degree)),
      cos_declination_(std::cos(centre.declination * radians_per_degree))
{
}

double cone::distance_to(sky_degrees position) const
{
    return distance_from(sin_declination_, cos_declination_, position.ascension - centre_.ascension,
                         position.declination);
}

bool cone::holds(sky_degrees position) const
{
    // The distance is never less than the difference of declination: most
    // entries of a small cone are left out without a sine.
    if (std::fabs(position.declination - centre_.declination) > radius_)
        return false;
    return distance_to(position) <= radius_;
}

double angular_distance(sky_degrees a, sky_degrees b)
{
    return cone(a, 0.0).distance_to(b);
}

sky_degrees position_2000(const record& entry)
{
    return {entry.coords_2000.ascension.value() / seconds_of_time_per_degree,
            entry.coords_2000.declination.value() / seconds_of_arc_per_degree};
}

sky_degrees position_1950(const record& entry)
{
    return {entry.coords_1950.ascension.value() / seconds_of_time_per_degree,
            entry.coords_1950.declination.value() / seconds_of_arc_per_degree};
}

} // namespace tarnvel
