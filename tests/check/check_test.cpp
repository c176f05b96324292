// tarnvel-check: every case directory of tests/check/cases checked and
// compared whole with its expected output and exit status; the demo, the
// real catalogues, a missing catalogue; and the checker's reading of the
// catalogue against the program's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "input/catalogue_entries.h"
#include "input/catalogue_parts.h"
#include "support/e2e.h"
#include "support/forms.h"
#include "support/reader_test.h"
#include "support/record_text.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// Copies the files of `from` into the working directory of `c`.
void copy_all(const e2e_case& c, const fs::path& from)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(from))
        c.copy(entry.path(), entry.path().filename().string());
}

// The last line of a text.
std::string last_line(const std::string& text)
{
    const std::size_t end = text.size() > 0 ? text.size() - 1 : 0;
    const std::size_t start = text.rfind('\n', end > 0 ? end - 1 : 0);
    return text.substr(start == std::string::npos ? 0 : start + 1);
}

} // namespace

TEST(Check, CaseDirectoriesGiveTheirExpectedFindings)
{
    int cases = 0;
    for (const fs::directory_entry& dir : fs::directory_iterator(TARNVEL_CHECK_CASES_DIR)) {
        ++cases;
        e2e_case c;
        copy_all(c, dir.path());
        for (const char* kept : {"expected.txt", "status"})
            fs::remove(c.directory() / kept);
        const run_result r = c.check().run();
        const std::string name = dir.path().filename().string();
        EXPECT_EQ(r.console, read_file(dir.path() / "expected.txt").value_or("(none)")) << name;
        EXPECT_EQ(std::to_string(r.exit_status) + "\n",
                  read_file(dir.path() / "status").value_or("(none)"))
            << name;
        EXPECT_EQ(r.errors, "") << name;
    }
    EXPECT_GT(cases, 0);
}

TEST(Check, DemoDirectoryGivesNoFinding)
{
    e2e_case c;
    c.copy_demo_inputs();
    fs::create_directory(c.directory() / "demo");
    for (const char* name : {"style.var", "query.frm", "quasar_list.dat"})
        c.copy(examples_dir() / name, std::string("demo/") + name);
    const std::string clean = "quasar_list.dat: 32 entries, 0 errors, 0 warnings, 0 notes\n"
                              "query.frm: 0 errors, 0 warnings, 0 notes\n"
                              "style.var: 0 errors, 0 warnings, 0 notes\n";
    for (const char* directory : {"", "demo"}) {
        test_command check = c.check();
        if (*directory != '\0')
            check.arg(directory);
        const run_result r = check.run();
        EXPECT_EQ(r.console, clean) << directory;
        EXPECT_EQ(r.exit_status, 0) << directory;
    }
    EXPECT_FALSE(fs::exists(c.directory() / "results.html")) << "the checker writes no file";
}

TEST(Check, UnreadableCatalogueOrQueryIsStatus2)
{
    for (const char* missing : {"quasar_list.dat", "query.frm"}) {
        e2e_case c;
        c.copy_demo_inputs();
        fs::remove(c.directory() / missing);
        const run_result r = c.check().run();
        EXPECT_EQ(r.exit_status, 2) << missing;
        EXPECT_NE(r.console.find(std::string(missing) + ": error: cannot be read"),
                  std::string::npos)
            << r.console;
    }
}

TEST(Check, HelpAndVersion)
{
    e2e_case c;
    EXPECT_EQ(c.check().arg("--version").run().console, "tarnvel-check " TARNVEL_VERSION "\n");
    const run_result help = c.check().arg("--help").run();
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.console.rfind("Usage: tarnvel-check [DIRECTORY]\n", 0), 0u) << help.console;
    EXPECT_NE(help.console.find("man tarnvel-check"), std::string::npos);
    EXPECT_NE(help.console.find("Checking the input files"), std::string::npos);
    EXPECT_EQ(c.check().arg("one").arg("two").run().exit_status, 2);
}

TEST(Check, RealCatalogues)
{
    // Sound catalogues pass: no error and no warning, exit status 0. What
    // they repeat is only noted (Hewitt & Burbidge lists some objects twice
    // or more at one position, under one pair of names).
    const struct {
        const char* file;
        const char* summary;
    } catalogues[] = {
        {"hewitt_burbidge_1993.dat",
         "quasar_list.dat: 7236 entries, 0 errors, 0 warnings, 60 notes\n"},
        {"twodf_qso.dat", "quasar_list.dat: 22431 entries, 0 errors, 0 warnings, 0 notes\n"},
    };
    for (const auto& catalogue : catalogues) {
        const fs::path path = shared_data_dir() / catalogue.file;
        if (!fs::exists(path))
            GTEST_SKIP() << path << " is not at hand (a clone has no ../shared)";
        e2e_case c;
        c.copy_demo_inputs();
        c.copy(path, "quasar_list.dat");
        const run_result r = c.check().run();
        EXPECT_EQ(r.exit_status, 0) << catalogue.file;
        EXPECT_NE(r.console.find(catalogue.summary), std::string::npos) << catalogue.file << "\n"
                                                                        << last_line(r.console);
    }
}

// The entry reader noting where each field lies reads what it reads
// without: the checker's reading is the program's.
class CheckReading : public reader_test {};

TEST_F(CheckReading, SpansChangeNothingThatIsRead)
{
    const std::string catalogues[] = {
        generated_catalogue(300),
        read_file(examples_dir() / "quasar_list.dat").value_or(""),
        read_file(fs::path(TARNVEL_CHECK_CASES_DIR) / "planted" / "quasar_list.dat").value_or(""),
        read_file(fs::path(TARNVEL_CHECK_CASES_DIR) / "unclosed" / "quasar_list.dat").value_or(""),
        "Q 1$1 2$ 3x$4$5$6$7$8$9$10$11$12$13$14$" + std::string(1200, 'y') + "$15$J$\n$\n",
    };
    for (const std::string& catalogue : catalogues) {
        reset_run_state();
        catalogue_console(catalogue);
        const std::string expected = catalogue_list_text();
        // The same entries, read one by one with spans into a list of the
        // test's own.
        scan_stream stream(catalogue.data(), catalogue.size());
        std::string seen;
        string name;
        entry_spans spans;
        int lost = 0;
        bool head = true;
        for (first_name_read got;
             (got = read_first_name(stream, name, &spans.names[0])) != first_name_read::cut;
             head = false) {
            if (got == first_name_read::empty) {
                if (!head)
                    break;
                continue;
            }
            reset_catalogue_state();
            DB_First.name_I = name;
            read_entry_rest(stream, DB_First, lost, &spans);
            seen += catalogue_list_text();
            EXPECT_LT(spans.names[0].end, spans.numbers[0].field);
            for (int f = 0; f < entry_number_fields; ++f)
                EXPECT_LE(spans.numbers[f].field, spans.numbers[f].start);
        }
        EXPECT_EQ(seen, expected);
    }
}

} // namespace tarnvel
