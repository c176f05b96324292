// The results page, compared whole against golden pages, and its failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace {

const std::string creation_failed =
    std::string("error of creation of results.html\n") + page_not_created;

const std::string full_style = style_file("1", "90", "50", 'y', 'c', 'c');

// A query at `epoch` of these bounds.
std::string query(const char* epoch, const char* ra_min, const char* ra_max, const char* dec_min,
                  const char* dec_max, const char* z_min, const char* z_max, const char* v_min,
                  const char* v_max, const char* m_min, const char* m_max)
{
    return query_form(
        {epoch, ra_min, ra_max, dec_min, dec_max, z_min, z_max, v_min, v_max, m_min, m_max});
}

// Everything passes this query, at either epoch.
const std::string pass_all = query_form(everything());

// Runs the program in a fresh directory on these inputs (a null style means
// no style file).
run_result run(const std::string* style, const std::string& query_text,
               const std::string& catalogue)
{
    e2e_case c;
    if (style != nullptr)
        c.write("style.var", *style);
    c.write("query.frm", query_text);
    c.write("quasar_list.dat", catalogue);
    return c.run();
}

// Compares a page with its golden page. TARNVEL_UPDATE_GOLDEN=1 rewrites the
// golden page instead (review the difference before committing it).
void expect_page(const run_result& r, const std::string& golden)
{
    ASSERT_TRUE(r.page.has_value()) << "no page written; console: " << r.console;
    if (std::getenv("TARNVEL_UPDATE_GOLDEN") != nullptr && !page_has_crlf()) {
        std::ofstream(golden_dir() / golden, std::ios::binary) << *r.page;
        return;
    }
    if (!site_texts_are_defaults())
        GTEST_SKIP() << "the golden pages hold the default site texts";
    EXPECT_EQ(*r.page, expected_page(golden));
}

std::string entry(const std::string& name_1, const std::string& numbers, const std::string& name_2)
{
    return catalogue_entry(name_1, numbers, name_2);
}

} // namespace

TEST(Page, DemoQuery)
{
    e2e_case c;
    c.copy_demo_inputs();
    const run_result r = c.run();
    EXPECT_EQ(r.console, page_created);
    expect_page(r, "demo.html");
}

TEST(Page, SummaryAndCountsOfTwoRecordsOutOf1234)
{
    std::string catalogue;
    catalogue += entry("Q A", "01$02$03.5$-10$20$30$2.5$18$-26$00$59$01$-10$30$00", "J A");
    for (int i = 0; i < 1232; ++i) // outside the redshift interval
        catalogue += entry("Q X", "01$02$03$+04$05$06$4.5$18$-26$00$59$01$+03$55$00", "J X");
    catalogue += entry("Q B", "23$59$59.99$+05$30$15.5$3.5$30$-40$23$57$00$+05$14$00", "J B");
    catalogue += "$\n";
    const run_result r = run(&full_style,
                             query("2000", "00:00:00", "24:00:00", "-30:00:00", "+05:30:15.5", "2",
                                   "3.5", "0", "30", "-40", "0"),
                             catalogue);
    EXPECT_EQ(r.console, page_created);
    ASSERT_TRUE(r.page.has_value());
    const std::string summary =
        "<font color=\"#008080\"><h4>Query parameters:<br>Coordinates at the epoch 2000  <br>\n"
        "Ascension interval: 00:00:00\n"
        "<= &#945;<sub>2000 </sub> <=24:00:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
        "Declination interval: -30:00:00\n"
        "<= &#948;<sub>2000 </sub> <=05:30:15<br>Redshift interval: 2     <= z<sub>em</sub> "
        "<=3.5   <br>Apparent magnitude interval: 0     <= V <=30    &nbsp;&nbsp;&nbsp;&nbsp;\n"
        "Absolute magnitude interval: -40   <= M <=0     </h4></font>\n"
        "<font color=\"#008080\"><h4><br>There are 2     records corresponding to these "
        "parameters.\n"
        "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
        "Total number of records is 1234 .</h4></font>\n"
        "<hr><table";
    EXPECT_NE(as_lf(*r.page).find(summary), std::string::npos) << as_lf(*r.page);
    expect_page(r, "two_of_1234.html");
}

TEST(Page, NoRecordSelected)
{
    const run_result r =
        run(&full_style,
            query("2000", "01:00:00", "02:00:00", "-00:30:00", "+00:30:00", "1", "2", "10", "20",
                  "-30", "-20"),
            entry("Q 1", "05$00$00$+10$00$00$2$15$-25$05$00$00$+10$00$00", "J 1") + "$\n");
    EXPECT_EQ(r.console, page_created);
    expect_page(r, "no_record.html");
    const std::string page = as_lf(r.page.value_or(""));
    EXPECT_EQ(page.find("<table border"), std::string::npos);
    EXPECT_EQ(page.find("Total number"), std::string::npos);
}

