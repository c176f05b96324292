// tarnvel-cgi run as a web server runs it, once per request, without a
// server: the form page, the answer (tarnvel's own page, byte for byte),
// the refusals, the limits of size, time and runs at once, the settings,
// and a spool left as it was found.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/e2e.h"
#include "support/forms.h"
#include "support/xml_check.h"

extern char** environ;

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// True while the process `pid` runs (a zombie nobody reaps has ended).
bool runs(pid_t pid)
{
    if (kill(pid, 0) != 0)
        return false;
    const std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat").value_or("");
    const std::size_t close = stat.rfind(')');
    return close == std::string::npos || stat.compare(close, 4, ") Z ") != 0;
}

// Waits up to `seconds` for `condition`; tells whether it came true.
template <typename test>
bool within(int seconds, test condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

struct cgi_response {
    int status = 0;
    std::string headers;
    std::string body;
};

cgi_response parse(const run_result& r)
{
    cgi_response response;
    const std::size_t end = r.console.find("\r\n\r\n");
    EXPECT_NE(end, std::string::npos) << r.console << r.errors;
    if (end == std::string::npos)
        return response;
    response.headers = r.console.substr(0, end + 2);
    response.body = r.console.substr(end + 4);
    if (response.headers.rfind("Status: ", 0) == 0)
        response.status = std::stoi(response.headers.substr(8, 3));
    return response;
}

// The demo's query in the form encoding, as a browser sends it.
const char demo_query[] =
    "epoch=2000&ra_min=02%3A30%3A00&ra_max=14%3A00%3A30.5&dec_min=-30%3A00%3A00"
    "&dec_max=%2B45%3A15%3A00&z_min=1.5&z_max=4&v_min=10&v_max=20&m_min=-30"
    "&m_max=-20";

// A site in a case of its own: the demo's catalogue and style, a spool, and
// the settings that name them.
class Cgi : public testing::Test {
protected:
    void SetUp() override
    {
        if (cgi_program_path().empty())
            GTEST_SKIP() << "tarnvel-cgi is built for POSIX systems only";
        if (program_has_runner())
            GTEST_SKIP() << "tarnvel-cgi starts a native tarnvel, not one under a runner";
        site.copy(examples_dir() / "quasar_list.dat", "quasar_list.dat");
        site.copy(examples_dir() / "style.var", "style.var");
        fs::create_directory(spool());
    }

    fs::path spool() const { return site.directory() / "spool"; }

    // The settings, and `more` ("TARNVEL_TIME_LIMIT=1 ...").
    std::string settings(const std::string& more = "") const
    {
        return "TARNVEL_CATALOGUE=" +
               shell_quoted((site.directory() / "quasar_list.dat").string()) +
               " TARNVEL_STYLE=" + shell_quoted((site.directory() / "style.var").string()) +
               " TARNVEL_SPOOL=" + shell_quoted(spool().string()) +
               " TARNVEL_PROGRAM=" + shell_quoted(test_program_path()) +
               " SCRIPT_NAME=/site/query.cgi " + more;
    }

    cgi_response get(const std::string& query, const std::string& more = "") const
    {
        return parse(site.run_cgi(settings(more) +
                                  " REQUEST_METHOD=GET QUERY_STRING=" + shell_quoted(query)));
    }

    // A POST of `body`, announced as `length` bytes (by default its own).
    cgi_response post(const std::string& body, const std::string& length = "") const
    {
        return parse(
            site.run_cgi(settings() +
                             " REQUEST_METHOD=POST CONTENT_TYPE=application/x-www-form-urlencoded"
                             " CONTENT_LENGTH=" +
                             (length.empty() ? std::to_string(body.size()) : length),
                         body));
    }

    // The requests' own directories left in the spool (the slots' lock
    // files and the position index with its lock and, while it is made,
    // its temporary file are the spool's own).
    int left_in_spool() const
    {
        int left = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(spool())) {
            const std::string name = entry.path().filename().string();
            left += name != ".tarnvel-slots" && name.rfind(".tarnvel-index", 0) != 0;
        }
        return left;
    }

    // A program in the site that sleeps instead of answering, and notes its
    // process number in "sleeper.pid".
    std::string sleeper() const
    {
        return program("sleeper", "echo $$ >" +
                                      shell_quoted((site.directory() / "sleeper.pid").string()) +
                                      "\nexec sleep 30\n");
    }

    // A shell script `body` in the site as the program that answers, named
    // `name`: the setting that names it.
    std::string program(const std::string& name, const std::string& body) const
    {
        site.write(name, "#!/bin/sh\n" + body);
        fs::permissions(site.directory() / name, fs::perms::owner_all);
        return "TARNVEL_PROGRAM=" + shell_quoted((site.directory() / name).string());
    }

    // Starts the CGI program for the demo's query with `more` settings, its
    // standard output into `output` (a shell redirection's target), and
    // returns its process number without waiting for it.
    pid_t start_request(const std::string& more, const std::string& output) const
    {
        site.write("request.sh",
                   settings(more) + " REQUEST_METHOD=GET QUERY_STRING=" + shell_quoted(demo_query) +
                       " exec " + shell_quoted(cgi_program_path()) + " >" + output + "\n");
        const std::string script = (site.directory() / "request.sh").string();
        char* const argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>(script.c_str()),
                              nullptr};
        pid_t request = -1;
        EXPECT_EQ(posix_spawn(&request, "/bin/sh", nullptr, nullptr, argv, environ), 0);
        return request;
    }

    // The process number the sleeper noted, once it has.
    pid_t sleeping() const
    {
        const fs::path pid_file = site.directory() / "sleeper.pid";
        while (!fs::exists(pid_file) || read_file(pid_file).value_or("").empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return static_cast<pid_t>(std::stol(*read_file(pid_file)));
    }

    e2e_case site;
};

} // namespace

