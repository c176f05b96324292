// The run as a whole: phases in order, the closing lines, the exit status.
#include <gtest/gtest.h>

#include "support/e2e.h"
#include "support/forms.h"

namespace {

const std::string valid_query = query_form(everything());

const char success_line[] = "\nFile results.html has been created successfully\n";

} // namespace

TEST(Driver, SuccessfulRunEndsWithTheSuccessLine)
{
    e2e_case c;
    c.copy(examples_dir() / "style.var", "style.var");
    c.copy(examples_dir() / "query.frm", "query.frm");
    c.copy(examples_dir() / "quasar_list.dat", "quasar_list.dat");
    const run_result r = c.run();
    EXPECT_EQ(r.console, success_line);
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(r.page.has_value());
}

TEST(Driver, MissingQueryEndsTheRunWithoutAPage)
{
    e2e_case c;
    const run_result r = c.run();
    EXPECT_EQ(r.console, "error of opening file style.var\n"
                         "error of opening file query.form\n"
                         "Query input error: file results.html has not been created\n");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_FALSE(r.page.has_value());
}

TEST(Driver, InvalidEpochEndsTheRunAfterTheSelection)
{
    e2e_case c;
    query_values v = everything();
    v.epoch = "2001";
    c.write("query.frm", query_form(v));
    c.write("style.var", "");
    c.write("results.html", "previous page\n");
    c.copy(examples_dir() / "quasar_list.dat", "quasar_list.dat");
    const run_result r = c.run();
    EXPECT_EQ(r.console, std::string() +
                             "file read message: stop_signal '=' lost\n"
                             "file read message: stop_signal '=' lost\n"
                             "file read message: stop_signal '=' lost\n"
                             "file read message: stop_signal '=' lost\n"
                             "file read message: stop_signal '=' lost\n"
                             "file read message: stop_signal '=' lost\n"
                             "Invalid epoch value\n"
                             "result list error\n"
                             "\nError: File results.html has not been created\n");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.page, std::string("previous page\n")) << "an existing page stays untouched";
}
