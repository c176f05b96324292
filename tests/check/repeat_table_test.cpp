// The checker's table of what entries held: a key met again gives the line
// and detail it was first met with, through every growth of the table.
#include <gtest/gtest.h>

#include <string>

#include "check/repeat_table.h"

namespace tarnvel {

TEST(RepeatTable, KeyMetAgainGivesItsFirstLineAndDetailThroughEveryGrowth)
{
    repeat_table table;
    const int count = 5000; // several doublings from the first size
    const auto key = [](int i) { return repeat_table::hash(("Q " + std::to_string(i)).c_str()); };
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(table.add(key(i), i + 1, static_cast<std::uint32_t>(7 * i)).line, 0) << i;
    ASSERT_EQ(table.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const repeat_table::earlier again = table.add(key(i), count + i + 1, 1);
        EXPECT_EQ(again.line, i + 1) << i;
        EXPECT_EQ(again.detail, static_cast<std::uint32_t>(7 * i)) << i;
        EXPECT_EQ(table.add(key(i), 2 * count + i + 1).line, i + 1) << i << ", a third time";
    }
    EXPECT_EQ(table.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(table.add(repeat_table::hash(""), 9).line, 0) << "the empty text is a key like any";
    EXPECT_EQ(table.add(repeat_table::hash(""), 10).line, 9);
    EXPECT_EQ(table.add(1, 1ll << 40).line, 0);
    EXPECT_EQ(table.add(1, 2).line, 4294967295ll) << "a line past 32 bits is kept as the largest";
}

TEST(RepeatTable, HashOfATextIsTheHashOfItsBytes)
{
    EXPECT_EQ(repeat_table::hash("Q 0040+121"), repeat_table::hash("Q 0040+121", 10));
    EXPECT_EQ(repeat_table::hash("2", 1, repeat_table::hash("Q 1")), repeat_table::hash("Q 12"));
}

} // namespace tarnvel