TEST_F(Cgi, FormPageHoldsTheDefaultQuery)
{
    cgi_response form = get("");
    EXPECT_EQ(form.status, 200);
    EXPECT_NE(form.headers.find("Content-Type: text/html; charset=utf-8\r\n"), std::string::npos);
    EXPECT_EQ(form.body.rfind("<!DOCTYPE html>\n", 0), 0u);
    EXPECT_NE(form.body.find("<form method=\"get\" action=\"query.cgi\">"), std::string::npos);
    EXPECT_NE(form.body.find("name=\"dec_max\" type=\"text\" value=\"+45:15:00\" required"),
              std::string::npos);
    EXPECT_NE(form.body.find("<li><a href=\"introduction.html\">"), std::string::npos);

    // The site's own query form gives the values.
    site.write("site.frm", query_form(everything()));
    form = get("", "TARNVEL_QUERY=" + shell_quoted((site.directory() / "site.frm").string()));
    EXPECT_NE(form.body.find("name=\"dec_min\" type=\"text\" value=\"-90:00:00\""),
              std::string::npos);
    EXPECT_NE(form.body.find("name=\"z_max\" type=\"text\" value=\"1e300\""), std::string::npos);
}

TEST_F(Cgi, AnswerIsTarnvelsOwnPageWhetherAskedWithGetOrPost)
{
    for (const bool with_post : {false, true}) {
        const cgi_response answer = with_post ? post(demo_query) : get(demo_query);
        EXPECT_EQ(answer.status, 200) << answer.body;
        EXPECT_NE(answer.headers.find("Content-Type: text/html\r\n"), std::string::npos)
            << "no character set is claimed for tarnvel's bytes";
        if (site_texts_are_defaults()) {
            EXPECT_TRUE(answer.body == read_file(golden_dir() / "demo.html")) << answer.body;
        }
        EXPECT_EQ(left_in_spool(), 0);
    }
}

