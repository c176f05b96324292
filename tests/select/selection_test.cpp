// The record test of the selection, rule by rule: closed intervals of the
// position, the lower-limit redshift, the no-value magnitude, the epoch's
// coordinates; and the chain the walk builds.
#include <gtest/gtest.h>

#include <vector>

#include "select/selection.h"
#include "support/reader_test.h"

namespace tarnvel {

namespace {

class Selection : public reader_test {
protected:
    // A query of the declination -10:00:00 to +10:00:00, the right ascension
    // 01:00:00 to 02:00:00, the redshift 1 to 2, both magnitudes 10 to 20,
    // at epoch 2000.
    void SetUp() override
    {
        reader_test::SetUp();
        minimal_declination.units = 10;
        minimal_declination.sign = -1;
        maximal_declination.units = 10;
        minimal_ascension.units = 1;
        maximal_ascension.units = 2;
        min_redshift = 1;
        max_redshift = 2;
        min_apparent_magnitude = min_absolute_magnitude = 10;
        max_apparent_magnitude = max_absolute_magnitude = 20;
    }

    // A record inside every interval, at both epochs.
    static record inside()
    {
        record r;
        for (sky_coords* position : {&r.coords_2000, &r.coords_1950}) {
            position->ascension.units = 1.5;
            position->declination.units = 5;
        }
        r.redshift = 1.5;
        r.apparent_magnitude = r.absolute_magnitude = 15;
        return r;
    }

    // Whether `r`, as the only record of the catalogue, is selected.
    static bool selected(const record& r)
    {
        reset_catalogue_state();
        DB_First = r;
        EXPECT_EQ(result_list_generator(), 0);
        EXPECT_EQ(number_of_selected, First_Selected != nullptr ? 1 : 0);
        return First_Selected == &DB_First;
    }
};

struct rule_case {
    const char* what;
    void (*change)(record&);
    bool selected;
};

void expect_rule(const std::vector<rule_case>& cases, bool (*selected)(const record&),
                 record (*inside)())
{
    for (const rule_case& c : cases) {
        record r = inside();
        c.change(r);
        EXPECT_EQ(selected(r), c.selected) << c.what;
    }
}

} // namespace

TEST_F(Selection, PositionIntervalsIncludeTheirBounds)
{
    expect_rule(
        {
            {"inside", [](record&) {}, true},
            {"declination at the lower bound",
             [](record& r) {
                 r.coords_2000.declination.units = 10;
                 r.coords_2000.declination.sign = -1;
             },
             true},
            {"declination just below",
             [](record& r) {
                 r.coords_2000.declination = arc();
                 r.coords_2000.declination.units = 10;
                 r.coords_2000.declination.seconds = 0.001;
                 r.coords_2000.declination.sign = -1;
             },
             false},
            {"declination at the upper bound",
             [](record& r) { r.coords_2000.declination.units = 10; }, true},
            {"declination above", [](record& r) { r.coords_2000.declination.minutes = 60 * 5 + 1; },
             false},
            {"right ascension at both bounds", [](record& r) { r.coords_2000.ascension.units = 2; },
             true},
            {"right ascension below", [](record& r) { r.coords_2000.ascension.units = 0.99; },
             false},
        },
        selected, inside);
}

TEST_F(Selection, LowerLimitRedshiftsAreComparedDividedBy1e12)
{
    expect_rule(
        {
            {"redshift at the upper bound", [](record& r) { r.redshift = 2; }, true},
            {"redshift above", [](record& r) { r.redshift = 2.0001; }, false},
            {"lower limit 1.5e12 is 1.5", [](record& r) { r.redshift = 1.5e12; }, true},
            {"lower limit 2.5e12 is 2.5", [](record& r) { r.redshift = 2.5e12; }, false},
            {"exactly 1e9 is an ordinary value", [](record& r) { r.redshift = 1e9; }, false},
        },
        selected, inside);
    max_redshift = 1e10;
    record r = inside();
    r.redshift = 1e9;
    EXPECT_TRUE(selected(r)) << "1e9 is compared as it stands";
}

TEST_F(Selection, NoValueMagnitudePassesEveryInterval)
{
    expect_rule(
        {
            {"both magnitudes absent",
             [](record& r) { r.apparent_magnitude = r.absolute_magnitude = 1e8; }, true},
            {"apparent magnitude at the bound", [](record& r) { r.apparent_magnitude = 20; }, true},
            {"apparent magnitude outside", [](record& r) { r.apparent_magnitude = 21; }, false},
            {"absolute magnitude outside", [](record& r) { r.absolute_magnitude = 9; }, false},
            {"1e8 + 1 is a value", [](record& r) { r.absolute_magnitude = 1e8 + 1; }, false},
        },
        selected, inside);
    min_apparent_magnitude = 20;
    max_apparent_magnitude = 10; // a reversed interval admits only absent magnitudes
    record r = inside();
    EXPECT_FALSE(selected(r));
    r.apparent_magnitude = 1e8;
    EXPECT_TRUE(selected(r));
}

TEST_F(Selection, Epoch1950UsesTheOtherCoordinates)
{
    record r = inside();
    r.coords_2000.ascension.units = 5; // outside, but only at 2000
    EXPECT_FALSE(selected(r));
    epoch = 1950;
    EXPECT_TRUE(selected(r));
    r.coords_1950.declination.units = 11;
    EXPECT_FALSE(selected(r));

    epoch = 2001;
    reset_catalogue_state();
    console_capture console;
    EXPECT_EQ(result_list_generator(), 1);
    EXPECT_EQ(console.text(), "Invalid epoch value\n");
    EXPECT_EQ(First_Selected, nullptr);
}

TEST_F(Selection, ChainHoldsTheMatchesInCatalogueOrder)
{
    DB_First = inside();
    DB_First.redshift = 3; // not selected
    record* previous = &DB_First;
    std::vector<const record*> expected;
    for (int i = 0; i < 5; ++i) {
        record* r = catalogue_records.allocate();
        *r = inside();
        r->redshift = i % 2 == 0 ? 1 : 3;
        previous->next = r;
        previous = r;
        if (i % 2 == 0)
            expected.push_back(r);
    }
    EXPECT_EQ(result_list_generator(), 0);
    std::vector<const record*> chain;
    for (const record* r = First_Selected; r != nullptr; r = r->next_selected)
        chain.push_back(r);
    EXPECT_EQ(chain, expected);
    EXPECT_EQ(number_of_selected, 3);
}

} // namespace tarnvel
