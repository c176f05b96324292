// Runs that meet hostile files, busy sites and failing resources: a link or
// FIFO where the temporary page used to go, runs at once in one directory,
// closed standard streams, read-only inputs, a catalogue that cannot be
// read, a memory limit, a console nobody reads and a signal part way through
// the page. Each test is named after the fault it pins.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace fs = std::filesystem;

TEST(Failure, LinkHardLinkOrFifoAtTheOldTemporaryNameIsNeverWrittenThrough)
{
    for (const char* kind : {"symbolic link", "hard link", "dangling link", "fifo"}) {
        e2e_case c;
        c.copy_demo_inputs();
        const fs::path victim = c.directory().parent_path() / "victim";
        c.write("../victim", "PRECIOUS\n");
        const fs::path planted = c.directory() / "results.html.tmp";
        const std::string name = kind;
        if (name == "symbolic link")
            fs::create_symlink(victim, planted);
        else if (name == "hard link")
            fs::create_hard_link(victim, planted);
        else if (name == "dangling link")
            fs::create_symlink(c.directory().parent_path() / "created-by-the-run", planted);
        else
            ASSERT_EQ(mkfifo(planted.c_str(), 0644), 0);
        const run_result r = c.tarnvel().through({"timeout", "60"}).run();
        EXPECT_EQ(r.console, page_created) << kind;
        EXPECT_EQ(read_file(victim), std::string("PRECIOUS\n")) << kind;
        EXPECT_FALSE(fs::exists(c.directory().parent_path() / "created-by-the-run")) << kind;
        EXPECT_FALSE(fs::is_symlink(c.directory() / "results.html")) << kind;
        EXPECT_EQ(r.page, expected_page("demo.html")) << kind;
        EXPECT_EQ(temporary_files(c), 1) << kind << ": the planted file stays as it was, alone";
    }
}

TEST(Failure, PageTakesTheBitsOfANewFileOrOfThePageItReplacesAndTheRunnersOwnership)
{
    SKIP_UNDER_RUNNER();
    e2e_case c;
    c.copy_demo_inputs();
    // Another account's stale temporary page, open to everyone.
    c.write("results.html.tmp", "stale\n");
    fs::permissions(c.directory() / "results.html.tmp", fs::perms::all);
    if (geteuid() == 0) {
        ASSERT_EQ(chown((c.directory() / "results.html.tmp").c_str(), 65534, 65534), 0);
    }
    const run_result fresh = c.tarnvel().before("umask 027; ").run();
    EXPECT_EQ(fresh.console, page_created);
    struct stat page;
    ASSERT_EQ(stat((c.directory() / "results.html").c_str(), &page), 0);
    EXPECT_EQ(page.st_mode & 0777, 0640u) << "0666 less the umask";
    EXPECT_EQ(page.st_uid, geteuid());

    ASSERT_EQ(chmod((c.directory() / "results.html").c_str(), 0604), 0);
    c.tarnvel().before("umask 077; ").run();
    ASSERT_EQ(stat((c.directory() / "results.html").c_str(), &page), 0);
    EXPECT_EQ(page.st_mode & 0777, 0604u) << "the replaced page's bits";
}

TEST(Failure, ConcurrentRunsInOneDirectoryEachPublishAWholePage)
{
    e2e_case c;
    c.write("query.frm", query_form(everything()));
    c.write("style.var", demo_style());
    c.write("quasar_list.dat", generated_catalogue(20000));
    const run_result alone = c.run();
    ASSERT_EQ(alone.console, page_created);
    // The console as the program wrote it to a file of its own.
    const std::string console =
        page_has_crlf() ? "\r\nFile results.html has been created successfully\r\n" : page_created;
    ASSERT_TRUE(alone.page.has_value());
    for (int trial = 0; trial < 8; ++trial) {
        std::vector<std::thread> runs;
        std::vector<run_result> results(3);
        for (std::size_t i = 0; i < results.size(); ++i)
            runs.emplace_back([&, i] {
                results[i] =
                    c.tarnvel().streams("</dev/null >stdout." + std::to_string(i) + " 2>&1").run();
            });
        for (std::thread& t : runs)
            t.join();
        for (std::size_t i = 0; i < results.size(); ++i)
            EXPECT_EQ(read_file(c.directory() / ("stdout." + std::to_string(i))), console)
                << "trial " << trial;
        EXPECT_TRUE(results[0].page == alone.page) << "trial " << trial << ": a mixed or cut page";
        EXPECT_EQ(temporary_files(c), 0);
    }
}

TEST(Failure, ClosedStandardStreamsNeverTakeTheCatalogueOrThePage)
{
    SKIP_UNDER_RUNNER();
    // No style file, and entries whose second field runs past the skip's
    // limit (one field short, so that the next entry starts in step): many
    // kilobytes of console text while the catalogue is open.
    std::string catalogue;
    for (int i = 0; i < 400; ++i)
        catalogue += catalogue_entry(
            "Q " + std::to_string(i),
            "12" + std::string(1001, 'x') + "$3$4$5$6$7$8$9$10$11$12$13$14$15", "J");
    catalogue += "$\n";
    for (const char* streams : {"<&- >&- 2>&-", "</dev/null >&- 2>/dev/null", "<&- >/dev/null"}) {
        e2e_case c;
        c.write("query.frm", query_form(everything()));
        c.write("quasar_list.dat", catalogue);
        const run_result r = c.tarnvel().streams(streams).run();
        EXPECT_EQ(read_file(c.directory() / "quasar_list.dat"), catalogue)
            << streams << ": the catalogue took the console's text";
        ASSERT_TRUE(r.page.has_value()) << streams;
        EXPECT_EQ(as_lf(*r.page).rfind("<html>\n", 0), 0u)
            << streams << ": the page took the console's text";
        EXPECT_EQ(r.exit_status, 0) << streams;
    }
}

