// Pages the program wrote, opened in headless Chromium: what a reader sees
// (title, navigation, summary, count, the table's rows, cells and colours),
// read from the rendered document. Skipped where Chromium is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/browser.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// Opens `page` with the probe added, in headless Chromium, and returns the
// probe's lines.
std::vector<std::string> what_a_reader_sees(const e2e_case& c, const std::string& page)
{
    const fs::path probe_page = c.directory() / "probe.html";
    {
        std::ofstream out(probe_page, std::ios::binary);
        out << page << "<script>\n"
            << read_file(fs::path(TARNVEL_BROWSER_DIR) / "probe.js").value_or("") << "</script>\n";
    }
    return probe_lines("file://" + probe_page.string(), c.directory().parent_path());
}

bool has(const std::vector<std::string>& lines, const std::string& line)
{
    return has_line(lines, line);
}

class Browser : public testing::Test {
protected:
    void SetUp() override
    {
        if (find_chromium().empty())
            GTEST_SKIP() << "Chromium is not installed: the pages were not looked at in a browser";
    }

    void expect_frame(const std::vector<std::string>& seen)
    {
        EXPECT_TRUE(has(seen, "title: Query Results")) << joined(seen);
        EXPECT_TRUE(has(seen, "navigation entries: 5")) << joined(seen);
        EXPECT_TRUE(has(seen, "navigation: Introduction -> introduction.html"));
        EXPECT_TRUE(has(seen, "navigation: Manual -> manual.html"));
        EXPECT_TRUE(has(seen, "navigation: Query Results -> (this page)"));
        EXPECT_TRUE(has(seen, "navigation: Absorption Systems -> absorpt_systems.html"));
        EXPECT_TRUE(has(seen, "navigation: References -> references.html"));
    }
};

} // namespace

TEST_F(Browser, DemoPage)
{
    e2e_case c;
    c.copy_demo_inputs();
    const run_result r = c.run();
    ASSERT_TRUE(r.page.has_value());
    const std::vector<std::string> seen = what_a_reader_sees(c, *r.page);
    expect_frame(seen);
    EXPECT_TRUE(has(seen, "h4: Query parameters: Coordinates at the epoch 2000 Ascension interval: "
                          "02:30:00 <= \xce\xb1"
                          "2000 <=14:00:30 Declination interval: -30:00:00 <= "
                          "\xce\xb4"
                          "2000 <=45:15:00 Redshift interval: 1.5 <= zem <=4 Apparent "
                          "magnitude interval: 10 <= V <=20 Absolute magnitude interval: -30 <= M "
                          "<=-20"))
        << joined(seen);
    EXPECT_TRUE(has(seen,
                    "h4: There are 16 records corresponding to these parameters. Total number "
                    "of records is 32 ."))
        << joined(seen);
    ASSERT_TRUE(has(seen, "results rows: 17")) << "a header row and one row per record\n"
                                               << joined(seen);
    EXPECT_TRUE(
        has(seen, "row 0: 9 th cells, background rgb(0, 170, 170), first cell QSO's name I"));
    for (int row = 1; row <= 16; ++row) {
        const std::string prefix = "row " + std::to_string(row) + ": 9 td cells, background " +
                                   (row % 2 == 1 ? "rgb(255, 255, 255)" : "rgb(192, 192, 192)");
        bool found = false;
        for (const std::string& line : seen)
            found |= line.rfind(prefix, 0) == 0;
        EXPECT_TRUE(found) << prefix << "\n" << joined(seen);
    }
}

TEST_F(Browser, PageWithoutRecords)
{
    e2e_case c;
    c.copy(examples_dir() / "style.var", "style.var");
    query_values nothing;
    nothing.z_min = nothing.z_max = "9";
    c.write("query.frm", query_form(nothing));
    c.copy(examples_dir() / "quasar_list.dat", "quasar_list.dat");
    const run_result r = c.run();
    ASSERT_TRUE(r.page.has_value());
    const std::vector<std::string> seen = what_a_reader_sees(c, *r.page);
    expect_frame(seen);
    EXPECT_TRUE(has(seen, "h3: There is no record corresponding to these parameters"))
        << joined(seen);
    EXPECT_TRUE(has(seen, "results table: none")) << joined(seen);
}

TEST_F(Browser, ColoursOffAndNoStyleFile)
{
    for (const bool with_style : {true, false}) {
        e2e_case c;
        if (with_style)
            c.write("style.var", style_file("2", "100", "20", 'n', 'l', 'r'));
        c.write("query.frm", query_form(everything()));
        c.copy(examples_dir() / "quasar_list.dat", "quasar_list.dat");
        const run_result r = c.run();
        ASSERT_TRUE(r.page.has_value());
        const std::vector<std::string> seen = what_a_reader_sees(c, *r.page);
        expect_frame(seen);
        EXPECT_TRUE(has(seen, "h4: There are 32 records corresponding to these parameters. Total "
                              "number of records is 32 ."))
            << joined(seen);
        ASSERT_TRUE(has(seen, "results rows: 33")) << joined(seen);
        EXPECT_TRUE(
            has(seen, "row 0: 9 th cells, background rgb(0, 170, 170), first cell QSO's name I"));
        int plain_rows = 0;
        for (const std::string& line : seen)
            plain_rows +=
                line.find(": 9 td cells, background rgba(0, 0, 0, 0)") != std::string::npos;
        EXPECT_EQ(plain_rows, 32) << "data rows have no colour of their own\n" << joined(seen);
    }
}

} // namespace tarnvel