TEST_F(Cgi, RefusalsComeBackWithTheForm)
{
    // A value that breaks its grammar: nothing is run.
    cgi_response refused = get(std::string(demo_query) + "x");
    EXPECT_EQ(refused.status, 400);
    EXPECT_NE(refused.body.find("id=\"m_max-fault\""), std::string::npos) << refused.body;
    EXPECT_NE(refused.body.find("value=\"-20x\""), std::string::npos);

    // A query tarnvel refuses: its console lines on the page, escaped.
    std::string backwards = demo_query;
    backwards.replace(backwards.find("ra_max=14"), 9, "ra_max=01");
    refused = get(backwards);
    EXPECT_EQ(refused.status, 400);
    EXPECT_NE(refused.body.find("minimal ascension must be less then maximal ascension\n"
                                "Query input error: file results.html has not been created\n"),
              std::string::npos)
        << refused.body;

    std::string odd_epoch = demo_query;
    odd_epoch.replace(0, 10, "epoch=2001");
    EXPECT_EQ(get(odd_epoch).status, 400);

    // A line end smuggled in the encoding never reaches query.frm.
    const cgi_response smuggled = get("epoch=2000%0AMinimal+right+ascension%3D00%3A00%3A00&" +
                                      std::string(demo_query).substr(11));
    EXPECT_EQ(smuggled.status, 400);
    EXPECT_NE(smuggled.body.find("value=\"2000\nMinimal right ascension=00:00:00\""),
              std::string::npos);
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_F(Cgi, BodyCutShortOrOfNoLengthIsNotAnswered)
{
    // The body ends inside "m_max=-20": run, it would ask for M <= -2.
    const std::string query = demo_query;
    const cgi_response cut = post(query.substr(0, query.size() - 1), std::to_string(query.size()));
    EXPECT_EQ(cut.status, 400);
    EXPECT_NE(cut.body.find("ended before its announced length"), std::string::npos) << cut.body;
    for (const char* length : {"-5", "12abc", "0x40"})
        EXPECT_EQ(post(query, length).status, 400) << length;
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_F(Cgi, LimitsOfSizeMethodTimeAndRunsAtOnce)
{
    EXPECT_EQ(post(std::string(demo_query) + "&pad=" + std::string(17 * 1024, 'x')).status, 413);
    EXPECT_EQ(post(demo_query, "99999999999999999999999").status, 413);
    const cgi_response other = parse(site.run_cgi(settings() + " REQUEST_METHOD=PUT"));
    EXPECT_EQ(other.status, 405);
    EXPECT_NE(other.headers.find("Allow: GET, HEAD, POST\r\n"), std::string::npos);

    // A run that takes too long is stopped.
    const auto start = std::chrono::steady_clock::now();
    const cgi_response slow = get(demo_query, sleeper() + " TARNVEL_TIME_LIMIT=1");
    EXPECT_EQ(slow.status, 504);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(left_in_spool(), 0);

    // One run at a time: the second request is told to come back.
    std::thread first(
        [&] { get(demo_query, sleeper() + " TARNVEL_TIME_LIMIT=3 TARNVEL_MAX_RUNS=1"); });
    while (left_in_spool() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const cgi_response busy = get(demo_query, "TARNVEL_MAX_RUNS=1 TARNVEL_SLOT_WAIT=0");
    first.join();
    EXPECT_EQ(busy.status, 503);
    EXPECT_NE(busy.headers.find("Retry-After: "), std::string::npos);
    EXPECT_EQ(left_in_spool(), 0);
    EXPECT_EQ(get(demo_query, "TARNVEL_MAX_RUNS=1").status, 200) << "the place is free again";
}

TEST_F(Cgi, TerminationDuringARunLeavesNothingBehind)
{
    // The CGI program started by hand, to know whom to end.
    const pid_t request = start_request(sleeper(), "/dev/null");
    const pid_t sleeping_run = sleeping();
    kill(request, SIGTERM);
    int status = 0;
    waitpid(request, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "it ends as it would after its answer";
    EXPECT_EQ(left_in_spool(), 0);
    EXPECT_NE(kill(sleeping_run, 0), 0) << "the run was not stopped";
}

TEST_F(Cgi, SettingsThatAreMissingOrUnusableAreNamed)
{
    const struct {
        const char* environment;
        const char* named;
    } cases[] = {
        {"TARNVEL_CATALOGUE=", "TARNVEL_CATALOGUE is not set"},
        {"TARNVEL_CATALOGUE=/no/such/catalogue", "TARNVEL_CATALOGUE names no file"},
        {"TARNVEL_SPOOL=/no/such/spool", "TARNVEL_SPOOL names no directory"},
        {"TARNVEL_PROGRAM=/no/such/tarnvel", "TARNVEL_PROGRAM names no program"},
        {"TARNVEL_TIME_LIMIT=soon", "TARNVEL_TIME_LIMIT is no whole number"},
        {"TARNVEL_MAX_RUNS=0", "TARNVEL_MAX_RUNS is no whole number"},
    };
    for (const auto& c : cases) {
        const cgi_response response = get(demo_query, c.environment);
        EXPECT_EQ(response.status, 500) << c.environment;
        EXPECT_NE(response.body.find(c.named), std::string::npos) << response.body;
    }
}

// A page of `bytes` bytes, said to be written as tarnvel says it.
std::string big_page_program(long long bytes, const std::string& marker)
{
    return "head -c " + std::to_string(bytes) + " /dev/zero | tr '\\0' x >results.html\ntouch " +
           shell_quoted(marker) +
           "\nprintf '\\nFile results.html has been created successfully\\n'\n";
}

TEST_F(Cgi, SlowReaderHoldsTheSlotAndNeverLetsGo)
{
    // An answer far larger than a pipe holds, to a reader that never reads.
    const std::string marker = (site.directory() / "written").string();
    const std::string fifo = (site.directory() / "unread").string();
    ASSERT_EQ(std::system(("mkfifo " + shell_quoted(fifo)).c_str()), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // never read
    ASSERT_GE(reader, 0);
    const pid_t slow = start_request(program("big", big_page_program(4 << 20, marker)) +
                                         " TARNVEL_MAX_RUNS=1 TARNVEL_SEND_LIMIT=2",
                                     shell_quoted(fifo));
    ASSERT_TRUE(within(20, [&] { return fs::exists(marker); }));
    // The slot is free while the answer waits for its reader.
    const cgi_response other = get(demo_query, "TARNVEL_MAX_RUNS=1 TARNVEL_SLOT_WAIT=3");
    EXPECT_EQ(other.status, 200) << other.body;
    int status = 0;
    EXPECT_TRUE(within(10, [&] { return waitpid(slow, &status, WNOHANG) == slow; }))
        << "a reader that does not read is never dropped";
    close(reader);
    waitpid(slow, &status, 0);
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_F(Cgi, AnswerOverTheSizeLimitIsSentAnyway)
{
    const cgi_response large = get(demo_query, "TARNVEL_MAX_ANSWER=2048");
    EXPECT_EQ(large.status, 422) << large.body;
    EXPECT_NE(large.body.find("larger than 2048 bytes (TARNVEL_MAX_ANSWER)"), std::string::npos)
        << large.body;
    EXPECT_NE(large.body.find("value=\"14:00:30.5\""), std::string::npos) << "the form comes back";
    EXPECT_EQ(left_in_spool(), 0);
    EXPECT_EQ(get(demo_query, "TARNVEL_MAX_ANSWER=67108864").status, 200);
}

// A table was refused only once it had been built whole in memory: a
// full-sky cone of a large catalogue held the whole VOTable first.
TEST_F(Cgi, TableOverTheSizeLimitWasBuiltWholeFirst)
{
    site.write("quasar_list.dat", generated_catalogue(150000));
    const auto measured = [&](const std::string& limit) {
        const run_result r = site.cgi()
                                 .before(settings("TARNVEL_MAX_ANSWER=" + limit) + " ")
                                 .env("REQUEST_METHOD", "GET")
                                 .env("PATH_INFO", "/scs")
                                 .env("QUERY_STRING", "RA=0&DEC=0&SR=180&MAXREC=100000")
                                 .through({TARNVEL_PEAK_MEMORY})
                                 .run();
        EXPECT_GE(peak_kib(r), 0) << r.errors;
        return std::make_pair(parse(r), peak_kib(r));
    };
    const auto [whole, whole_kib] = measured("1099511627776");
    ASSERT_EQ(whole.status, 200);
    ASSERT_GT(whole.body.size(), std::size_t{16} << 20) << "a table of 100,000 rows";
    const auto [refused, refused_kib] = measured("1048576");
    EXPECT_EQ(refused.status, 422);
    EXPECT_NE(refused.body.find("larger than 1048576 bytes (TARNVEL_MAX_ANSWER)"),
              std::string::npos)
        << refused.body;
    EXPECT_LT(refused_kib + 12 * 1024, whole_kib) << "the refused table was built further";
}

TEST_F(Cgi, BusySiteAnswers503AtOnce)
{
    // A run that holds the one slot for a second: the next request waits.
    std::thread first(
        [&] { get(demo_query, sleeper() + " TARNVEL_TIME_LIMIT=1 TARNVEL_MAX_RUNS=1"); });
    while (left_in_spool() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const cgi_response waited = get(demo_query, "TARNVEL_MAX_RUNS=1");
    first.join();
    EXPECT_EQ(waited.status, 200) << waited.body;
}

TEST_F(Cgi, SpoolOthersMayTouchBlocksEveryQuery)
{
    const fs::path slots = spool() / ".tarnvel-slots";
    const struct {
        const char* fault;
        std::string setup; // shell commands, in the site
        const char* more;  // settings
        const char* named;
    } cases[] = {
        {"slots open to others", "mkdir -m 777 spool/.tarnvel-slots", "",
         ".tarnvel-slots in TARNVEL_SPOOL is not this account"},
        {"slots a link", "mkdir elsewhere && ln -s ../elsewhere spool/.tarnvel-slots", "",
         ".tarnvel-slots in TARNVEL_SPOOL is not this account"},
        {"lock file that cannot be opened",
         "mkdir -m 700 spool/.tarnvel-slots spool/.tarnvel-slots/slot.0", "",
         "lock files in .tarnvel-slots of TARNVEL_SPOOL could not be opened"},
        {"spool every account may write", "chmod 777 spool", "",
         "TARNVEL_SPOOL names a directory that every account may write"},
        {"default spool open to others", "mkdir -m 777 tmp tmp/tarnvel-cgi.$(id -u)",
         "TARNVEL_SPOOL= TMPDIR=tmp", "the default spool"},
        {"default spool a link", "mkdir tmp && ln -s /tmp tmp/tarnvel-cgi.$(id -u)",
         "TARNVEL_SPOOL= TMPDIR=tmp", "the default spool"},
    };
    for (const auto& c : cases) {
        const std::string site_dir = shell_quoted(site.directory().string());
        ASSERT_EQ(std::system(("cd " + site_dir +
                               " && rm -rf spool tmp elsewhere && mkdir spool && " + c.setup)
                                  .c_str()),
                  0)
            << c.fault;
        const cgi_response refused = get(demo_query, c.more);
        EXPECT_EQ(refused.status, 500) << c.fault;
        EXPECT_NE(refused.body.find(c.named), std::string::npos) << c.fault << refused.body;
    }
    if (geteuid() == 0) {
        // Slots left by a run as root, to a service that runs as nobody.
        std::error_code ignored;
        fs::remove_all(spool(), ignored);
        fs::create_directories(slots);
        fs::permissions(slots, fs::perms::owner_all);
        fs::permissions(spool(), fs::perms::all);
        fs::permissions(site.directory(), fs::perms::all);
        ASSERT_EQ(std::system(("chown nobody " + shell_quoted(spool().string()) + " && chmod o-w " +
                               shell_quoted(spool().string()))
                                  .c_str()),
                  0);
        fs::permissions(site.directory() / "quasar_list.dat", fs::perms::all);
        const run_result run =
            site.run_cgi("setpriv --reuid=nobody --regid=nogroup --clear-groups env " + settings() +
                         " REQUEST_METHOD=GET QUERY_STRING=" + shell_quoted(demo_query));
        EXPECT_EQ(parse(run).status, 500) << run.console;
        EXPECT_NE(run.console.find("is not this account"), std::string::npos) << run.console;
    }
    // The default spool, where nothing stands in its way, is made private.
    std::error_code ignored;
    fs::remove_all(site.directory() / "tmp", ignored);
    fs::create_directory(site.directory() / "tmp");
    EXPECT_EQ(get(demo_query, "TARNVEL_SPOOL= TMPDIR=tmp").status, 200);
    const fs::path made = site.directory() / "tmp" / ("tarnvel-cgi." + std::to_string(geteuid()));
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all);
}

TEST_F(Cgi, PostWithoutLengthIsTakenAsEmpty)
{
    // As Apache httpd passes a chunked body: no CONTENT_LENGTH at all.
    const auto post_without_length = [&](const std::string& body) {
        return parse(site.run_cgi(
            settings() + " REQUEST_METHOD=POST CONTENT_TYPE=application/x-www-form-urlencoded",
            body));
    };
    const cgi_response answer = post_without_length(demo_query);
    EXPECT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(
        post_without_length(std::string(demo_query) + "&pad=" + std::string(17 * 1024, 'x')).status,
        413);
}

TEST_F(Cgi, KilledCgiLeavesItsRunBehind)
{
    const pid_t request = start_request(sleeper(), "/dev/null");
    const pid_t run = sleeping();
    kill(request, SIGKILL); // as the out-of-memory killer does
    waitpid(request, nullptr, 0);
    EXPECT_TRUE(within(5, [&] { return !runs(run); })) << "tarnvel runs on as an orphan";
    // Its directory, once older than the time limit, goes with the next run.
    ASSERT_EQ(left_in_spool(), 1);
    for (const fs::directory_entry& entry : fs::directory_iterator(spool()))
        if (entry.path().filename() != ".tarnvel-slots")
            fs::last_write_time(entry.path(),
                                fs::file_time_type::clock::now() - std::chrono::hours(1));
    EXPECT_EQ(get(demo_query).status, 200);
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_F(Cgi, DescriptorsLeakIntoTarnvel)
{
    if (!fs::exists("/proc/self/fd"))
        GTEST_SKIP() << "no /proc/self/fd to list a process's descriptors";
    // Descriptors 7 and 9 stand for what a web server leaves open.
    const cgi_response listed = parse(site.run_cgi(
        settings(program("descriptors", "exec ls /proc/self/fd\n")) +
        " REQUEST_METHOD=GET QUERY_STRING=" + shell_quoted(demo_query) + " 7</dev/null 9>&1"));
    EXPECT_NE(listed.body.find("<pre>0\n1\n2\n3\n</pre>"), std::string::npos)
        << "only 0, 1 and 2 (and ls's own 3) were to be open:\n"
        << listed.body;
}

TEST_F(Cgi, SmallFaultsOfTheHostileRun)
{
    // HEAD runs no query.
    const cgi_response head = parse(site.run_cgi(
        settings(sleeper()) + " REQUEST_METHOD=HEAD QUERY_STRING=" + shell_quoted(demo_query)));
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.body.empty());
    EXPECT_FALSE(fs::exists(site.directory() / "sleeper.pid")) << "HEAD ran the query";

    // Only the program's own paths are answered.
    const struct {
        const char* path_info;
        int status;
    } paths[] = {{"", 200},
                 {"/", 404},
                 {"/introduction.html", 404},
                 {"/query.cgi/query.cgi", 404},
                 {"/scs/x", 404},
                 {"/capabilities/", 404}};
    for (const auto& p : paths)
        EXPECT_EQ(
            parse(site.run_cgi(settings() + " REQUEST_METHOD=GET PATH_INFO=" + p.path_info)).status,
            p.status)
            << p.path_info;

    // The form's type, exactly and in any case.
    const struct {
        const char* type;
        int status;
    } types[] = {{"application/x-www-form-urlencoded", 200},
                 {"Application/X-WWW-Form-URLEncoded", 200},
                 {"application/x-www-form-urlencoded; charset=UTF-8", 200},
                 {"application/x-www-form-urlencodedXYZ", 415},
                 {"text/plain", 415}};
    for (const auto& t : types)
        EXPECT_EQ(parse(site.run_cgi(settings() + " REQUEST_METHOD=POST CONTENT_TYPE=" +
                                         shell_quoted(t.type) + " CONTENT_LENGTH=" +
                                         std::to_string(std::strlen(demo_query)),
                                     demo_query))
                      .status,
                  t.status)
            << t.type;

    // Every answer says how it may be cached and framed, and what it may load.
    const struct {
        const char* what;
        cgi_response response;
        const char* cache;
    } answers[] = {{"form", get(""), "Cache-Control: max-age=600\r\n"},
                   {"answer", get(demo_query), "Cache-Control: no-store\r\n"},
                   {"refusal", get("epoch=x"), "Cache-Control: no-store\r\n"},
                   {"unknown path", parse(site.run_cgi(settings() + " PATH_INFO=/x")),
                    "Cache-Control: no-store\r\n"}};
    for (const auto& a : answers) {
        EXPECT_NE(a.response.headers.find(a.cache), std::string::npos) << a.what;
        EXPECT_NE(a.response.headers.find("X-Frame-Options: SAMEORIGIN\r\n"), std::string::npos)
            << a.what;
        EXPECT_NE(a.response.headers.find("Content-Security-Policy: default-src 'none'; "),
                  std::string::npos)
            << a.what;
    }
}

TEST_F(Cgi, RefusedBoundDoesNotMarkItsField)
{
    const struct {
        const char* from;
        const char* to;
        std::vector<const char*> marked;
    } cases[] = {
        {"ra_max=14%3A00%3A30.5", "ra_max=01%3A00%3A00", {"ra_min", "ra_max"}},
        {"ra_max=14%3A00%3A30.5", "ra_max=25%3A00%3A00", {"ra_max"}},
        {"dec_min=-30%3A00%3A00", "dec_min=-91%3A00%3A00", {"dec_min"}},
        {"dec_min=-30%3A00%3A00", "dec_min=%2B50%3A00%3A00", {"dec_min", "dec_max"}},
        {"z_max=4", "z_max=1", {"z_min", "z_max"}},
        {"epoch=2000", "epoch=2001", {"epoch"}},
    };
    for (const auto& c : cases) {
        std::string query = demo_query;
        query.replace(query.find(c.from), std::strlen(c.from), c.to);
        const cgi_response refused = get(query);
        EXPECT_EQ(refused.status, 400) << c.to;
        int faults = 0;
        for (std::size_t at = 0; (at = refused.body.find("-fault\">", at)) != std::string::npos;
             ++at)
            ++faults;
        EXPECT_EQ(faults, static_cast<int>(c.marked.size())) << c.to << refused.body;
        for (const char* field : c.marked)
            EXPECT_NE(refused.body.find(std::string("id=\"") + field + "-fault\""),
                      std::string::npos)
                << c.to << ": " << field;
    }
}

TEST_F(Cgi, CatalogueRewrittenDuringARunTearsThePage)
{
    const std::string catalogue = shell_quoted((site.directory() / "quasar_list.dat").string());
    const std::string marker = shell_quoted((site.directory() / "rewritten").string());
    const struct {
        const char* fault;
        std::string script;
        int status;
    } cases[] = {
        {"rewritten during the first run only",
         "[ -e " + marker + " ] || { touch " + marker + " && touch -d '1 hour ago' " + catalogue +
             "; }\nexec " + shell_quoted(test_program_path()) + "\n",
         200},
        {"rewritten during every run",
         "touch -d \"$(date -d '-'$$' seconds')\" " + catalogue + "\nexec " +
             shell_quoted(test_program_path()) + "\n",
         503},
    };
    for (const auto& c : cases) {
        std::error_code ignored;
        fs::remove(site.directory() / "rewritten", ignored);
        const cgi_response response = get(demo_query, program("rewriter", c.script));
        EXPECT_EQ(response.status, c.status) << c.fault << response.body;
        EXPECT_EQ(left_in_spool(), 0);
    }
}

TEST_F(Cgi, ConeSearchAnswersWithVotablesUnderTheSameLimits)
{
    const cgi_response cone = get("RA=10.87&DEC=12.41&SR=0.1", "PATH_INFO=/scs");
    EXPECT_EQ(cone.status, 200);
    EXPECT_NE(cone.headers.find("Content-Type: text/xml; charset=utf-8\r\n"), std::string::npos);
    EXPECT_EQ(xml_fault(cone.body), "");
    EXPECT_NE(cone.body.find("<TR><TD>1</TD><TD>Q 0040+121</TD>"), std::string::npos) << cone.body;

    const cgi_response error = get("RA=10&DEC=-91&SR=1", "PATH_INFO=/scs");
    EXPECT_EQ(error.status, 200) << "cone search clients read errors from status 200";
    EXPECT_NE(error.body.find("<INFO name=\"Error\" value=\"DEC must lie in -90..90 degrees\"/>"),
              std::string::npos)
        << error.body;

    const cgi_response head = parse(site.run_cgi(
        settings() + " PATH_INFO=/scs REQUEST_METHOD=HEAD QUERY_STRING='RA=1&DEC=2&SR=3'"));
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.body, "");
    const cgi_response posted =
        parse(site.run_cgi(settings() + " PATH_INFO=/scs REQUEST_METHOD=POST"));
    EXPECT_EQ(posted.status, 405);
    EXPECT_NE(posted.headers.find("Allow: GET, HEAD\r\n"), std::string::npos);
    EXPECT_EQ(get(std::string(16 * 1024 + 1, 'x'), "PATH_INFO=/scs").status, 414);

    // One run at a time: a cone search is told to come back, in a VOTable.
    std::thread first(
        [&] { get(demo_query, sleeper() + " TARNVEL_TIME_LIMIT=3 TARNVEL_MAX_RUNS=1"); });
    while (left_in_spool() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const cgi_response busy =
        get("RA=1&DEC=2&SR=3", "PATH_INFO=/scs TARNVEL_MAX_RUNS=1 TARNVEL_SLOT_WAIT=0");
    first.join();
    EXPECT_EQ(busy.status, 503);
    EXPECT_NE(busy.headers.find("Retry-After: 5\r\n"), std::string::npos);
    EXPECT_NE(busy.body.find("<INFO name=\"QUERY_STATUS\" value=\"ERROR\">The catalogue is"),
              std::string::npos)
        << busy.body;
    EXPECT_EQ(left_in_spool(), 0);

    // The self-description, at both places.
    for (const char* path : {"/capabilities", "/scs/capabilities"}) {
        const cgi_response capabilities =
            get("", std::string("PATH_INFO=") + path + " SERVER_NAME=example.org SERVER_PORT=80");
        EXPECT_EQ(xml_fault(capabilities.body), "") << path;
        EXPECT_NE(capabilities.body.find("<accessURL use=\"base\">"
                                         "http://example.org/site/query.cgi/scs?</accessURL>"),
                  std::string::npos)
            << capabilities.body;
        EXPECT_NE(capabilities.body.find("<testQuery>\n<ra>10.872666666666667</ra>"),
                  std::string::npos)
            << "the first entry's position";
    }
    for (const char* path : {"/availability", "/scs/availability"})
        EXPECT_NE(get("", std::string("PATH_INFO=") + path)
                      .body.find("<vosi:available>true</vosi:available>"),
                  std::string::npos);
    EXPECT_NE(get("", "PATH_INFO=/availability TARNVEL_CATALOGUE=" +
                          shell_quoted((site.directory() / "gone.dat").string()))
                  .body.find("<vosi:available>false</vosi:available>"),
              std::string::npos)
        << "the setting is checked first";
}

TEST_F(Cgi, ConesThroughThePositionIndexAnswerTheSameBytes)
{
    // A catalogue of its own: the demo's entries and more, some over two lines.
    std::string catalogue;
    for (int k = 0; k < 400; ++k) {
        catalogue += "Q" + std::to_string(k) + "$" + std::to_string(k % 24) + "$" +
                     std::to_string(k % 60) + (k % 7 == 0 ? "$\n" : "$") + "1.5$" +
                     (k % 2 == 0 ? "-" : "+") + std::to_string(k % 91) + "$" +
                     std::to_string(k % 60) + "$2$2.5$18$1e8$0$0$0$0$0$0$B" + std::to_string(k) +
                     "$\n";
    }
    site.write("quasar_list.dat", catalogue + "$\n");
    const char* cones[] = {"RA=0&DEC=0&SR=20",           "RA=359.9&DEC=-89.9&SR=3",
                           "RA=150&DEC=45&SR=0.00028",   "RA=15.1&DEC=-1&SR=1&VERB=3",
                           "RA=1&DEC=2&SR=180&MAXREC=7", "RA=200&DEC=30&SR=30&RESPONSEFORMAT=csv"};
    std::vector<std::string> without;
    const fs::path index = spool() / ".tarnvel-index";
    for (const char* query : cones) {
        fs::remove(index); // nothing of a background making answers these
        without.push_back(get(query, "PATH_INFO=/scs").body);
    }
    // A cone without an index has one made in the background.
    for (int waited = 0; waited < 200 && !fs::exists(index); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(fs::exists(index)) << "made after the first cone";

    const run_result made = site.cgi().before(settings() + " ").arg("--index").run();
    EXPECT_EQ(made.exit_status, 0);
    EXPECT_NE(made.console.find("tarnvel-cgi: The position index describes the catalogue "
                                "already."),
              std::string::npos)
        << made.console;
    for (std::size_t k = 0; k < without.size(); ++k)
        EXPECT_EQ(get(cones[k], "PATH_INFO=/scs").body, without[k]) << cones[k];

    // A new catalogue: the index is made anew by the command.
    site.write("quasar_list.dat", catalogue.substr(catalogue.size() / 2) + "$\n");
    const run_result again = site.cgi().before(settings() + " ").arg("--index").run();
    EXPECT_EQ(again.exit_status, 0);
    EXPECT_NE(again.console.find("The position index of the catalogue is made."), std::string::npos)
        << again.console;
    const run_result unset = site.cgi().arg("--index").run();
    EXPECT_EQ(unset.exit_status, 1);
    EXPECT_NE(unset.console.find("TARNVEL_CATALOGUE is not set"), std::string::npos);
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_F(Cgi, FormQueryAsTablesWhileThePageStaysTarnvels)
{
    EXPECT_NE(get("").body.find("<legend>Answer as</legend>\n<label><input type=\"radio\" "
                                "id=\"format-html\" name=\"RESPONSEFORMAT\" value=\"html\" "
                                "checked> a page</label>"),
              std::string::npos);
    if (site_texts_are_defaults()) {
        EXPECT_TRUE(get(std::string(demo_query) + "&RESPONSEFORMAT=html").body ==
                    read_file(golden_dir() / "demo.html"));
    }

    const cgi_response csv = get(std::string(demo_query) + "&RESPONSEFORMAT=csv");
    EXPECT_EQ(csv.status, 200);
    EXPECT_NE(csv.headers.find("Content-Type: text/csv; charset=utf-8\r\n"), std::string::npos);
    bool ok = false;
    EXPECT_EQ(csv_records(csv.body, ok).size(), 16U + 1U) << "the demo's 16 entries";
    EXPECT_TRUE(ok);
    const cgi_response votable = post(std::string(demo_query) + "&RESPONSEFORMAT=votable");
    EXPECT_EQ(xml_fault(votable.body), "");
    std::size_t rows = 0;
    for (std::size_t at = 0; (at = votable.body.find("<TR>", at)) != std::string::npos; ++at)
        ++rows;
    EXPECT_EQ(rows, 16U);
    EXPECT_NE(get(std::string(demo_query) + "&RESPONSEFORMAT=application/x-votable%2Bxml")
                  .headers.find("Content-Type: application/x-votable+xml; charset=utf-8\r\n"),
              std::string::npos);

    // A query tarnvel refuses (reversed bounds), and one that breaks its notation.
    std::string reversed = demo_query;
    reversed.replace(reversed.find("z_min=1.5"), 9, "z_min=4.5");
    const cgi_response refused = get(reversed + "&RESPONSEFORMAT=votable");
    EXPECT_EQ(refused.status, 400);
    EXPECT_NE(refused.body.find("<INFO name=\"Error\" value=\"tarnvel refuses the query"),
              std::string::npos);
    EXPECT_EQ(get(std::string(demo_query) + "x&RESPONSEFORMAT=csv").status, 400);
    EXPECT_EQ(get(std::string(demo_query) + "&RESPONSEFORMAT=pdf").status, 400);
    EXPECT_EQ(left_in_spool(), 0);
}

} // namespace tarnvel
