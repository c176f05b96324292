// Pages the program wrote, opened in headless Chromium: what a reader sees
// (title, navigation, summary, count, the table's rows, cells and colours),
// read from the rendered document. Skipped where Chromium is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/forms.h"

namespace fs = std::filesystem;

namespace {

std::string find_chromium()
{
    if (const char* chosen = std::getenv("TARNVEL_CHROMIUM"))
        return fs::exists(chosen) ? chosen : "";
    for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser",
                                  "/usr/bin/google-chrome", "/usr/local/bin/chrome"})
        if (fs::exists(candidate))
            return candidate;
    return "";
}

// The text of serialised markup: the entities the serialiser writes, undone.
std::string unescaped(std::string text)
{
    const char* const entities[][2] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                                       {"&#39;", "'"}, {"&nbsp;", "\xc2\xa0"}, {"&amp;", "&"}};
    for (const auto& entity : entities)
        for (std::size_t at; (at = text.find(entity[0])) != std::string::npos;)
            text.replace(at, std::char_traits<char>::length(entity[0]), entity[1]);
    return text;
}

// Opens `page` in headless Chromium with the probe script and returns the
// probe's lines, or an empty list when the browser failed.
std::vector<std::string> what_a_reader_sees(const e2e_case& c, const std::string& page)
{
    const std::string chromium = find_chromium();
    const fs::path probe_page = c.directory() / "probe.html";
    {
        std::ofstream out(probe_page, std::ios::binary);
        out << page << "<script>\n"
            << read_file(fs::path(TARNVEL_BROWSER_DIR) / "probe.js").value_or("") << "</script>\n";
    }
    const fs::path profile = c.directory().parent_path() / "chromium-profile";
    const fs::path dom = c.directory().parent_path() / "dom.html";
    const std::string command =
        "timeout 120 '" + chromium +
        "' --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
        " --disable-component-update --disable-sync --user-data-dir='" + profile.string() +
        "' --dump-dom 'file://" + probe_page.string() + "' >'" + dom.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::string text = read_file(dom).value_or("");
    const std::string open = "<pre id=\"tarnvel-probe\">";
    const std::size_t start = text.find(open);
    std::vector<std::string> lines;
    if (start == std::string::npos)
        return lines;
    std::istringstream probe(unescaped(
        text.substr(start + open.size(), text.find("</pre>", start) - start - open.size())));
    for (std::string line; std::getline(probe, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

bool has(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& l : lines)
        all += l + "\n";
    return all;
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
                          "02:30:00 <= \xce\xb1" "2000 <=14:00:30 Declination interval: -30:00:00 <= "
                          "\xce\xb4" "2000 <=45:15:00 Redshift interval: 1.5 <= zem <=4 Apparent "
                          "magnitude interval: 10 <= V <=20 Absolute magnitude interval: -30 <= M "
                          "<=-20"))
        << joined(seen);
    EXPECT_TRUE(has(seen, "h4: There are 16 records corresponding to these parameters. Total number "
                          "of records is 32 ."))
        << joined(seen);
    ASSERT_TRUE(has(seen, "results rows: 17")) << "a header row and one row per record\n" << joined(seen);
    EXPECT_TRUE(has(seen, "row 0: 9 th cells, background rgb(0, 170, 170), first cell QSO's name I"));
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
    EXPECT_TRUE(has(seen, "h3: There is no record corresponding to these parameters")) << joined(seen);
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
        EXPECT_TRUE(has(seen, "row 0: 9 th cells, background rgb(0, 170, 170), first cell QSO's name I"));
        int plain_rows = 0;
        for (const std::string& line : seen)
            plain_rows += line.find(": 9 td cells, background rgba(0, 0, 0, 0)") != std::string::npos;
        EXPECT_EQ(plain_rows, 32) << "data rows have no colour of their own\n" << joined(seen);
    }
}