// One catalogue with the values that the table shows in their own ways.
const std::string edge_catalogue =
    entry("seconds below ten", "00$03$5.5$-26$15$7.25$2.5$17.25$-26.1$00$00$9.9999999$+00$00$10",
          "J 1") +
    entry("sixty", "01$00$59.999999$-0.000001$30$00$1e9$1e8$100000001$01$00$00$-0$30$00", "J 2") +
    entry("lower limit", "02$00$00$+10$00$00$3.5e12$18$1e8$02$00$00$-10$00$00", "J 3") +
    entry("limit plus one", "03$00$00$+10$00$00$1000000001$18$1e8$03$00$00$+10$00$00", "J 4") +
    entry("%d %s <b>bold</b> & co", "04$00$00$+10$00$00$2$18$-26$04$00$00$+10$00$00", "") +
    entry("", "", "") + "$\n";

TEST(Page, TableCellsOfSpecialValues)
{
    // The empty first name above is read as the closing line, so the last
    // entry with an empty second name ends the catalogue.
    const run_result r = run(&full_style, pass_all, edge_catalogue);
    EXPECT_EQ(r.console, page_created);
    expect_page(r, "edge_values.html");
    const std::string page = as_lf(r.page.value_or(""));
    for (const char* cell :
         {"\n00:03:05.5     \n", "\n-26:15:07.25    \n", "\n00:00:010      \n",
          "\n00:00:10      \n", "\n01:00:60      \n", "\n-00:30:00       \n", "\n00:30:00       \n",
          "\n1e+09   \n", "\n&nbsp;\n", "\n1e+08    \n", "\n>3.5     \n", "\n>0.001   \n",
          "\n%d %s <b>bold</b> & co\n", "\n17.25    \n", "\n-26.1    \n"})
        EXPECT_NE(page.find(cell), std::string::npos) << "missing cell text: " << cell;
}

TEST(Page, AlternateColoursOffAndMissingStyleFile)
{
    const std::string style = style_file("-1", "100", "-1", 'Y', 'l', 'r');
    const run_result off = run(&style, pass_all, edge_catalogue);
    expect_page(off, "colours_off.html");
    const std::string page = as_lf(off.page.value_or(""));
    EXPECT_NE(page.find("<table width=\"100% \" height=\"4294967295% \" align=\"center\">\n"),
              std::string::npos);
    EXPECT_EQ(page.find("<tr bgcolor"), std::string::npos);
    EXPECT_NE(page.find("<tr align=\"l"), std::string::npos);

    const run_result missing = run(nullptr, pass_all, edge_catalogue);
    EXPECT_EQ(missing.console, std::string(no_style_file) + page_created);
    expect_page(missing, "no_style.html");
    const std::string bare = as_lf(missing.page.value_or(""));
    EXPECT_NE(bare.find("<table border=\"00\" width=\"00% \" height=\"00% \" align=\"center\">\n"
                        "<tr align=\"\" bgcolor=\"#00aaaa\">\n"),
              std::string::npos);
    EXPECT_NE(bare.find("<tr align=\"\">\n  <td align=\"\">\n"), std::string::npos);
}

TEST(Page, NegativeWidthIsWrittenAsItsUnsignedValue)
{
    const std::string style = style_file("7", "-1", "100", 'y', 'r', 'x');
    const run_result r = run(&style, pass_all, edge_catalogue);
    EXPECT_NE(as_lf(r.page.value_or(""))
                  .find("<table border=\"07\" width=\"4294967295% \" "
                        "height=\"100% \" align=\"center\">\n"
                        "<tr align=\"right\" bgcolor=\"#00aaaa\">\n"),
              std::string::npos);
}

TEST(Page, AlternateColoursOnStartWithWhite)
{
    const run_result on = run(&full_style, pass_all, edge_catalogue);
    const std::string page = as_lf(on.page.value_or(""));
    const std::size_t first = page.find("<tr bgcolor=\"white\" align=\"center\">\n");
    const std::size_t second = page.find("<tr bgcolor=\"#c0c0c0\" align=\"center\">\n");
    const std::size_t third = page.find("<tr bgcolor=\"white\" align=\"center\">\n", first + 1);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_NE(third, std::string::npos);
}

