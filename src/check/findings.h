// The findings of tarnvel-check about one input file: each printed on
// standard output as it is found, in the form compilers use, and counted
// for the file's summary line.
#ifndef TARNVEL_CHECK_FINDINGS_H
#define TARNVEL_CHECK_FINDINGS_H

#include <string>

namespace tarnvel {

enum class severity {
    error,   // tarnvel reads something other than what the text says
    warning, // read as written, but probably not meant
    note,    // worth knowing
};

// A place in a file: its line and its column in bytes, both from 1.
struct text_position {
    long long line = 1;
    long long column = 1;
};

class file_findings {
public:
    explicit file_findings(const char* file_name) : file_name_(file_name) {}

    // Prints "FILE:LINE:COLUMN: SEVERITY: TEXT".
    void add(severity level, text_position at, const std::string& text);
    // Prints "FILE: SEVERITY: TEXT", a finding about the file as a whole.
    void add_for_file(severity level, const std::string& text);

    // Prints "FILE: [what, ]E errors, W warnings, N notes", each count with
    // its word in the singular or the plural.
    void print_summary(const std::string& what) const;

    const char* file_name() const { return file_name_; }
    int errors() const { return counts_[0]; }
    int warnings() const { return counts_[1]; }

private:
    void count(severity level) { ++counts_[static_cast<int>(level)]; }

    const char* file_name_;
    int counts_[3] = {0, 0, 0};
};

// "1 entry", "2 entries": a count and its noun, `singular` or `plural`.
std::string counted(long long count, const char* singular, const char* plural);

// `text` in double quotes, each byte that is no printable ASCII written as
// \n, \r, \t, \0 or \xHH, and cut with "..." after `limit` bytes.
std::string quoted(const std::string& text, std::size_t limit = 40);

} // namespace tarnvel

#endif
