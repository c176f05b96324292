// Starting lighttpd for a test's site and asking it.
#include "support/site_server.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
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
    http_answer answer;
    const int s = connect_to(port);
    if (s < 0)
        return answer;
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
    if (all.rfind("HTTP/1.", 0) != 0 || end == std::string::npos)
        return answer;
    answer.status = std::stoi(all.substr(9, 3));
    const std::size_t first_line = all.find("\r\n");
    answer.headers = all.substr(first_line + 2, end + 2 - (first_line + 2));
    answer.body = all.substr(end + 4);
    return answer;
}

std::string site_server_missing()
{
    if (cgi_program_path().empty() || program_has_runner())
        return "tarnvel-cgi is built for POSIX systems, and runs a native tarnvel";
    if (std::system("command -v lighttpd >/dev/null 2>&1") != 0)
        return "lighttpd is not installed: the query service was not served (Debian: lighttpd)";
    return "";
}

site_server::site_server(const fs::path& directory, const std::string& cgi)
{
    port_ = free_port();
    if (port_ <= 0) {
        problem_ = "no free port";
        return;
    }
    const std::string script = (fs::path(TARNVEL_WEB_DIR) / "serve-site").string();
    const std::string where = directory.string();
    const std::string port = std::to_string(port_);
    const std::string log = (directory / "lighttpd.log").string();
    char* const argv[] = {const_cast<char*>(script.c_str()), const_cast<char*>(where.c_str()),
                          const_cast<char*>(port.c_str()), const_cast<char*>(cgi.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawn(&server_, script.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
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
    problem_ = "lighttpd did not start: " + read_file(log).value_or("");
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
