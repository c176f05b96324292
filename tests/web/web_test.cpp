// The query service as a reader meets it: tarnvel-cgi behind lighttpd and
// behind Apache httpd (mod_cgi and mod_cgid), each set up with the guide's
// configuration (serve-site, serve-site-apache), and headless Chromium
// opening the form, sending it, and reading the answer's table; twenty
// requests at once through the server, each answered with its own page; a
// chunked POST. Skipped where the server, or for the browser Chromium, is
// not installed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "support/browser.h"
#include "support/e2e.h"
#include "support/site_server.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// The body of an HTTP/1.1 answer sent in chunks, joined; `body` as it
// stands when it is not chunked.
std::string joined_chunks(const std::string& head, const std::string& body)
{
    if (head.find("Transfer-Encoding: chunked\r\n") == std::string::npos)
        return body;
    std::string joined;
    for (std::size_t at = 0; at < body.size();) {
        const std::size_t line_end = body.find("\r\n", at);
        if (line_end == std::string::npos)
            break;
        const std::size_t size = std::stoul(body.substr(at, line_end - at), nullptr, 16);
        if (size == 0)
            break;
        joined += body.substr(line_end + 2, size);
        at = line_end + 2 + size + 2;
    }
    return joined;
}

// POST `body` to `target` over HTTP/1.1 in two chunks, as a client that
// does not know its length in advance sends it: the status and the body.
http_answer http_post_chunked(int port, const std::string& target, const std::string& body)
{
    const auto chunk = [](const std::string& part) {
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        return size + part + "\r\n";
    };
    const std::size_t half = body.size() / 2;
    http_answer answer = http_request(
        port, "POST " + target +
                  " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Transfer-Encoding: chunked\r\n\r\n" +
                  chunk(body.substr(0, half)) + chunk(body.substr(half)) + "0\r\n\r\n");
    answer.body = joined_chunks(answer.headers, answer.body);
    return answer;
}

// A query: the demo's, with the maximal redshift given.
std::string query_with_z_max(const std::string& z_max)
{
    return "/query.cgi?epoch=2000&ra_min=00%3A00%3A00&ra_max=24%3A00%3A00&dec_min=-90%3A00%3A00"
           "&dec_max=%2B90%3A00%3A00&z_min=0&z_max=" +
           z_max + "&v_min=-100&v_max=100&m_min=-100&m_max=100";
}

// A web server the site is served by: its program, the script of
// tests/web/ that sets it up and runs it, and the script's last argument.
struct web_server {
    const char* name;
    const char* program;
    const char* script;
    const char* variant;
};

// Names a server in the test's listing.
void PrintTo(const web_server& server, std::ostream* out)
{
    *out << server.name;
}

const web_server servers[] = {
    {"lighttpd", "lighttpd", "serve-site", ""},
    {"apache_mod_cgi", "apache2", "serve-site-apache", "cgi"},
    {"apache_mod_cgid", "apache2", "serve-site-apache", "cgid"},
};

class Web : public testing::TestWithParam<web_server> {
protected:
    void SetUp() override
    {
        const web_server& server = GetParam();
        const std::string missing = site_server_missing(server.program);
        if (!missing.empty())
            GTEST_SKIP() << missing;
        server_ = std::make_unique<site_server>(site_.directory(), cgi_program_path(),
                                                server.script, server.variant);
        ASSERT_TRUE(server_->running()) << server_->problem();
        port_ = server_->port();
    }

    std::string url(const std::string& target) const { return server_->url(target); }

    // The requests' own directories left in the spool (not the slots' lock
    // files nor the position index's files, which are the spool's own).
    int left_in_spool() const
    {
        int left = 0;
        for (const fs::directory_entry& entry :
             fs::directory_iterator(site_.directory() / "spool")) {
            const std::string name = entry.path().filename().string();
            left += name != ".tarnvel-slots" && name.rfind(".tarnvel-index", 0) != 0;
        }
        return left;
    }

    e2e_case site_;
    std::unique_ptr<site_server> server_;
    int port_ = -1;
};

} // namespace

