// The catalogue reader: entries, closing lines, fields split across lines,
// text inside numeric fields, names, and catalogues without a closing line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "input/correct_record_list.h"
#include "input/readers.h"
#include "support/console_texts.h"
#include "support/reader_test.h"
#include "support/scratch_file.h"

namespace tarnvel {

namespace {

const char entry_a[] =
    "Q 1234+567$12$34$56.7$-05$07$08.9$2.345$17.8$1e8$12$31$50.2$-04$50$31.0$B 1232-048$";
const char entry_b[] =
    "Q 0000-001$00$03$30.28$+00$08$12.8$2.59$1e8$1e8$00$00$56.52$-0.000001$08$29.5$J 000330$";

class CatalogueReader : public reader_test {
protected:
    // Reads `text` as the catalogue and returns what was printed.
    static std::string read(const std::string& text) { return catalogue_console(text); }
    static std::vector<const record*> list() { return catalogue_list(); }
};

} // namespace

TEST_F(CatalogueReader, ReadsEveryFieldOfAnEntry)
{
    EXPECT_EQ(read(std::string(entry_a) + "\n" + entry_b + "\n$\n"), "");
    const auto records = list();
    ASSERT_EQ(records.size(), 2u);
    const record& a = DB_First;
    EXPECT_STREQ(a.name_I.text, "Q 1234+567");
    EXPECT_EQ(a.coords_2000.ascension.units, 12);
    EXPECT_EQ(a.coords_2000.ascension.minutes, 34);
    EXPECT_EQ(a.coords_2000.ascension.seconds, 56.7);
    EXPECT_EQ(a.coords_2000.declination.units, -5);
    EXPECT_EQ(a.coords_2000.declination.minutes, 7);
    EXPECT_EQ(a.coords_2000.declination.seconds, 8.9);
    EXPECT_EQ(a.redshift, 2.345);
    EXPECT_EQ(a.apparent_magnitude, 17.8);
    EXPECT_EQ(a.absolute_magnitude, 1e8);
    EXPECT_EQ(a.coords_1950.ascension.units, 12);
    EXPECT_EQ(a.coords_1950.ascension.minutes, 31);
    EXPECT_EQ(a.coords_1950.ascension.seconds, 50.2);
    EXPECT_EQ(a.coords_1950.declination.units, -4);
    EXPECT_EQ(a.coords_1950.declination.minutes, 50);
    EXPECT_EQ(a.coords_1950.declination.seconds, 31);
    EXPECT_STREQ(a.name_II.text, "B 1232-048");
    EXPECT_EQ(a.coords_2000.declination.sign, 1) << "signs come from normalisation, not reading";

    const record& b = *records[1];
    EXPECT_EQ(b.coords_1950.declination.units, -1e-6);
    EXPECT_EQ(b.next, nullptr);
    EXPECT_EQ(b.next_selected, nullptr);

    Correct_record_list();
    EXPECT_EQ(total_number, 2);
    EXPECT_EQ(b.coords_1950.declination.sign, -1);
    EXPECT_EQ(b.coords_1950.declination.units, 0);
}

TEST_F(CatalogueReader, ClosingLines)
{
    EXPECT_EQ(read(std::string("$$") + entry_a + "\n$\n"), "");
    EXPECT_EQ(list().size(), 1u) << "a file that begins with $$ holds the head record alone";
    EXPECT_STREQ(DB_First.name_I.text, "");

    reset_run_state();
    read(std::string(entry_a) + "\n" + entry_b + "\n$\n" + entry_a + "\n$\n");
    EXPECT_EQ(list().size(), 2u) << "a $ line in the middle ends the list";

    reset_run_state();
    read(std::string(entry_a) + "\n   $\n" + entry_b + "\n$\n");
    EXPECT_EQ(list().size(), 1u) << "blanks in front of a closing $ are skipped";

    reset_run_state();
    read(std::string("$\n") + entry_a + "\n" + entry_b + "\n$\n");
    const auto records = list();
    ASSERT_EQ(records.size(), 3u) << "a first line of only $ leaves the head record as it was";
    EXPECT_STREQ(DB_First.name_I.text, "");
    EXPECT_EQ(DB_First.redshift, 0);
    EXPECT_STREQ(records[1]->name_I.text, "\nQ 1234+567") << "nothing is skipped after that $";
}

TEST_F(CatalogueReader, CrlfLineEnds)
{
    read(std::string(entry_a) + "\r\n" + entry_b + "\r\n$\r\n");
    const auto records = list();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(records[1]->name_I.text, "Q 0000-001");
    EXPECT_STREQ(records[1]->name_II.text, "J 000330");
}

TEST_F(CatalogueReader, EntriesSplitAcrossLines)
{
    read("Q 1$12$\n34$ 56.7\n$-05$07$08.9$2.345$17.8$1e8$12$31$50.2$-04$50$31.0$\nB 2$\n$\n");
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(DB_First.coords_2000.ascension.minutes, 34);
    EXPECT_EQ(DB_First.coords_2000.ascension.seconds, 56.7);
    EXPECT_STREQ(DB_First.name_II.text, "\nB 2")
        << "split after field 16, the name keeps the line end";
}

TEST_F(CatalogueReader, ShortEntryTakesItsMissingFieldsFromTheNextLine)
{
    read("Q 1$1$2$3$4$5$6$7$8$9$10$11$12$13$\n"
         "14$15$N2$\nQ 2$1$2$3$4$5$6$7$8$9$10$11$12$13$14$15$N3$\n$\n");
    const auto records = list();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(DB_First.coords_1950.declination.minutes, 14) << "fields 15 to 17 from the next line";
    EXPECT_EQ(DB_First.coords_1950.declination.seconds, 15);
    EXPECT_STREQ(DB_First.name_II.text, "N2");
}

TEST_F(CatalogueReader, TextAfterANumberAndFieldsWithoutOne)
{
    read("Q 1$12 h$34 min$56.7 s$-05$07$08.9$2.345 (lower?)$$-26$12$31$50.2$-04$50$31.0$N$\n$\n");
    EXPECT_EQ(DB_First.coords_2000.ascension.units, 12);
    EXPECT_EQ(DB_First.coords_2000.ascension.minutes, 34);
    EXPECT_EQ(DB_First.redshift, 2.345);
    EXPECT_EQ(DB_First.apparent_magnitude, 0) << "an empty field keeps the constructed value";
    EXPECT_EQ(DB_First.absolute_magnitude, -26);
}

TEST_F(CatalogueReader, NamesWithBlanksMarkupAndExcessLength)
{
    const std::string long_name(150, 'n');
    read(std::string("  first <b>name</b> %d  $1$2$3$4$5$6$7$8$9$10$11$12$13$14$15$ second $\n") +
         "  " + long_name + "$1$2$3$4$5$6$7$8$9$10$11$12$13$14$15$" + long_name + "$\n$\n");
    const auto records = list();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(DB_First.name_I.text, "  first <b>name</b> %d  ")
        << "the first entry keeps its blanks";
    EXPECT_STREQ(DB_First.name_II.text, " second ");
    EXPECT_EQ(std::string(records[1]->name_I.text), std::string(99, 'n'))
        << "leading blanks of later entries vanish; long names keep 99 characters";
    EXPECT_EQ(std::string(records[1]->name_II.text), std::string(99, 'n'));
    EXPECT_EQ(records[1]->coords_2000.ascension.units, 1)
        << "the fields after a long name stay in step";
}

TEST_F(CatalogueReader, CatalogueWithoutClosingLineEndsAfterItsLastEntry)
{
    EXPECT_EQ(read(std::string(entry_a) + "\n" + entry_b + "\n"), "");
    const auto records = list();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]->next, nullptr);

    reset_run_state();
    EXPECT_EQ(read(""), "");
    EXPECT_EQ(list().size(), 1u);
}

