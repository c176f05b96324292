// The page's publication: what reaches the page's readers, and when. A page
// too large for the file-size limit, the temporary page's permission bits
// while it is written, the group and owner of the page it replaces, and a
// page that is a symbolic link, and the group a new file takes from its
// directory. Each test is named after the fault it pins.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"
#include "system/platform_limits.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

const std::string creation_failed =
    std::string("error of creation of results.html\n") + page_not_created;

struct stat status_of(const fs::path& path)
{
    struct stat status = {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

#define SKIP_UNLESS_ROOT()                                                                         \
    if (geteuid() != 0)                                                                            \
    GTEST_SKIP() << "only root may give files to other users and groups here"

} // namespace

TEST(Publication, FileSizeLimitIsAFailedWriteNotAnAbort)
{
    SKIP_UNDER_RUNNER();
    e2e_case c;
    c.copy_demo_inputs();
    c.write("results.html", "last page\n");
    const run_result r = c.tarnvel().before("ulimit -f 4; ").run(); // 4 KiB: less than the page
    EXPECT_EQ(r.exit_status, 0) << "153: ended by SIGXFSZ";
    EXPECT_EQ(r.console, creation_failed);
    EXPECT_EQ(r.page, std::string("last page\n"));
    EXPECT_EQ(temporary_files(c), 0);
}

TEST(Publication, TemporaryPageIsOpenToItsOwnerAloneUntilItIsComplete)
{
    SKIP_UNDER_RUNNER();
    e2e_case c;
    c.write("query.frm", query_form(everything()));
    c.write("quasar_list.dat", generated_catalogue(200000));
    const mode_t previous_mask = umask(022);
    bool seen = false;
    for (int attempt = 0; attempt < 10 && !seen; ++attempt) {
        const pid_t child = start_program(c);
        ASSERT_GT(child, 0);
        if (await_temporary_page(c, child)) {
            kill(child, SIGSTOP); // the page is still being written
            for (const fs::directory_entry& entry : fs::directory_iterator(c.directory())) {
                if (entry.path().filename().string().rfind("results.html.tmp", 0) != 0)
                    continue;
                seen = true;
                EXPECT_EQ(status_of(entry.path()).st_mode & 0777, 0600u)
                    << "another account could open the unfinished page";
            }
            kill(child, SIGCONT);
        }
        waitpid(child, nullptr, 0);
    }
    umask(previous_mask);
    EXPECT_TRUE(seen) << "the temporary page was never seen";
    EXPECT_EQ(status_of(c.directory() / "results.html").st_mode & 0777, 0644u)
        << "the finished page has the bits of a new file";
}

TEST(Publication, PageKeepsTheGroupAndOwnerOfThePageItReplaces)
{
    SKIP_UNDER_RUNNER();
    SKIP_UNLESS_ROOT();
    constexpr gid_t web_group = 4242; // no account of this machine is in it
    constexpr uid_t nobody = 65534;
    e2e_case c;
    c.copy_demo_inputs();
    c.write("results.html", "last page\n");
    const fs::path page = c.directory() / "results.html";
    ASSERT_EQ(chown(page.c_str(), nobody, web_group), 0);
    ASSERT_EQ(chmod(page.c_str(), 0640), 0);
    EXPECT_EQ(c.run().console, page_created);
    struct stat status = status_of(page);
    EXPECT_EQ(status.st_gid, web_group) << "the web server reading through its group lost the page";
    EXPECT_EQ(status.st_uid, nobody);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    // An account outside the page's group cannot keep it: the page's group
    // then gets no more than everyone.
    ASSERT_EQ(chmod(page.c_str(), 0640), 0);
    const std::optional<run_result> r = c.run_unprivileged();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->console, page_created);
    status = status_of(page);
    EXPECT_NE(status.st_gid, web_group);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "a group the old page did not trust can read it";
}

TEST(Publication, PageThatIsALinkIsReplacedAtItsTargetAndStaysALink)
{
    SKIP_UNDER_RUNNER();
    for (const bool dangling : {false, true}) {
        e2e_case c;
        c.copy_demo_inputs();
        const fs::path web_root = c.directory().parent_path() / "www";
        fs::create_directories(web_root);
        if (!dangling)
            c.write("../www/results.html", "stale page\n");
        fs::create_symlink("../www/results.html", c.directory() / "results.html");
        const run_result r = c.run();
        EXPECT_EQ(r.console, page_created) << dangling;
        EXPECT_TRUE(fs::is_symlink(c.directory() / "results.html")) << dangling;
        EXPECT_EQ(read_file(web_root / "results.html"), expected_page("demo.html")) << dangling;
        EXPECT_EQ(temporary_files(c), 0);
        for (const fs::directory_entry& entry : fs::directory_iterator(web_root))
            EXPECT_EQ(entry.path().filename(), "results.html") << "a temporary page stayed";
    }
}