TEST_P(Web, FormSentFromABrowserIsAnsweredWithTheTable)
{
    if (find_chromium().empty())
        GTEST_SKIP()
            << "Chromium is not installed: the form was not used in a browser (Debian: chromium)";
    for (const char* probe : {"probe-form.html", "probe-answer.html"})
        site_.copy(fs::path(TARNVEL_WEB_DIR) / probe, std::string("site/") + probe);
    site_.copy(fs::path(TARNVEL_BROWSER_DIR) / "probe.js", "site/probe.js");

    const std::vector<std::string> form = probe_lines(url("/probe-form.html"), site_.directory());
    EXPECT_TRUE(has_line(form, "title: Query")) << joined(form);
    EXPECT_TRUE(has_line(form, "navigation entries: 5")) << joined(form);
    EXPECT_TRUE(has_line(form, "field dec_max: label \"Maximal declination\", value \"+45:15:00\", "
                               "required, valid"))
        << joined(form);
    int fields = 0;
    int formats = 0; // the choice of page, VOTable or CSV
    std::string sends;
    for (const std::string& line : form) {
        formats += line.rfind("field RESPONSEFORMAT: ", 0) == 0;
        fields += line.rfind("field ", 0) == 0;
        if (line.rfind("sends: ", 0) == 0)
            sends = line.substr(7);
    }
    EXPECT_EQ(fields - formats, 11) << joined(form);
    EXPECT_EQ(formats, 3) << joined(form);
    ASSERT_EQ(sends.rfind("/query.cgi?epoch=2000&ra_min=02%3A30%3A00&", 0), 0u) << joined(form);
    const std::string page_asked = "&RESPONSEFORMAT=html";
    EXPECT_EQ(sends.substr(sends.size() - page_asked.size()), page_asked) << sends;

    // The address the browser sends is the answer: the demo's 16 of 32.
    std::string encoded;
    for (const char c : sends) {
        const char* hex = "0123456789ABCDEF";
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '.' || c == '_' ||
            c == '-')
            encoded += c;
        else
            encoded += std::string("%") + hex[static_cast<unsigned char>(c) >> 4] + hex[c & 15];
    }
    const std::vector<std::string> answer =
        probe_lines(url("/probe-answer.html?" + encoded), site_.directory());
    EXPECT_TRUE(has_line(answer, "title: Query Results")) << joined(answer);
    EXPECT_TRUE(has_line(answer, "h4: There are 16 records corresponding to these parameters. "
                                 "Total number of records is 32 ."))
        << joined(answer);
    EXPECT_TRUE(has_line(answer, "results rows: 17")) << joined(answer);
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_P(Web, TwentyRequestsAtOnceEachGetTheirOwnPage)
{
    constexpr std::size_t requests = 20;
    std::vector<std::string> targets;
    std::vector<http_answer> alone;
    for (std::size_t k = 0; k < requests; ++k) {
        targets.push_back(
            query_with_z_max(std::to_string(1 + k / 5) + "." + std::to_string(k % 5)));
        alone.push_back(http_get(port_, targets.back()));
        ASSERT_EQ(alone.back().status, 200)
            << targets.back() << alone.back().body << server_->log_text();
    }
    // A request beyond the runs at once waits a moment for its turn, or is
    // told to come back (503): the clients do, sooner than Retry-After says.
    std::vector<http_answer> together(requests);
    std::vector<int> refusals(requests);
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < requests; ++k)
        threads.emplace_back([&, k] {
            while ((together[k] = http_get(port_, targets[k])).status == 503 && ++refusals[k] < 200)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
    for (std::thread& t : threads)
        t.join();
    for (std::size_t k = 0; k < requests; ++k) {
        EXPECT_EQ(together[k].status, 200) << targets[k];
        EXPECT_TRUE(together[k].body == alone[k].body)
            << targets[k] << ": another query's page, or a part";
    }
    EXPECT_EQ(left_in_spool(), 0);
}

TEST_P(Web, ChunkedPostIsRefused)
{
    // Apache httpd passes a chunked body without CONTENT_LENGTH.
    const std::string query = query_with_z_max("2.5");
    const http_answer by_get = http_get(port_, query);
    ASSERT_EQ(by_get.status, 200);
    const http_answer by_post =
        http_post_chunked(port_, "/query.cgi", query.substr(query.find('?') + 1));
    EXPECT_EQ(by_post.status, 200) << by_post.body;
    EXPECT_TRUE(by_post.body == by_get.body) << by_post.body;
    EXPECT_EQ(left_in_spool(), 0);
}

INSTANTIATE_TEST_SUITE_P(Servers, Web, testing::ValuesIn(servers),
                         [](const testing::TestParamInfo<web_server>& server) {
                             return std::string(server.param.name);
                         });

} // namespace tarnvel
