// The run as a whole: phases in order, the closing lines, the exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace {

const std::string valid_query = query_form(everything());

} // namespace

TEST(Driver, SuccessfulRunEndsWithTheSuccessLine)
{
    e2e_case c;
    c.copy_demo_inputs();
    const run_result r = c.run();
    EXPECT_EQ(r.console, page_created);
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(r.page.has_value());
}

TEST(Driver, MissingQueryEndsTheRunWithoutAPage)
{
    e2e_case c;
    const run_result r = c.run();
    EXPECT_EQ(r.console,
              std::string(no_style_file) + "error of opening file query.form\n" + query_refused);
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
    EXPECT_EQ(r.console, repeated(label_stop_lost, 6) +
                             "Invalid epoch value\n"
                             "result list error\n" +
                             page_not_created);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.page, std::string("previous page\n")) << "an existing page stays untouched";
}

TEST(Driver, HelpAndVersionAnswerAndTouchNoFile)
{
    e2e_case c;
    c.copy_demo_inputs();
    c.write("results.html", "last page\n");
    const auto listing = [&] {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(c.directory()))
            all += entry.path().filename().string() + ":" +
                   std::to_string(
                       static_cast<long long>(entry.last_write_time().time_since_epoch().count())) +
                   ":" + read_file(entry.path()).value_or("") + "\n";
        return all;
    };
    const std::string before = listing();
    for (const char* argument : {"--help", "-h", "--version"}) {
        const run_result r = c.tarnvel().arg(argument).run();
        EXPECT_EQ(r.exit_status, 0) << argument;
        EXPECT_EQ(r.errors, "") << argument;
        if (std::string(argument) == "--version")
            EXPECT_EQ(r.console, "tarnvel " TARNVEL_VERSION "\n");
        else
            EXPECT_EQ(r.console.rfind("Usage: tarnvel [--help | --version]\n", 0), 0u) << r.console;
        EXPECT_EQ(listing(), before) << argument << " touched a file";
    }
    // A reader of the console that has gone changes nothing.
    for (const char* argument : {"--help", "--version"}) {
        c.tarnvel()
            .before("{ sleep 0.3; ")
            .arg(argument)
            .streams("2>/dev/null; echo $? >code; } | true")
            .run();
        EXPECT_EQ(read_file(c.directory() / "code"), std::string("0\n"))
            << argument << " into a pipe nobody reads (141: ended by SIGPIPE)";
    }
    // Anything else is ignored, as it always was: the query is answered.
    const run_result r = c.tarnvel().arg("--help").arg("extra").run();
    EXPECT_EQ(r.console, page_created);
    EXPECT_EQ(r.page, expected_page("demo.html"));
}

} // namespace tarnvel
