// Correct_record_list: normalisation of every declination and the count.
#include <gtest/gtest.h>

#include "input/correct_record_list.h"
#include "support/reader_test.h"

namespace tarnvel {

class CorrectRecordList : public reader_test {};

TEST_F(CorrectRecordList, CountsTheHeadRecordAlone)
{
    EXPECT_EQ(Correct_record_list(), 0);
    EXPECT_EQ(total_number, 1);
    EXPECT_EQ(DB_First.coords_2000.declination.sign, 1);
}

TEST_F(CorrectRecordList, NormalisesBothDeclinationsOfEveryRecordAndNoAscension)
{
    DB_First.coords_2000.declination.units = -12;
    DB_First.coords_1950.declination.units = 3;
    record* second = catalogue_records.allocate();
    DB_First.next = second;
    second->coords_2000.declination.units = 0.5;
    second->coords_1950.declination.units = -0.000001;
    second->coords_2000.ascension.units = -4; // never touched: ascensions keep sign +1
    record* third = catalogue_records.allocate();
    second->next = third;

    EXPECT_EQ(Correct_record_list(), 0);
    EXPECT_EQ(total_number, 3);
    EXPECT_EQ(DB_First.coords_2000.declination.units, 12);
    EXPECT_EQ(DB_First.coords_2000.declination.sign, -1);
    EXPECT_EQ(DB_First.coords_1950.declination.sign, 1);
    EXPECT_EQ(second->coords_2000.declination.sign, 1);
    EXPECT_EQ(second->coords_1950.declination.units, 0);
    EXPECT_EQ(second->coords_1950.declination.sign, -1);
    EXPECT_EQ(second->coords_2000.ascension.units, -4);
    EXPECT_EQ(second->coords_2000.ascension.sign, 1);
}

} // namespace tarnvel
