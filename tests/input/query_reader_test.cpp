// The query form: messages in the order of the checks, the sign characters,
// boundaries, labels, line ends and files that cannot be opened. Observed
// end to end through the console and, for accepted queries, the page's
// summary; and in process through the query globals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/state.h"
#include "input/readers.h"
#include "support/console_capture.h"
#include "support/e2e.h"

namespace {

const char refused[] = "Query input error: file results.html has not been created\n";
const char created[] = "\nFile results.html has been created successfully\n";
const char rules[] = "Error: parameters have to be the following:\n"
                     "-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  "
                     "redshift>=0,\n"
                     "00<=min<=59,  00<=sec<60 \n";

// A query form with one value per line behind these labels.
std::string form(const std::vector<std::string>& values)
{
    static const char* const labels[11] = {
        "Epoch",
        "Minimal right ascension",
        "Maximal right ascension",
        "Minimal declination",
        "Maximal declination",
        "Minimal redshift",
        "Maximal redshift",
        "Minimal apparent magnitude",
        "Maximal apparent magnitude",
        "Minimal absolute magnitude",
        "Maximal absolute magnitude"};
    std::string text = "Query form\n";
    for (std::size_t i = 0; i < values.size(); ++i)
        text += std::string(labels[i]) + "=" + values[i] + "\n";
    return text;
}

std::vector<std::string> example_values()
{
    return {"2000",      "02:30:00", "14:00:30.5", "-30:00:00", "+45:15:00", "1.5",
            "4",         "10",       "20",         "-30",       "-20"};
}

// Runs the program on `query` with a style file and an empty catalogue and
// returns its console output.
std::string console_for(const std::string& query)
{
    e2e_case c;
    c.write("style.var", "border=1\nwidth=80\nheight=50\ncolor_interchange=y\nheader_align=c\n"
                         "cell_align=l\n");
    c.write("quasar_list.dat", "$$\n");
    c.write("query.frm", query);
    const run_result r = c.run();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.page.has_value(), r.console.find(refused) == std::string::npos);
    return r.console;
}

// Reads `query` in process and returns the reader's result.
int read_in_process(const std::string& query, std::string* console = nullptr)
{
    reset_run_state();
    scan_stream s(query.data(), query.size());
    console_capture capture;
    const int result = read_query(s);
    const std::string text = capture.text();
    if (console != nullptr)
        *console = text;
    return result;
}

std::string with(std::size_t index, const std::string& value)
{
    std::vector<std::string> values = example_values();
    values[index] = value;
    return form(values);
}

} // namespace

TEST(QueryForm, TheExampleIsValidAndQuiet)
{
    EXPECT_EQ(console_for(form(example_values())), created);
    std::string console;
    EXPECT_EQ(read_in_process(form(example_values()), &console), 1);
    EXPECT_EQ(console, "");
    EXPECT_EQ(epoch, 2000);
    EXPECT_EQ(minimal_ascension.value(), 2 * 3600 + 30 * 60);
    EXPECT_EQ(maximal_ascension.value(), 14 * 3600 + 30.5);
    EXPECT_EQ(minimal_declination.units, 30);
    EXPECT_EQ(minimal_declination.sign, -1);
    EXPECT_EQ(maximal_declination.value(), 45 * 3600 + 15 * 60);
    EXPECT_EQ(min_redshift, 1.5);
    EXPECT_EQ(max_absolute_magnitude, -20);
    reset_run_state();
}

TEST(QueryForm, SeveralFaultsPrintTheirMessagesInStepOrder)
{
    std::vector<std::string> values = example_values();
    values[4] = "45:15:00";              // maximal declination without its sign
    values[5] = "3";                     // minimal redshift above the maximal one
    values[6] = "2";
    EXPECT_EQ(console_for(form(values)),
              std::string("Sign '+' or '-' of maximal declination is lost\n") + rules +
                  "minimal redshift must be less then maximal redshift\n" + refused);

    values = example_values();
    values[3] = " -30:00:00"; // a blank is taken as the sign character
    values[1] = "22:00:00";   // an interval through 0h
    values[2] = "02:00:00";
    values[4] = "-40:00:00";  // minimal declination above the maximal one
    EXPECT_EQ(console_for(form(values)),
              std::string("Sign '+' or '-' of minimal declination is lost\n") + rules +
                  "minimal declination must be less then maximal declination\n"
                  "minimal ascension must be less then maximal ascension\n" +
                  refused);
}

TEST(QueryForm, OrderChecksAloneDoNotPrintTheRules)
{
    std::vector<std::string> values = example_values();
    values[5] = "3";
    values[6] = "2";
    EXPECT_EQ(console_for(form(values)),
              std::string("minimal redshift must be less then maximal redshift\n") + refused);
}