TEST(Page, Epoch1950UsesTheOtherCoordinates)
{
    // The first entry lies north at 2000 and south at 1950; the second the other way round.
    const std::string catalogue =
        entry("N2000", "01$00$00$+00$10$00$2$18$-26$00$57$00$-0.000001$05$00", "") +
        entry("N1950", "02$00$00$-0.000001$10$00$2$18$-26$01$57$00$+00$05$00", "") + "$\n";
    const char* north[] = {"00:00:00", "24:00:00", "+00:00:00", "+90:00:00"};
    const run_result at_2000 =
        run(&full_style,
            query("2000", north[0], north[1], north[2], north[3], "0", "5", "0", "30", "-30", "0"),
            catalogue);
    const run_result at_1950 =
        run(&full_style,
            query("1950", north[0], north[1], north[2], north[3], "0", "5", "0", "30", "-30", "0"),
            catalogue);
    expect_page(at_2000, "epoch_2000.html");
    expect_page(at_1950, "epoch_1950.html");
    EXPECT_NE(as_lf(*at_2000.page).find("\nN2000\n"), std::string::npos);
    EXPECT_EQ(as_lf(*at_2000.page).find("\nN1950\n"), std::string::npos);
    EXPECT_NE(as_lf(*at_1950.page).find("\nN1950\n"), std::string::npos);
    EXPECT_EQ(as_lf(*at_1950.page).find("\nN2000\n"), std::string::npos);
}

TEST(Page, ExistingPageIsReplacedWhole)
{
    e2e_case c;
    c.write("style.var", full_style);
    c.write("query.frm", pass_all);
    c.write("quasar_list.dat", edge_catalogue);
    c.write("results.html", std::string(1000000, 'x'));
    const run_result r = c.run();
    EXPECT_EQ(r.console, page_created);
    expect_page(r, "edge_values.html");
    EXPECT_EQ(temporary_files(c), 0);
}

TEST(Page, PageThatCannotBeWrittenIsAFailureAndTheOldPageStays)
{
    e2e_case c;
    c.write("style.var", full_style);
    c.write("query.frm", pass_all);
    c.write("quasar_list.dat", edge_catalogue);
    c.write("results.html", "previous page\n");
    if (program_has_runner())
        GTEST_SKIP() << "the file size limit does not reach a program under a runner";
    // A file size limit of 4 KiB stops the page part way; its signal is
    // ignored, so that the write fails instead.
    const run_result r = c.tarnvel().before("ulimit -f 4; trap '' XFSZ; ").run();
    EXPECT_EQ(r.console, creation_failed);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.page, std::string("previous page\n"));
    EXPECT_EQ(temporary_files(c), 0);
}

TEST(Page, ExistingPageThatIsADirectoryIsReportedAndLeftAlone)
{
    e2e_case c;
    c.write("query.frm", pass_all);
    c.write("quasar_list.dat", "$$\n");
    std::filesystem::create_directory(c.directory() / "results.html");
    const run_result r = c.run();
    EXPECT_EQ(r.console, std::string(no_style_file) + creation_failed);
    EXPECT_TRUE(std::filesystem::is_directory(c.directory() / "results.html"));
    EXPECT_EQ(temporary_files(c), 0);
}

TEST(Page, ReadOnlyPageIsReportedAndLeftAlone)
{
    e2e_case c;
    c.write("query.frm", pass_all);
    c.write("quasar_list.dat", "$$\n");
    c.write("results.html", "previous page\n");
    c.make_read_only("results.html");
    const std::optional<run_result> r = c.run_unprivileged();
    if (!r)
        GTEST_SKIP() << "no unprivileged user to run as here: permissions would not apply";
    EXPECT_EQ(r->console, std::string(no_style_file) + creation_failed);
    EXPECT_EQ(r->page, std::string("previous page\n"));
    EXPECT_EQ(temporary_files(c), 0);
}

TEST(Page, LineEndsOfThePlatform)
{
    e2e_case c;
    c.copy_demo_inputs();
    const run_result r = c.run();
    ASSERT_TRUE(r.page.has_value());
    std::size_t line_feeds = 0;
    std::size_t crlf = 0;
    for (std::size_t i = 0; i < r.page->size(); ++i) {
        if ((*r.page)[i] != '\n')
            continue;
        ++line_feeds;
        crlf += i > 0 && (*r.page)[i - 1] == '\r';
    }
    EXPECT_GT(line_feeds, 100u);
    if (page_has_crlf())
        EXPECT_EQ(crlf, line_feeds) << "the Windows page ends every line with CRLF";
    else
        EXPECT_EQ(r.page->find('\r'), std::string::npos) << "the page ends its lines with LF";
}

TEST(Page, WorkingDirectoryThatCannotBeWrittenIsAFailure)
{
    e2e_case c;
    c.write("query.frm", pass_all);
    c.write("quasar_list.dat", "$$\n");
    const std::optional<run_result> r = c.run_unprivileged(false);
    if (!r)
        GTEST_SKIP() << "no unprivileged user to run as here: permissions would not apply";
    EXPECT_EQ(r->console, std::string(no_style_file) + creation_failed);
    EXPECT_EQ(r->exit_status, 0);
    EXPECT_FALSE(r->page.has_value());
}

} // namespace tarnvel
