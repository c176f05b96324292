// Headless Chromium for the tests that look at pages as a reader does: a
// page is opened, a probe script in it writes what it sees into a
// <pre id="tarnvel-probe">, and the test reads those lines back.
#ifndef TARNVEL_TESTS_BROWSER_H
#define TARNVEL_TESTS_BROWSER_H

#include <filesystem>
#include <string>
#include <vector>

namespace tarnvel {

// The Chromium program (TARNVEL_CHROMIUM, or where Debian puts it), or
// empty when there is none.
std::string find_chromium();

// Opens `url` in headless Chromium, with a fresh profile in `scratch`, and
// returns the lines of the probe's <pre id="tarnvel-probe">, its entities
// undone; empty when the browser failed or found no probe.
std::vector<std::string> probe_lines(const std::string& url, const std::filesystem::path& scratch);

// Whether `lines` hold `line`; all of them, one a line, for messages.
bool has_line(const std::vector<std::string>& lines, const std::string& line);
std::string joined(const std::vector<std::string>& lines);

} // namespace tarnvel

#endif
