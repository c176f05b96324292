// record and string: construction.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/record.h"

namespace tarnvel {

TEST(Record, ConstructionLeavesNoValueUnset)
{
    const record r;
    for (const arc* a : {&r.coords_2000.declination, &r.coords_2000.ascension,
                         &r.coords_1950.declination, &r.coords_1950.ascension}) {
        EXPECT_EQ(a->units, 0);
        EXPECT_EQ(a->minutes, 0);
        EXPECT_EQ(a->seconds, 0);
        EXPECT_EQ(a->sign, 1);
    }
    EXPECT_EQ(r.redshift, 0);
    EXPECT_EQ(r.apparent_magnitude, 0);
    EXPECT_EQ(r.absolute_magnitude, 0);
    EXPECT_STREQ(r.name_I.text, "");
    EXPECT_STREQ(r.name_II.text, "");
    EXPECT_EQ(r.next, nullptr);
    EXPECT_EQ(r.next_selected, nullptr);
}

TEST(String, HoldsItsSourceText)
{
    EXPECT_STREQ(string().text, "");
    const string name("quasar_list.dat");
    EXPECT_STREQ(name.text, "quasar_list.dat");
}

TEST(String, LongSourceIsCutAndStaysTerminated)
{
    const std::string source(150, 'x');
    const string cut(source.c_str());
    EXPECT_EQ(std::strlen(cut.text), 39u);
    const string exact(std::string(38, 'y').c_str());
    EXPECT_EQ(std::strlen(exact.text), 38u);
}

} // namespace tarnvel