TEST(Failure, ReadOnlyInputsAreRead)
{
    e2e_case c;
    c.copy_demo_inputs();
    for (const char* name : {"style.var", "query.frm", "quasar_list.dat"})
        c.make_read_only(name);
    const std::optional<run_result> r = c.run_unprivileged();
    if (!r)
        GTEST_SKIP() << "no unprivileged user to run as here: permissions would not apply";
    EXPECT_EQ(r->console, page_created);
    EXPECT_EQ(r->page, expected_page("demo.html"));
}

TEST(Failure, CatalogueThatCannotBeReadKeepsTheLastGoodPage)
{
    for (const bool as_directory : {false, true}) {
        e2e_case c;
        c.copy(examples_dir() / "query.frm", "query.frm");
        c.write("results.html", "last good page\n");
        if (as_directory)
            fs::create_directory(c.directory() / "quasar_list.dat");
        const run_result r = c.run();
        EXPECT_EQ(r.console, std::string(no_style_file) + "error open file quasar_list.dat\n" +
                                 page_not_created);
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(r.page, std::string("last good page\n"));
    }
}

TEST(Failure, FirstNameCutByTheEndOfInputIsNoEntry)
{
    std::string without_closing_line = read_file(examples_dir() / "quasar_list.dat").value_or("");
    without_closing_line.replace(without_closing_line.rfind("$\n"), 2, "END\n");
    for (const std::string& catalogue : {std::string("$\n"), without_closing_line}) {
        e2e_case c;
        c.write("query.frm", query_form(everything()));
        c.write("quasar_list.dat", catalogue);
        const run_result r = c.run();
        EXPECT_EQ(r.console, std::string(no_style_file) + page_created);
        const std::string page = as_lf(r.page.value_or(""));
        const std::string total = catalogue.size() < 3 ? "1 " : "32";
        EXPECT_NE(page.find("Total number of records is " + total), std::string::npos) << page;
    }
}

TEST(Failure, MemoryLimitEndsTheRunWithAMessageNotAnAbort)
{
    SKIP_UNDER_RUNNER();
    if (sanitized_build())
        GTEST_SKIP() << "a sanitizer's shadow memory does not fit a memory limit";
    e2e_case c;
    c.write("query.frm", query_form(everything()));
    c.write("style.var", demo_style());
    c.write("quasar_list.dat", generated_catalogue(30000));
    // From limits at which the program cannot even be loaded, through each
    // allocation that can fail, to a limit at which the run succeeds.
    int memory_messages = 0;
    bool succeeded = false;
    for (int limit_kib = 2000; limit_kib <= 200000 && !succeeded; limit_kib += limit_kib / 16) {
        const run_result r =
            c.tarnvel().before("ulimit -v " + std::to_string(limit_kib) + "; ").run();
        if (r.exit_status == 127 && r.console.empty())
            continue; // the loader found no room for the program
        EXPECT_EQ(r.exit_status, 0) << limit_kib << " KiB: " << r.console << r.errors;
        const bool no_page = r.console.size() >= sizeof page_not_created - 1 &&
                             r.console.compare(r.console.size() - (sizeof page_not_created - 1),
                                               std::string::npos, page_not_created) == 0;
        succeeded = r.console == std::string("") + page_created;
        EXPECT_TRUE(no_page || succeeded) << limit_kib << " KiB: " << r.console;
        memory_messages += r.console.find("not enough memory") != std::string::npos;
    }
    EXPECT_TRUE(succeeded);
    EXPECT_GT(memory_messages, 0);
}

TEST(Failure, ConsoleNobodyReadsDoesNotStopThePage)
{
    SKIP_UNDER_RUNNER();
    e2e_case c;
    c.copy_demo_inputs();
    c.write("results.html", "last page\n");
    // The program starts after the pipe's reader has gone.
    const run_result r = c.tarnvel()
                             .before("{ sleep 0.5; ")
                             .streams("</dev/null 2>/dev/null; echo $? >code; } | true")
                             .run();
    EXPECT_EQ(read_file(c.directory() / "code"), std::string("0\n"));
    EXPECT_EQ(r.page, expected_page("demo.html"));
}

TEST(Failure, SignalPartWayThroughThePageLeavesNoTemporaryFile)
{
    SKIP_UNDER_RUNNER();
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        e2e_case c;
        c.write("query.frm", query_form(everything()));
        c.write("quasar_list.dat", generated_catalogue(200000));
        c.write("results.html", "last page\n");
        bool caught_mid_page = false;
        for (int attempt = 0; attempt < 10 && !caught_mid_page; ++attempt) {
            const pid_t child = start_program(c);
            ASSERT_GT(child, 0);
            // Wait for the temporary page to appear, then signal at once.
            const bool mid_page = await_temporary_page(c, child);
            kill(child, signal_number);
            int status = 0;
            waitpid(child, &status, 0);
            if (!mid_page || !WIFSIGNALED(status))
                continue; // finished first, or not yet in the page: try again
            caught_mid_page = true;
            EXPECT_EQ(WTERMSIG(status), signal_number) << "the signal ends the run as it would";
            EXPECT_EQ(temporary_files(c), 0) << "signal " << signal_number;
            EXPECT_EQ(read_file(c.directory() / "results.html"), std::string("last page\n"));
        }
        EXPECT_TRUE(caught_mid_page) << "signal " << signal_number << " never met the page";
    }
}

} // namespace tarnvel
