// Starting lighttpd or Apache httpd for a test's site and asking it.
#include "support/site_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

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

} // namespace

http_answer http_get(int port, const std::string& target)
{
    return http_request(port, "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

http_answer http_request(int port, const std::string& request)
{
    http_answer answer;
    const int s = connect_to(port);
    if (s < 0) {
        answer.body = "no connection: " + std::string(std::strerror(errno));
        return answer;
    }
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
    const std::size_t first_line = all.find("\r\n");
    answer.headers = all.substr(first_line + 2, end + 2 - (first_line + 2));
    answer.body = all.substr(end + 4);
    return answer;
}

std::string site_server_missing(const std::string& program)
{
    if (cgi_program_path().empty() || program_has_runner())
        return "tarnvel-cgi is built for POSIX systems, and runs a native tarnvel";
    // Apache httpd lies in /usr/sbin, which not every PATH holds.
    const std::string present =
        "command -v " + program + " >/dev/null 2>&1 || test -x /usr/sbin/" + program;
    if (std::system(present.c_str()) != 0)
        return program +
               " is not installed: the query service was not served by it (Debian: " + program +
               ")";
    return "";
}

site_server::site_server(const fs::path& directory, const std::string& cgi,
                         const std::string& script_name, const std::string& variant)
{
    port_ = free_port();
    if (port_ <= 0) {
        problem_ = "no free port";
        return;
    }
    const std::string script = (fs::path(TARNVEL_WEB_DIR) / script_name).string();
    const std::string where = directory.string();
    const std::string port = std::to_string(port_);
    log_ = directory / "server.log";
    const std::string log = log_.string();
    // The site's directory is opened to the account that a server started
    // as root takes.
    std::error_code ignored;
    fs::permissions(directory,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    ignored);
    char* const argv[] = {const_cast<char*>(script.c_str()),
                          const_cast<char*>(where.c_str()),
                          const_cast<char*>(port.c_str()),
                          const_cast<char*>(cgi.c_str()),
                          variant.empty() ? nullptr : const_cast<char*>(variant.c_str()),
                          nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // A process group of its own: Apache httpd ends by signalling its whole
    // group, which would otherwise reach other tests' servers.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int spawned = posix_spawn(&server_, script.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        server_ = -1;
        problem_ = "serve-site could not be started";
        return;
    }
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int s = connect_to(port_);
        if (s >= 0) {
            close(s);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    problem_ = script_name + " did not start: " + log_text();
}

std::string site_server::log_text() const
{
    return read_file(log_).value_or("") +
           read_file(log_.parent_path() / "apache" / "error.log").value_or("");
}

site_server::~site_server()
{
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

std::string site_server::url(const std::string& target) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

} // namespace tarnvel
