// The query form end to end: the messages of the checks in their order,
// boundaries, labels, line ends and files that cannot be opened, as the
// console of a whole run shows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/e2e.h"
#include "support/forms.h"

namespace {

const char refused[] = "Query input error: file results.html has not been created\n";
const char created[] = "\nFile results.html has been created successfully\n";
const char rules[] = "Error: parameters have to be the following:\n"
                     "-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  "
                     "redshift>=0,\n"
                     "00<=min<=59,  00<=sec<60 \n";

// Runs the program on `form` with the demo's style and an empty catalogue
// and returns its console output.
std::string console_for(const std::string& form)
{
    e2e_case c;
    c.write("style.var", demo_style());
    c.write("quasar_list.dat", "$$\n");
    c.write("query.frm", form);
    const run_result r = c.run();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.page.has_value(), r.console.find(refused) == std::string::npos);
    return r.console;
}

} // namespace

TEST(QueryForm, TheExampleIsValidAndQuiet)
{
    EXPECT_EQ(console_for("Query form\n" + query_form()), created);
}

TEST(QueryForm, SeveralFaultsPrintTheirMessagesInStepOrder)
{
    query_values v;
    v.dec_max = "45:15:00"; // maximal declination without its sign
    v.z_min = "3";          // minimal redshift above the maximal one
    v.z_max = "2";
    EXPECT_EQ(console_for(query_form(v)),
              std::string("Sign '+' or '-' of maximal declination is lost\n") + rules +
                  "minimal redshift must be less then maximal redshift\n" + refused);

    v = query_values();
    v.dec_min = " -30:00:00"; // a blank is taken as the sign character
    v.ra_min = "22:00:00";    // an interval through 0h
    v.ra_max = "02:00:00";
    v.dec_max = "-40:00:00"; // minimal declination above the maximal one
    EXPECT_EQ(console_for(query_form(v)),
              std::string("Sign '+' or '-' of minimal declination is lost\n") + rules +
                  "minimal declination must be less then maximal declination\n"
                  "minimal ascension must be less then maximal ascension\n" +
                  refused);
}

TEST(QueryForm, OrderChecksAloneDoNotPrintTheRules)
{
    query_values v;
    v.z_min = "3";
    v.z_max = "2";
    EXPECT_EQ(console_for(query_form(v)),
              std::string("minimal redshift must be less then maximal redshift\n") + refused);
}

TEST(QueryForm, BoundaryPositions)
{
    query_values v;
    v.ra_min = "00:00:00";
    v.ra_max = "24:00:00";
    v.dec_min = "-90:00:00";
    v.dec_max = "+90:00:00";
    EXPECT_EQ(console_for(query_form(v)), created);

    for (const char* ra_max : {"10:00:60", "24:00:01"}) {
        v = query_values();
        v.ra_max = ra_max;
        EXPECT_EQ(console_for(query_form(v)), std::string(rules) + refused) << ra_max;
    }
    v = query_values();
    v.dec_max = "+89:59:60";
    EXPECT_EQ(console_for(query_form(v)), std::string(rules) + refused);
}

TEST(QueryForm, CrlfLineEndsReadAlike)
{
    std::string crlf;
    for (char c : query_form()) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(console_for(crlf), created);
}

TEST(QueryForm, LabelsOf1000CharactersPassAndLongerOnesAreCut)
{
    const std::string text = query_form();
    const std::size_t first_label = std::string("Epoch").size();
    std::string long_label = text;
    long_label.replace(0, first_label, std::string(1000, 'L'));
    EXPECT_EQ(console_for(long_label), created);

    std::string too_long = text;
    too_long.replace(0, first_label, std::string(1001, 'L'));
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
