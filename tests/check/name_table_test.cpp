// The checker's table of first names: a name met again gives the line it
// was first met on, through every growth of the table.
#include <gtest/gtest.h>

#include <string>

#include "check/name_table.h"

namespace tarnvel {

TEST(NameTable, NameMetAgainGivesItsFirstLineThroughEveryGrowth)
{
    name_table names;
    const int count = 5000; // several doublings from the first size
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(names.add(name_table::hash(("Q " + std::to_string(i)).c_str()), i + 1), 0) << i;
    ASSERT_EQ(names.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string name = "Q " + std::to_string(i);
        EXPECT_EQ(names.add(name_table::hash(name.c_str()), count + i + 1), i + 1) << name;
        EXPECT_EQ(names.add(name_table::hash(name.c_str()), 2 * count + i + 1), i + 1)
            << name << ", a third time";
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(names.add(name_table::hash(""), 9), 0) << "the empty name is a name like any other";
    EXPECT_EQ(names.add(name_table::hash(""), 10), 9);
}

} // namespace tarnvel
