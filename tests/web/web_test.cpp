// The query service as a reader meets it: tarnvel-cgi behind lighttpd and
// behind Apache httpd (mod_cgi and mod_cgid), each set up with the guide's
// configuration (serve-site, serve-site-apache), and headless Chromium
// opening the form, sending it, and reading the answer's table; twenty
// requests at once through the server, each answered with its own page; a
// chunked POST. Skipped where the server, or for the browser Chromium, is
// not installed.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/browser.h"
#include "support/e2e.h"

extern char** environ;

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// A free port on 127.0.0.1, as the system hands one out.
int free_port()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool found = bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(s);
    return found ? ntohs(address.sin_port) : -1;
}

// A connection to 127.0.0.1:`port`, or -1.
int connect_to(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return s;
    close(s);
    return -1;
}

struct http_answer {
    int status = 0;
    std::string body;
};

// GET `target` over HTTP/1.0: the status and the body.
http_answer http_get(int port, const std::string& target)
{
    http_answer answer;
    const int s = connect_to(port);
    if (s < 0) {
        answer.body = "no connection: " + std::string(std::strerror(errno));
        return answer;
    }
    const std::string request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    if (write(s, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
        close(s);
        return answer;
    }
    std::string all;
    char chunk[65536];
    for (ssize_t got; (got = read(s, chunk, sizeof chunk)) > 0;)
        all.append(chunk, static_cast<std::size_t>(got));
    close(s);
    const std::size_t end = all.find("\r\n\r\n");
    if (all.rfind("HTTP/1.", 0) != 0 || end == std::string::npos) {
        answer.body = "no HTTP answer: " + all; // what came, for the report
        return answer;
    }
    answer.status = std::stoi(all.substr(9, 3));
    answer.body = all.substr(end + 4);
    return answer;
}

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
    http_answer answer;
    const int s = connect_to(port);
    if (s < 0)
        return answer;
    const std::size_t half = body.size() / 2;
    const auto chunk = [](const std::string& part) {
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        return size + part + "\r\n";
    };
    const std::string request = "POST " + target +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                                "Content-Type: application/x-www-form-urlencoded\r\n"
                                "Transfer-Encoding: chunked\r\n\r\n" +
                                chunk(body.substr(0, half)) + chunk(body.substr(half)) +
                                "0\r\n\r\n";
    if (write(s, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
        close(s);
        return answer;
    }
    std::string all;
    char buffer[65536];
    for (ssize_t got; (got = read(s, buffer, sizeof buffer)) > 0;)
        all.append(buffer, static_cast<std::size_t>(got));
    close(s);
    const std::size_t end = all.find("\r\n\r\n");
    if (all.rfind("HTTP/1.", 0) != 0 || end == std::string::npos)
        return answer;
    answer.status = std::stoi(all.substr(9, 3));
    answer.body = joined_chunks(all.substr(0, end + 2), all.substr(end + 4));
    return answer;
}

// A query: the demo's, with the maximal redshift given.
std::string query_with_z_max(const std::string& z_max)
{
    return "/query.cgi?epoch=2000&ra_min=00%3A00%3A00&ra_max=24%3A00%3A00&dec_min=-90%3A00%3A00"
           "&dec_max=%2B90%3A00%3A00&z_min=0&z_max=" +
           z_max + "&v_min=-100&v_max=100&m_min=-100&m_max=100";
}

// A web server the site is served by: its program, the script that sets
// it up and runs it, and the script's last argument.
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
        if (cgi_program_path().empty() || program_has_runner())
            GTEST_SKIP() << "tarnvel-cgi is built for POSIX systems, and runs a native tarnvel";
        const web_server& server = GetParam();
        const std::string present = std::string("command -v ") + server.program +
                                    " >/dev/null 2>&1 || test -x /usr/sbin/" + server.program;
        if (std::system(present.c_str()) != 0)
            GTEST_SKIP() << server.program << " is not installed: the query service was not "
                         << "served by it (Debian: " << server.program << ")";
        port_ = free_port();
        ASSERT_GT(port_, 0);
        const std::string script = (fs::path(TARNVEL_WEB_DIR) / server.script).string();
        const std::string directory = site_.directory().string();
        const std::string port = std::to_string(port_);
        const std::string cgi = cgi_program_path();
        const std::string variant = server.variant;
        const std::string log = (site_.directory() / "server.log").string();
        // The site's directories are opened to the account a server run
        // as root takes.
        fs::permissions(site_.directory(), fs::perms::owner_all | fs::perms::group_read |
                                               fs::perms::group_exec | fs::perms::others_read |
                                               fs::perms::others_exec);
        char* const argv[] = {const_cast<char*>(script.c_str()),
                              const_cast<char*>(directory.c_str()),
                              const_cast<char*>(port.c_str()),
                              const_cast<char*>(cgi.c_str()),
                              variant.empty() ? nullptr : const_cast<char*>(variant.c_str()),
                              nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        // A process group of its own: Apache httpd ends by signalling its
        // whole group, which would otherwise reach other tests' servers.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        ASSERT_EQ(posix_spawn(&server_, script.c_str(), &actions, &attributes, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        for (int attempt = 0; attempt < 200; ++attempt) {
            const int s = connect_to(port_);
            if (s >= 0) {
                close(s);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        FAIL() << GetParam().name << " did not start: " << read_file(log).value_or("");
    }

    void TearDown() override
    {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }

    // What the server wrote of its own: its console, and Apache's error log.
    std::string server_log() const
    {
        return read_file(site_.directory() / "server.log").value_or("") +
               read_file(site_.directory() / "apache" / "error.log").value_or("");
    }

    std::string url(const std::string& target) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + target;
    }

    // The requests' own directories left in the spool.
    int left_in_spool() const
    {
        int left = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(site_.directory() / "spool"))
            left += entry.path().filename() != ".tarnvel-slots";
        return left;
    }

    e2e_case site_;
    int port_ = -1;
    pid_t server_ = -1;
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
    std::string sends;
    for (const std::string& line : form) {
        fields += line.rfind("field ", 0) == 0;
        if (line.rfind("sends: ", 0) == 0)
            sends = line.substr(7);
    }
    EXPECT_EQ(fields, 11) << joined(form);
    ASSERT_EQ(sends.rfind("/query.cgi?epoch=2000&ra_min=02%3A30%3A00&", 0), 0u) << joined(form);

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
        ASSERT_EQ(alone.back().status, 200) << targets.back() << alone.back().body << server_log();
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
