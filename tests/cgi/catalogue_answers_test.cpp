// The catalogue's answers: the entries of a cone as tarnvel reads and
// normalises them, and the walk over a catalogue in runs, which must hand on
// the list tarnvel reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cgi/catalogue_answers.h"
#include "input/catalogue_parts.h"
#include "input/catalogue_walk.h"
#include "input/correct_record_list.h"
#include "support/reader_test.h"
#include "support/record_text.h"

namespace tarnvel {

namespace {

text_source in_memory(const std::string& text)
{
    text_source source;
    source.data = text.data();
    source.size = text.size();
    return source;
}

// A catalogue line for an entry named `name` at the epoch-2000 position
// given by its fields of text.
std::string entry_line(const std::string& name, const char* ra, const char* dec)
{
    return name + "$" + ra + "$" + dec + "$2.0$18.0$1e8$0$0$0$0$0$0$" + name + "-II$\n";
}

// The numbers of the entries within `area` of `catalogue`.
std::vector<long long> numbers_in(const std::string& catalogue, const cone& area)
{
    std::vector<long long> numbers;
    EXPECT_EQ(cone_entries(in_memory(catalogue), area,
                           [&](const answer_entry& e) {
                               numbers.push_back(e.number);
                               EXPECT_LE(e.distance, area.radius());
                               return true;
                           }),
              reading_outcome::read);
    return numbers;
}

} // namespace

TEST(ConeEntries, FindEntriesAroundZeroThePolesAndNone)
{
    const std::string catalogue = entry_line("A", "23$59$50", "+00$00$00") + // 359.958 deg
                                  entry_line("B", "00$00$10", "-00$00$30") + // 0.0417, -0.0083
                                  entry_line("C", "12$00$00", "+89$57$00") + // 180, 89.95
                                  entry_line("D", "00$00$00", "+89$58$00") + // 0, 89.967
                                  entry_line("E", "06$00$00", "-90$00$00") + // the south pole
                                  entry_line("F", "18$00$00", "-89$54$00") + // 270, -89.9
                                  entry_line("G", "01$00$00", "-00$30$00") + "$\n";
    using numbers = std::vector<long long>;
    EXPECT_EQ(numbers_in(catalogue, cone({0, 0}, 0.1)), (numbers{1, 2}));
    EXPECT_EQ(numbers_in(catalogue, cone({359.99, 0}, 0.05)), (numbers{1}));
    EXPECT_EQ(numbers_in(catalogue, cone({90, 90}, 0.06)), (numbers{3, 4}));
    EXPECT_EQ(numbers_in(catalogue, cone({0, -90}, 0.1)), (numbers{5, 6}));
    EXPECT_EQ(numbers_in(catalogue, cone({100, 10}, 5)), (numbers{}));
    // -00 degrees with 30 minutes is +00:30:00 (the sign is the degrees'
    // number's), so G lies north of the equator, at +0.5.
    EXPECT_EQ(numbers_in(catalogue, cone({15, 0.5}, 1e-9)), (numbers{7}));
}

TEST(ConeEntries, TinyNegativeDegreesKeepTheirSign)
{
    const std::string catalogue = entry_line("A", "01$00$00", "-0.000001$30$00") + "$\n";
    EXPECT_EQ(numbers_in(catalogue, cone({15, -0.5}, 1e-9)), (std::vector<long long>{1}));
}

TEST(ConeEntries, SinkEndsTheAnswer)
{
    std::string catalogue;
    for (int i = 0; i < 10; ++i)
        catalogue += entry_line("Q" + std::to_string(i), "00$00$00", "+00$00$00");
    int taken = 0;
    cone_entries(in_memory(catalogue), cone({0, 0}, 1),
                 [&](const answer_entry&) { return ++taken < 3; });
    EXPECT_EQ(taken, 3);
}

class CatalogueWalk : public reader_test {};

TEST_F(CatalogueWalk, HandsOnTheListTarnvelReads)
{
    // Megabytes that tarnvel reads in parts, with entries split over lines,
    // remarks behind numbers, a lost '$' in the middle and no closing line.
    std::string catalogue = "$\nhead name$1$2$3$-0$4$5$1.5e12$1e8$-3$1$2$3$-4$5$6$second$\n";
    for (int i = 0; catalogue.size() < std::size_t{3} << 20; ++i) {
        catalogue += "Q " + std::to_string(i) + "$" + std::to_string(i % 24) + "$1$2.5 s$" +
                     std::to_string(i % 179 - 89) + "$\n3$4$1.25$17$-25$1$2$3$-4$5$6$B " +
                     std::to_string(i) + "$\r\n";
        if (i == 20000)
            catalogue += "broken$1 2 3";
    }
    std::string walked;
    long long expected_number = 0;
    EXPECT_EQ(walk_catalogue(in_memory(catalogue),
                             [&](long long number, const record& entry) {
                                 EXPECT_EQ(number, ++expected_number);
                                 walked += record_text(entry);
                                 return true;
                             }),
              reading_outcome::read);
    read_catalogue(in_memory(catalogue));
    Correct_record_list();
    EXPECT_EQ(walked, catalogue_list_text());
    EXPECT_EQ(expected_number, total_number);
}

TEST_F(CatalogueWalk, EmptyTextStillHasTheHeadEntry)
{
    int visits = 0;
    walk_catalogue(in_memory(""), [&](long long number, const record& entry) {
        EXPECT_EQ(number, 1);
        EXPECT_STREQ(entry.name_I.text, "");
        return ++visits > 0;
    });
    EXPECT_EQ(visits, 1);
}

} // namespace tarnvel
