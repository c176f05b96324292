// sky_coords::value_checker: the bounds of a declination and a right ascension.
#include <gtest/gtest.h>

#include "model/sky_coords.h"

namespace tarnvel {

namespace {

arc make(double units, double minutes, double seconds)
{
    arc a;
    a.units = units;
    a.minutes = minutes;
    a.seconds = seconds;
    return a;
}

int check(const arc& declination, const arc& ascension)
{
    sky_coords position;
    position.declination = declination;
    position.ascension = ascension;
    return position.value_checker();
}

const arc valid_ascension = make(12, 0, 0);
const arc valid_declination = make(10, 30, 0);

} // namespace

TEST(ValueChecker, DeclinationBounds)
{
    for (const arc& accepted :
         {make(90, 0, 0), make(-90, 0, 0), make(89, 59, 59.9), make(-45, 0, 0), make(0, 0, 0)})
        EXPECT_EQ(check(accepted, valid_ascension), 1)
            << accepted.units << ":" << accepted.minutes << ":" << accepted.seconds;
    for (const arc& refused : {make(90, 0, 1), make(90, 1, 0), make(89, 60, 0), make(89, 59, 60),
                               make(45, -1, 0), make(45, 0, -1), make(89.5, 0, 0), make(91, 0, 0)})
        EXPECT_EQ(check(refused, valid_ascension), 0)
            << refused.units << ":" << refused.minutes << ":" << refused.seconds;
}

TEST(ValueChecker, AscensionBounds)
{
    for (const arc& accepted : {make(0, 0, 0), make(24, 0, 0), make(23, 59, 59.9)})
        EXPECT_EQ(check(valid_declination, accepted), 1) << accepted.units;
    for (const arc& refused : {make(24, 0, 1), make(23, 60, 0), make(23, 59, 60), make(23.5, 0, 0),
                               make(-1, 0, 0), make(12, 75, 0), make(12, 30, 60)})
        EXPECT_EQ(check(valid_declination, refused), 0)
            << refused.units << ":" << refused.minutes << ":" << refused.seconds;
}

TEST(ValueChecker, VerdictsAreIndependentAndTheProductIsZeroOrOne)
{
    EXPECT_EQ(check(make(10, 30, 0), make(24, 0, 0)), 1);
    EXPECT_EQ(check(make(95, 0, 0), make(25, 0, 0)), 0);
    arc signed_declination = make(45, 0, 0);
    signed_declination.sign = -1;
    EXPECT_EQ(check(signed_declination, valid_ascension), 1) << "sign fields are not consulted";
}

} // namespace tarnvel