TEST_F(CatalogueReader, InputEndingInsideAnEntryKeepsTheListWellFormed)
{
    const std::string console = read(std::string(entry_a) + "\nQ 9$1$2$3");
    const auto records = list();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(records[1]->name_I.text, "Q 9");
    EXPECT_EQ(records[1]->coords_2000.ascension.seconds, 3);
    EXPECT_EQ(records[1]->next, nullptr);
    // Fields 4 to 16 each miss their '$'.
    EXPECT_EQ(console, repeated(field_stop_lost, 13));
}

TEST_F(CatalogueReader, MissingFileIsReported)
{
    console_capture console;
    EXPECT_EQ(Read_record_list("no/such/catalogue.dat"), 1);
    EXPECT_EQ(console.text(), "error open file no/such/catalogue.dat\n");
    EXPECT_EQ(list().size(), 1u);
}

TEST_F(CatalogueReader, SmallReadBuffersGiveTheSameList)
{
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += std::string(entry_a) + "\r\n" + entry_b + "\n";
    text += "  1" + std::string(120, 'n') + "$-1.25e+1 remark$" + std::string(1200, 'x') + "$\n$\n";
    read(text);
    std::vector<record> expected;
    for (const record* r : list())
        expected.push_back(*r);

    for (std::size_t buffer = 16; buffer <= 64; buffer += 3) {
        reset_run_state();
        scratch_file file(text);
        ASSERT_TRUE(file.ok());
        {
            catalogue_shape shape;
            shape.buffer_size = buffer;
            console_capture console;
            read_catalogue(file.text(), shape);
        }
        const auto records = list();
        ASSERT_EQ(records.size(), expected.size()) << "buffer " << buffer;
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_STREQ(records[i]->name_I.text, expected[i].name_I.text) << buffer;
            EXPECT_STREQ(records[i]->name_II.text, expected[i].name_II.text) << buffer;
            EXPECT_EQ(records[i]->coords_2000.ascension.units,
                      expected[i].coords_2000.ascension.units);
            EXPECT_EQ(records[i]->coords_2000.ascension.seconds,
                      expected[i].coords_2000.ascension.seconds);
            EXPECT_EQ(records[i]->coords_1950.declination.units,
                      expected[i].coords_1950.declination.units);
            EXPECT_EQ(records[i]->redshift, expected[i].redshift) << buffer;
        }
    }
}

TEST_F(CatalogueReader, TwoDigitFieldsKeepTheirSigns)
{
    // Signed two-digit fields, "-00" (minus zero, which counts as positive)
    // among them, in an entry with plenty of text behind it.
    read("Q 1$-00$+05$-12$-00$07$08$2$18$-26$12$31$50$+00$50$31$N$\n" + std::string(200, ' ') +
         "$\n");
    EXPECT_TRUE(std::signbit(DB_First.coords_2000.ascension.units));
    EXPECT_EQ(DB_First.coords_2000.ascension.minutes, 5);
    EXPECT_EQ(DB_First.coords_2000.ascension.seconds, -12);
    EXPECT_TRUE(std::signbit(DB_First.coords_2000.declination.units));
    EXPECT_FALSE(std::signbit(DB_First.coords_1950.declination.units));
    Correct_record_list();
    EXPECT_EQ(DB_First.coords_2000.declination.sign, 1);
}

} // namespace tarnvel
