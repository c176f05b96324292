// The cone test: distances across right ascension 0 and at the poles, the
// inclusive boundary, and the positions of entries in degrees.
#include <gtest/gtest.h>

#include <cmath>

#include "select/cone.h"

namespace tarnvel {

TEST(Cone, DistanceIsSoundAcrossRightAscensionZeroAndAtThePoles)
{
    struct distance_case {
        const char* what;
        sky_degrees a, b;
        double degrees;
        double tolerance;
    };
    const distance_case cases[] = {
        {"same point", {10, 20}, {10, 20}, 0, 0},
        {"across RA 0 on the equator", {359.9, 0}, {0.1, 0}, 0.2, 1e-12},
        {"across RA 0 at dec 60", {359.5, 60}, {0.5, 60}, 0.49999, 1e-5},
        {"over the north pole", {0, 89.9}, {180, 89.9}, 0.2, 1e-11},
        {"pole to anything", {123, 90}, {77, 89}, 1, 1e-12},
        {"south pole, any RA", {0, -90}, {270, -90}, 0, 1e-12},
        {"antipodes", {0, 0}, {180, 0}, 180, 1e-12},
        {"nearly antipodal", {10, 45}, {190, -44.999}, 179.999, 1e-9},
        {"a milliarcsecond", {150, -30}, {150, -30 + 1 / 3.6e6}, 1 / 3.6e6, 1e-14},
        {"RA beyond a turn", {370, 0}, {10, 0}, 0, 1e-12},
    };
    for (const distance_case& c : cases) {
        EXPECT_NEAR(angular_distance(c.a, c.b), c.degrees, c.tolerance) << c.what;
        EXPECT_NEAR(angular_distance(c.b, c.a), c.degrees, c.tolerance) << c.what << ", reversed";
    }
}

TEST(Cone, BoundaryIsIncluded)
{
    const cone area({0, 0}, 1.0);
    EXPECT_TRUE(area.holds({0, 1.0}));
    EXPECT_TRUE(area.holds({1.0, 0}));
    EXPECT_TRUE(area.holds({359.5, 0.5}));
    EXPECT_FALSE(area.holds({0, std::nextafter(1.0, 2.0)}));
    EXPECT_FALSE(area.holds({0.8, 0.8})); // 1.13 degrees away: inside the box, not the circle
    const cone whole_sky({0, 0}, 180);
    EXPECT_TRUE(whole_sky.holds({180, 0}));
    EXPECT_TRUE(whole_sky.holds({0, -90}));
}

TEST(Cone, EntryPositionsAreArcValuesInDegrees)
{
    record r;
    r.coords_2000.ascension.units = 12;
    r.coords_2000.ascension.minutes = 30;
    r.coords_2000.declination.units = 45;
    r.coords_2000.declination.seconds = 36;
    r.coords_2000.declination.sign = -1;
    r.coords_1950.ascension.units = 24;
    const sky_degrees p = position_2000(r);
    EXPECT_EQ(p.ascension, 187.5);
    EXPECT_EQ(p.declination, -45.01);
    EXPECT_EQ(position_1950(r).ascension, 360.0);
}

} // namespace tarnvel
