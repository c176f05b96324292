// The query service as a reader meets it: tarnvel-cgi behind lighttpd, set
// up with the guide's configuration (serve-site), and headless Chromium
// opening the form, sending it, and reading the answer's table; and twenty
// requests at once through the server, each answered with its own page.
// Skipped where lighttpd, or for the browser Chromium, is not installed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/browser.h"
#include "support/e2e.h"
#include "support/site_server.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// A query: the demo's, with the maximal redshift given.
std::string query_with_z_max(const std::string& z_max)
{
    return "/query.cgi?epoch=2000&ra_min=00%3A00%3A00&ra_max=24%3A00%3A00&dec_min=-90%3A00%3A00"
           "&dec_max=%2B90%3A00%3A00&z_min=0&z_max=" +
           z_max + "&v_min=-100&v_max=100&m_min=-100&m_max=100";
}

class Web : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = site_server_missing();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        server_ = std::make_unique<site_server>(site_.directory(), cgi_program_path());
        ASSERT_TRUE(server_->running()) << server_->problem();
        port_ = server_->port();
    }

    std::string url(const std::string& target) const { return server_->url(target); }

    // The requests' own directories left in the spool.
    int left_in_spool() const
    {
        int left = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(site_.directory() / "spool"))
            left += entry.path().filename() != ".tarnvel-slots";
        return left;
    }

    e2e_case site_;
    std::unique_ptr<site_server> server_;
    int port_ = -1;
};

} // namespace

TEST_F(Web, FormSentFromABrowserIsAnsweredWithTheTable)
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

TEST_F(Web, TwentyRequestsAtOnceEachGetTheirOwnPage)
{
    constexpr std::size_t requests = 20;
    std::vector<std::string> targets;
    std::vector<http_answer> alone;
    for (std::size_t k = 0; k < requests; ++k) {
        targets.push_back(
            query_with_z_max(std::to_string(1 + k / 5) + "." + std::to_string(k % 5)));
        alone.push_back(http_get(port_, targets.back()));
        ASSERT_EQ(alone.back().status, 200) << targets.back();
    }
    // A request beyond the runs at once is told to come back (503): the
    // clients do, sooner than Retry-After says.
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

} // namespace tarnvel
