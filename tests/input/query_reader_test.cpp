// The query form read in process: the globals it fills, the sign
// characters, values it does not check, and an empty form.
#include <gtest/gtest.h>

#include <string>

#include "input/readers.h"
#include "support/console_texts.h"
#include "support/forms.h"
#include "support/reader_test.h"

namespace tarnvel {

namespace {

class QueryReader : public reader_test {
protected:
    // Reads `form` and returns the reader's result; what it printed goes to `console`.
    int read(const std::string& form, std::string* console = nullptr)
    {
        reset_run_state();
        int result = -1;
        const std::string printed =
            console_of([&](scan_stream& s) { result = read_query(s); }, form);
        if (console != nullptr)
            *console = printed;
        return result;
    }

    int read_with_min_declination(const std::string& value, std::string* console = nullptr)
    {
        query_values v;
        v.dec_min = value;
        return read(query_form(v), console);
    }
};

} // namespace

TEST_F(QueryReader, TheExampleFillsEveryBoundQuietly)
{
    std::string console;
    EXPECT_EQ(read("Query form\n" + query_form(), &console), 1);
    EXPECT_EQ(console, "");
    EXPECT_EQ(epoch, 2000);
    EXPECT_EQ(minimal_ascension.value(), 2 * 3600 + 30 * 60);
    EXPECT_EQ(maximal_ascension.value(), 14 * 3600 + 30.5);
    EXPECT_EQ(minimal_declination.units, 30);
    EXPECT_EQ(minimal_declination.sign, -1);
    EXPECT_EQ(maximal_declination.value(), 45 * 3600 + 15 * 60);
    EXPECT_EQ(min_redshift, 1.5);
    EXPECT_EQ(max_absolute_magnitude, -20);
}

TEST_F(QueryReader, SignCharacters)
{
    // A sign written twice: the sign character query_rules, the degrees' own is dropped.
    EXPECT_EQ(read_with_min_declination("+-05:00:00"), 1);
    EXPECT_EQ(minimal_declination.units, 5);
    EXPECT_EQ(minimal_declination.sign, 1);

    // The sign character carries the sign of a declination of 0 degrees.
    EXPECT_EQ(read_with_min_declination("-00:30:00"), 1);
    EXPECT_EQ(minimal_declination.units, 0);
    EXPECT_EQ(minimal_declination.minutes, 30);
    EXPECT_EQ(minimal_declination.value(), -1800);

    // Without a sign its first digit is taken as the sign character.
    std::string console;
    EXPECT_EQ(read_with_min_declination("30:00:00", &console), 0);
    EXPECT_EQ(console,
              std::string("Sign '+' or '-' of minimal declination is lost\n") + query_rules);
}

TEST_F(QueryReader, EqualBoundsAndUncheckedValuesAreAccepted)
{
    query_values v;
    v.epoch = "1975";
    v.ra_min = v.ra_max = "10:00:00";
    v.dec_min = v.dec_max = "+05:00:00";
    v.z_min = v.z_max = "2";
    v.v_min = "20";
    v.v_max = "10";
    v.m_min = v.m_max = "-1";
    EXPECT_EQ(read(query_form(v)), 1) << "epoch and magnitude bounds are not checked";
    EXPECT_EQ(epoch, 1975);
    v = query_values();
    v.z_min = "-1";
    EXPECT_EQ(read(query_form(v)), 1) << "a negative redshift bound is accepted";
}

TEST_F(QueryReader, EmptyFormKeepsEveryInitialValue)
{
    std::string console;
    EXPECT_EQ(read("", &console), 1);
    EXPECT_EQ(console, repeated(label_stop_lost, 11));
    EXPECT_EQ(epoch, 2000);
    EXPECT_EQ(minimal_declination.sign, 1);
    EXPECT_EQ(max_redshift, 0);
}

} // namespace tarnvel
