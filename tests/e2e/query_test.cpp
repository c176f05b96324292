// The query form end to end: the messages of the checks in their order,
// boundaries, labels, line ends and files that cannot be opened, as the
// console of a whole run shows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace {

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
    EXPECT_EQ(r.page.has_value(), r.console.find(query_refused) == std::string::npos);
    return r.console;
}

} // namespace

TEST(QueryForm, TheExampleIsValidAndQuiet)
{
    EXPECT_EQ(console_for("Query form\n" + query_form()), page_created);
}

TEST(QueryForm, SeveralFaultsPrintTheirMessagesInStepOrder)
{
    query_values v;
    v.dec_max = "45:15:00"; // maximal declination without its sign
    v.z_min = "3";          // minimal redshift above the maximal one
    v.z_max = "2";
    EXPECT_EQ(console_for(query_form(v)),
              std::string("Sign '+' or '-' of maximal declination is lost\n") + query_rules +
                  "minimal redshift must be less then maximal redshift\n" + query_refused);

    v = query_values();
    v.dec_min = " -30:00:00"; // a blank is taken as the sign character
    v.ra_min = "22:00:00";    // an interval through 0h
    v.ra_max = "02:00:00";
    v.dec_max = "-40:00:00"; // minimal declination above the maximal one
    EXPECT_EQ(console_for(query_form(v)),
              std::string("Sign '+' or '-' of minimal declination is lost\n") + query_rules +
                  "minimal declination must be less then maximal declination\n"
                  "minimal ascension must be less then maximal ascension\n" +
                  query_refused);
}

TEST(QueryForm, OrderChecksAloneDoNotPrintTheRules)
{
    query_values v;
    v.z_min = "3";
    v.z_max = "2";
    EXPECT_EQ(console_for(query_form(v)),
              std::string("minimal redshift must be less then maximal redshift\n") + query_refused);
}

TEST(QueryForm, BoundaryPositions)
{
    query_values v;
    v.ra_min = "00:00:00";
    v.ra_max = "24:00:00";
    v.dec_min = "-90:00:00";
    v.dec_max = "+90:00:00";
    EXPECT_EQ(console_for(query_form(v)), page_created);

    for (const char* ra_max : {"10:00:60", "24:00:01"}) {
        v = query_values();
        v.ra_max = ra_max;
        EXPECT_EQ(console_for(query_form(v)), std::string(query_rules) + query_refused) << ra_max;
    }
    v = query_values();
    v.dec_max = "+89:59:60";
    EXPECT_EQ(console_for(query_form(v)), std::string(query_rules) + query_refused);
}

TEST(QueryForm, CrlfLineEndsReadAlike)
{
    std::string crlf;
    for (char c : query_form()) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(console_for(crlf), page_created);
}

TEST(QueryForm, LabelsOf1000CharactersPassAndLongerOnesAreCut)
{
    const std::string text = query_form();
    const std::size_t first_label = std::string("Epoch").size();
    std::string long_label = text;
    long_label.replace(0, first_label, std::string(1000, 'L'));
    EXPECT_EQ(console_for(long_label), page_created);

    std::string too_long = text;
    too_long.replace(0, first_label, std::string(1001, 'L'));
    // The skip gives up in front of the '=', which then ends the next label
    // at once: every value is read one group early and "2000" is taken for
    // the minimal right ascension.
    const std::string console = console_for(too_long);
    EXPECT_EQ(console.rfind(label_stop_lost, 0), 0u) << console;
    EXPECT_NE(console.find(query_refused), std::string::npos) << console;
}

TEST(QueryForm, FileThatCannotBeOpenedIsReportedAndChangesNothing)
{
    e2e_case c;
    std::filesystem::create_directory(c.directory() / "query.frm");
    const run_result r = c.run();
    EXPECT_EQ(r.console,
              std::string(no_style_file) + "error of opening file query.form\n" + query_refused);
    EXPECT_FALSE(r.page.has_value());
}

} // namespace tarnvel
