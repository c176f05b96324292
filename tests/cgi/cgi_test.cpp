// tarnvel-cgi run as a web server runs it, once per request, without a
// server: the form page, the answer (tarnvel's own page, byte for byte),
// the refusals, the limits of size, time and runs at once, the settings,
// and a spool left as it was found.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

#include "support/e2e.h"
#include "support/forms.h"
#include "support/xml_check.h"

extern char** environ;

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

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
    // files are the spool's for good).
    int left_in_spool() const
    {
        int left = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(spool()))
            left += entry.path().filename() != ".tarnvel-slots";
        return left;
    }

    // A program in the site that sleeps instead of answering, and notes its
    // process number in "sleeper.pid".
    std::string sleeper() const
    {
        site.write("sleeper", "#!/bin/sh\necho $$ >" +
                                  shell_quoted((site.directory() / "sleeper.pid").string()) +
                                  "\nexec sleep 30\n");
        fs::permissions(site.directory() / "sleeper", fs::perms::owner_all);
        return "TARNVEL_PROGRAM=" + shell_quoted((site.directory() / "sleeper").string());
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
    const cgi_response busy = get(demo_query, "TARNVEL_MAX_RUNS=1");
    first.join();
    EXPECT_EQ(busy.status, 503);
    EXPECT_NE(busy.headers.find("Retry-After: "), std::string::npos);
    EXPECT_EQ(left_in_spool(), 0);
    EXPECT_EQ(get(demo_query, "TARNVEL_MAX_RUNS=1").status, 200) << "the place is free again";
}

TEST_F(Cgi, TerminationDuringARunLeavesNothingBehind)
{
    // The CGI program started by hand, to know whom to end.
    site.write("request.sh", settings(sleeper()) +
                                 " REQUEST_METHOD=GET QUERY_STRING=" + shell_quoted(demo_query) +
                                 " exec " + shell_quoted(cgi_program_path()) + " >/dev/null\n");
    const std::string script = (site.directory() / "request.sh").string();
    char* const argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>(script.c_str()), nullptr};
    pid_t request = -1;
    ASSERT_EQ(posix_spawn(&request, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    const fs::path pid_file = site.directory() / "sleeper.pid";
    while (!fs::exists(pid_file) || read_file(pid_file).value_or("").empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const pid_t sleeping = static_cast<pid_t>(std::stol(*read_file(pid_file)));
    kill(request, SIGTERM);
    int status = 0;
    waitpid(request, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "it ends as it would after its answer";
    EXPECT_EQ(left_in_spool(), 0);
    EXPECT_NE(kill(sleeping, 0), 0) << "the run was not stopped";
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
    const cgi_response busy = get("RA=1&DEC=2&SR=3", "PATH_INFO=/scs TARNVEL_MAX_RUNS=1");
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