TEST(Publication, LinkChainUpToTheSystemLimitIsFollowedAndNoLonger)
{
    SKIP_UNDER_RUNNER();
    // results.html -> link.1 -> ... -> link.<n> -> target.html, for n + 1
    // links in all: max_symbolic_links of them are followed, one more is
    // refused.
    for (const int links : {max_symbolic_links, max_symbolic_links + 1}) {
        e2e_case c;
        c.copy_demo_inputs();
        std::string from = "results.html";
        for (int n = 1; n < links; ++n) {
            const std::string to = "link." + std::to_string(n);
            fs::create_symlink(to, c.directory() / from);
            from = to;
        }
        fs::create_symlink("target.html", c.directory() / from);
        const run_result r = c.run();
        const bool followed = links <= max_symbolic_links;
        EXPECT_EQ(r.console, followed ? page_created : creation_failed) << links;
        EXPECT_EQ(fs::exists(c.directory() / "target.html"), followed) << links;
    }
}

TEST(Publication, LinkOfAnotherAccountInAnOpenStickyDirectoryOrALoopIsRefused)
{
    SKIP_UNDER_RUNNER();
    // A loop.
    e2e_case loop;
    loop.copy_demo_inputs();
    fs::create_symlink("other.html", loop.directory() / "results.html");
    fs::create_symlink("results.html", loop.directory() / "other.html");
    EXPECT_EQ(loop.run().console, creation_failed);

    // Another account's link in a sticky directory that everyone may write.
    SKIP_UNLESS_ROOT();
    e2e_case c;
    c.copy_demo_inputs();
    c.write("../victim.html", "precious\n");
    fs::create_symlink("../victim.html", c.directory() / "results.html");
    ASSERT_EQ(lchown((c.directory() / "results.html").c_str(), 65534, 65534), 0);
    fs::permissions(c.directory(), fs::perms::all | fs::perms::sticky_bit);
    const run_result r = c.run();
    EXPECT_EQ(r.console, creation_failed);
    EXPECT_EQ(read_file(c.directory().parent_path() / "victim.html"), std::string("precious\n"));
    EXPECT_TRUE(fs::is_symlink(c.directory() / "results.html"));
}

TEST(Publication, GroupRulesHoldWhereANewFileTakesItsDirectorysGroup)
{
    SKIP_UNDER_RUNNER();
    SKIP_UNLESS_ROOT();
    // The page is a link into www/, a setgid directory: a file made there
    // begins with the directory's group, as every file does on FreeBSD. The
    // run is nobody's, in no group but its own.
    constexpr gid_t page_group = 4242;
    constexpr gid_t other_group = 4244;
    constexpr uid_t nobody = 65534;
    struct {
        gid_t directory_group;
        bool old_page;
        gid_t expected_group;
        mode_t expected_bits; // 0: not looked at
    } const cases[] = {
        // The directory's group is the old page's: the group stays, its bits too.
        {page_group, true, page_group, 0640},
        // Another group than the old page's, which nobody may not give: the
        // group may read no more than everyone.
        {other_group, true, other_group, 0600},
        // A new page: what a new file gets there.
        {other_group, false, other_group, 0},
    };
    for (const auto& one : cases) {
        e2e_case c;
        c.copy_demo_inputs();
        const fs::path web_root = c.directory() / "www";
        fs::create_directories(web_root);
        ASSERT_EQ(chown(web_root.c_str(), 0, one.directory_group), 0);
        ASSERT_EQ(chmod(web_root.c_str(), 02777), 0);
        const fs::path page = web_root / "results.html";
        if (one.old_page) {
            c.write("www/results.html", "last page\n");
            ASSERT_EQ(chown(page.c_str(), nobody, page_group), 0);
            ASSERT_EQ(chmod(page.c_str(), 0640), 0);
        }
        fs::create_symlink("www/results.html", c.directory() / "results.html");
        const std::optional<run_result> r = c.run_unprivileged(false);
        if (!r.has_value())
            GTEST_SKIP() << "no way to run as another account here (setpriv)";
        ASSERT_EQ(status_of(web_root).st_mode & 07777, 02777u) << "the directory was changed";
        EXPECT_EQ(r->console, page_created) << one.directory_group;
        const struct stat status = status_of(page);
        EXPECT_EQ(status.st_gid, one.expected_group) << one.directory_group;
        if (one.expected_bits != 0) {
            EXPECT_EQ(status.st_mode & 0777, one.expected_bits)
                << one.directory_group << ": a group the old page did not trust can read it";
        }
    }
}

} // namespace tarnvel
