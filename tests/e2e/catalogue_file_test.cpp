// The catalogue as one file for the whole run, whatever the file is and
// whatever happens to its name: replaced during the run, a FIFO, text behind
// the closing line. Each test is named after the fault it pins.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <sys/stat.h>

#include "model/record.h"
#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// Runs the program in `c` and returns what it printed and the most memory
// it used, in KiB.
std::pair<run_result, long> run_measured(const e2e_case& c)
{
    const run_result r = c.tarnvel().through({TARNVEL_PEAK_MEMORY}).run();
    return {r, peak_kib(r)};
}

} // namespace

TEST(CatalogueFile, CatalogueReplacedDuringARunIsAnsweredFromTheFileThatWasOpened)
{
    SKIP_UNDER_RUNNER();
    const std::string old_catalogue = generated_catalogue(30000); // a few MB: read in parts
    e2e_case alone;
    alone.write("query.frm", query_form(everything()));
    alone.write("quasar_list.dat", old_catalogue);
    const run_result expected = alone.run();
    ASSERT_EQ(expected.console, std::string(no_style_file) + page_created);

    // Right after the program opens the catalogue, another one is renamed
    // over its name: the answer must be the opened file's, whole.
    e2e_case c;
    c.write("query.frm", query_form(everything()));
    c.write("quasar_list.dat", old_catalogue);
    c.write("quasar_list.next", generated_catalogue(20000) + generated_catalogue(20000));
    const run_result r = c.tarnvel()
                             .env("LD_PRELOAD", TARNVEL_TEST_SHIM)
                             .env("ASAN_OPTIONS", "verify_asan_link_order=0")
                             .run();
    ASSERT_FALSE(fs::exists(c.directory() / "quasar_list.next")) << "the shim did not replace it";
    EXPECT_EQ(r.console, expected.console);
    const auto total = [](const std::optional<std::string>& page) {
        const std::size_t at = page.value_or("").find("Total number of records is");
        return at == std::string::npos ? std::string("none") : page->substr(at, 34);
    };
    EXPECT_EQ(total(r.page), total(expected.page));
    EXPECT_TRUE(r.page == expected.page) << "a page of another catalogue, or of a mixture";
}

TEST(CatalogueFile, ShortFifoCatalogueDoesNotHang)
{
    SKIP_UNDER_RUNNER();
    e2e_case c;
    c.copy(examples_dir() / "style.var", "style.var");
    c.copy(examples_dir() / "query.frm", "query.frm");
    ASSERT_EQ(mkfifo((c.directory() / "quasar_list.dat").c_str(), 0600), 0);
    // The writer fills the FIFO and goes; the program must read what came.
    const run_result r =
        c.tarnvel()
            .before("cat " + shell_quoted((examples_dir() / "quasar_list.dat").string()) +
                    " >quasar_list.dat & ")
            .through({"timeout", "60"})
            .run();
    EXPECT_EQ(r.exit_status, 0) << "124: it hung";
    EXPECT_EQ(r.console, page_created);
    EXPECT_EQ(r.page, expected_page("demo.html"));
}

TEST(CatalogueFile, TextAfterTheClosingLineIsNotParsed)
{
    SKIP_UNDER_RUNNER();
    if (sanitized_build())
        GTEST_SKIP() << "a sanitizer's shadow memory grows with every byte read ahead";
    const std::string demo = read_file(examples_dir() / "quasar_list.dat").value_or("");
    e2e_case plain;
    plain.copy_demo_inputs();
    const auto [without, plain_kib] = run_measured(plain);
    ASSERT_GT(plain_kib, 0);

    // 20 MB of entries behind the closing line: reading them would cost
    // tens of megabytes of records; a look ahead costs a buffer.
    std::string behind;
    while (behind.size() < 20000000)
        behind += generated_catalogue(10000).substr(0, 1000000);
    e2e_case c;
    c.copy_demo_inputs();
    c.write("quasar_list.dat", demo + behind);
    const auto [with, kib] = run_measured(c);
    EXPECT_EQ(with.console, without.console);
    EXPECT_EQ(with.page, without.page);
    // A tenth more, and the look-ahead: each core may have begun a part
    // (a mebibyte of text or more) before the closing line was met, whose
    // buffer and selected records stay below a mebibyte; all 20 MB would
    // cost tens of megabytes. (With libc++ the look-ahead came to 0.6 MB.)
    EXPECT_LE(kib, plain_kib + plain_kib / 10 + 1024)
        << "the text behind the closing line was read into memory";
}

TEST(CatalogueFile, MemoryFollowsTheAnswerNotTheCatalogue)
{
    SKIP_UNDER_RUNNER();
    if (sanitized_build())
        GTEST_SKIP() << "a sanitizer's shadow memory grows with every byte read";
    // 300,000 entries: 110 MB as records of every entry, about 1 MB as the
    // records of the one in 120 that the query selects.
    constexpr int entries = 300000;
    e2e_case c;
    c.write("query.frm", query_form(one_percent()));
    c.write("quasar_list.dat", generated_catalogue(entries));
    const auto [r, kib] = run_measured(c);
    EXPECT_EQ(r.console, std::string(no_style_file) + page_created);
    EXPECT_NE(r.page.value_or("").find("Total number of records is 300000"), std::string::npos);
    const long records_kib = long{entries} * long{sizeof(record)} / 1024;
    EXPECT_GT(kib, 0);
    EXPECT_LT(kib, records_kib / 4) << "records of entries the query does not select were kept";
}

} // namespace tarnvel
