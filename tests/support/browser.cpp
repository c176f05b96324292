// Headless Chromium, run from the shell.
#include "support/browser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/e2e.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// The text of serialised markup: the entities the serialiser writes, undone.
std::string unescaped(std::string text)
{
    const char* const entities[][2] = {{"&lt;", "<"},  {"&gt;", ">"},          {"&quot;", "\""},
                                       {"&#39;", "'"}, {"&nbsp;", "\xc2\xa0"}, {"&amp;", "&"}};
    for (const auto& entity : entities)
        for (std::size_t at; (at = text.find(entity[0])) != std::string::npos;)
            text.replace(at, std::char_traits<char>::length(entity[0]), entity[1]);
    return text;
}

} // namespace

std::string find_chromium()
{
    if (const char* chosen = std::getenv("TARNVEL_CHROMIUM"))
        return fs::exists(chosen) ? chosen : "";
    for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser",
                                  "/usr/bin/google-chrome", "/usr/local/bin/chrome"})
        if (fs::exists(candidate))
            return candidate;
    return "";
}

std::vector<std::string> probe_lines(const std::string& url, const fs::path& scratch)
{
    const fs::path profile = scratch / "chromium-profile";
    const fs::path dom = scratch / "dom.html";
    const std::string command =
        "timeout 120 " + shell_quoted(find_chromium()) +
        " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
        " --disable-component-update --disable-sync --disable-quic --user-data-dir=" +
        shell_quoted(profile.string()) + " --dump-dom " + shell_quoted(url) + " >" +
        shell_quoted(dom.string()) + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::string text = read_file(dom).value_or("");
    const std::string open = "<pre id=\"tarnvel-probe\">";
    const std::size_t start = text.find(open);
    std::vector<std::string> lines;
    if (start == std::string::npos)
        return lines;
    std::istringstream probe(unescaped(
        text.substr(start + open.size(), text.find("</pre>", start) - start - open.size())));
    for (std::string line; std::getline(probe, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& l : lines)
        all += l + "\n";
    return all;
}

} // namespace tarnvel
