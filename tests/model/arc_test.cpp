// arc: the corrector's sign rules and the value in seconds.
#include <gtest/gtest.h>

#include <cmath>

#include "model/arc.h"

namespace tarnvel {

namespace {

arc corrected(double units, double minutes = 0, double seconds = 0)
{
    arc a;
    a.units = units;
    a.minutes = minutes;
    a.seconds = seconds;
    EXPECT_EQ(a.corrector(), 1);
    return a;
}

} // namespace

TEST(ArcCorrector, MovesTheSignOfTheUnitsIntoSign)
{
    const arc negative = corrected(-12.5, 30, 15);
    EXPECT_EQ(negative.units, 12.5);
    EXPECT_EQ(negative.sign, -1);
    EXPECT_EQ(negative.minutes, 30);
    EXPECT_EQ(negative.seconds, 15);

    const arc positive = corrected(7);
    EXPECT_EQ(positive.units, 7);
    EXPECT_EQ(positive.sign, 1);
}

TEST(ArcCorrector, TinyUnitsBecomeZeroButKeepTheirSign)
{
    const arc minus_zero = corrected(-0.0, 30);
    EXPECT_EQ(minus_zero.sign, 1) << "minus zero counts as positive";
    EXPECT_FALSE(std::signbit(minus_zero.units));

    const arc below_bound = corrected(-5e-7);
    EXPECT_EQ(below_bound.units, 0.0);
    EXPECT_FALSE(std::signbit(below_bound.units));
    EXPECT_EQ(below_bound.sign, -1);

    const arc catalogue_minus_zero = corrected(-0.000001, 30);
    EXPECT_EQ(catalogue_minus_zero.units, 0.0);
    EXPECT_EQ(catalogue_minus_zero.sign, -1);
    EXPECT_EQ(catalogue_minus_zero.value(), -1800);

    const arc at_bound = corrected(1e-6);
    EXPECT_EQ(at_bound.units, 0.0);
    EXPECT_EQ(at_bound.sign, 1);

    const arc above_bound = corrected(2e-6);
    EXPECT_EQ(above_bound.units, 2e-6);
    EXPECT_EQ(above_bound.sign, 1);
}

TEST(ArcCorrector, LeavesNegativeMinutesAndSecondsAlone)
{
    const arc a = corrected(-3, -4, -5);
    EXPECT_EQ(a.minutes, -4);
    EXPECT_EQ(a.seconds, -5);
    EXPECT_EQ(a.sign, -1);
}

TEST(ArcValue, IsTheSignedAngleInSeconds)
{
    EXPECT_EQ(arc().value(), 0);
    EXPECT_EQ(arc().sign, 1);

    arc ascension;
    ascension.units = 23;
    ascension.minutes = 59;
    ascension.seconds = 59.5;
    EXPECT_EQ(ascension.value(), 86399.5);

    arc declination;
    declination.units = 12;
    declination.minutes = 30;
    declination.sign = -1;
    EXPECT_EQ(declination.value(), -45000);

    declination.units = 90;
    declination.minutes = 0;
    declination.sign = 1;
    EXPECT_EQ(declination.value(), 324000);
}

} // namespace tarnvel