TEST(QueryForm, SignCharacters)
{
    // A sign written twice: the sign character rules, the degrees' own is dropped.
    EXPECT_EQ(read_in_process(with(3, "+-05:00:00")), 1);
    EXPECT_EQ(minimal_declination.units, 5);
    EXPECT_EQ(minimal_declination.sign, 1);

    // The sign character carries the sign of a declination of 0 degrees.
    EXPECT_EQ(read_in_process(with(3, "-00:30:00")), 1);
    EXPECT_EQ(minimal_declination.units, 0);
    EXPECT_EQ(minimal_declination.minutes, 30);
    EXPECT_EQ(minimal_declination.value(), -1800);

    // Without a sign its first digit is taken as the sign character.
    std::string console;
    EXPECT_EQ(read_in_process(with(3, "30:00:00"), &console), 0);
    EXPECT_EQ(console, std::string("Sign '+' or '-' of minimal declination is lost\n") + rules);
    reset_run_state();
}

TEST(QueryForm, BoundaryPositions)
{
    std::vector<std::string> values = example_values();
    values[1] = "00:00:00";
    values[2] = "24:00:00";
    values[3] = "-90:00:00";
    values[4] = "+90:00:00";
    EXPECT_EQ(console_for(form(values)), created);

    EXPECT_EQ(console_for(with(2, "10:00:60")), std::string(rules) + refused);
    EXPECT_EQ(console_for(with(4, "+89:59:60")), std::string(rules) + refused);
    EXPECT_EQ(console_for(with(2, "24:00:01")), std::string(rules) + refused);
}

TEST(QueryForm, EqualBoundsAndUncheckedValuesAreAccepted)
{
    std::vector<std::string> values = {"1975", "10:00:00", "10:00:00", "+05:00:00", "+05:00:00",
                                       "2",    "2",        "20",       "10",        "-1",
                                       "-1"};
    EXPECT_EQ(read_in_process(form(values)), 1) << "epoch and magnitude bounds are not checked";
    EXPECT_EQ(epoch, 1975);
    EXPECT_EQ(read_in_process(with(5, "-1")), 1) << "a negative redshift bound is accepted";
    reset_run_state();
}

TEST(QueryForm, EmptyFormKeepsEveryInitialValue)
{
    std::string console;
    EXPECT_EQ(read_in_process("", &console), 1);
    std::string eleven;
    for (int i = 0; i < 11; ++i)
        eleven += "file read message: stop_signal '=' lost\n";
    EXPECT_EQ(console, eleven);
    EXPECT_EQ(epoch, 2000);
    EXPECT_EQ(minimal_declination.sign, 1);
    EXPECT_EQ(max_redshift, 0);
}

TEST(QueryForm, CrlfLineEndsReadAlike)
{
    std::string crlf;
    for (char c : form(example_values())) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(console_for(crlf), created);
}

TEST(QueryForm, LabelsOf1000CharactersPassAndLongerOnesAreCut)
{
    std::string text = form(example_values());
    const std::size_t first_label = text.find("Epoch");
    std::string long_label = text;
    long_label.replace(0, first_label + 5, std::string(1000, 'L'));
    EXPECT_EQ(console_for(long_label), created);

    std::string too_long = text;
    too_long.replace(0, first_label + 5, std::string(1001, 'L'));
    // The skip gives up in front of the '=', which then ends the next label
    // at once: every value is read one group early and "2000" is taken for
    // the minimal right ascension.
    const std::string console = console_for(too_long);
    EXPECT_EQ(console.rfind("file read message: stop_signal '=' lost\n", 0), 0u) << console;
    EXPECT_NE(console.find(refused), std::string::npos) << console;
}

TEST(QueryForm, FileThatCannotBeOpenedIsReportedAndChangesNothing)
{
    e2e_case c;
    std::filesystem::create_directory(c.directory() / "query.frm");
    const run_result r = c.run();
    EXPECT_EQ(r.console, std::string("error of opening file style.var\n"
                                     "error of opening file query.form\n") +
                             refused);
    EXPECT_FALSE(r.page.has_value());
}

TEST(QueryForm, ReadOnlyFormCountsAsMissing)
{
    e2e_case c;
    c.write("query.frm", form(example_values()));
    std::filesystem::permissions(c.directory() / "query.frm",
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::group_read |
                                     std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::replace);
    const std::optional<run_result> r = c.run_unprivileged();
    if (!r)
        GTEST_SKIP() << "no unprivileged user to run as here: permissions would not apply";
    EXPECT_EQ(r->console, std::string("error of opening file style.var\n"
                                      "error of opening file query.form\n") +
                              refused);
    EXPECT_FALSE(r->page.has_value());
}
