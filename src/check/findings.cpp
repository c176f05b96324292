// Printing and counting findings.
#include "check/findings.h"

#include <cstdio>

namespace tarnvel {

namespace {

const char* const severity_words[] = {"error", "warning", "note"};

} // namespace

void file_findings::add(severity level, text_position at, const std::string& text)
{
    count(level);
    std::printf("%s:%lld:%lld: %s: %s\n", file_name_, at.line, at.column,
                severity_words[static_cast<int>(level)], text.c_str());
}

void file_findings::add_for_file(severity level, const std::string& text)
{
    count(level);
    std::printf("%s: %s: %s\n", file_name_, severity_words[static_cast<int>(level)], text.c_str());
}

void file_findings::print_summary(const std::string& what) const
{
    std::printf("%s: %s%s, %s, %s\n", file_name_, what.empty() ? "" : (what + ", ").c_str(),
                counted(counts_[0], "error", "errors").c_str(),
                counted(counts_[1], "warning", "warnings").c_str(),
                counted(counts_[2], "note", "notes").c_str());
}

std::string counted(long long count, const char* singular, const char* plural)
{
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::string quoted(const std::string& text, std::size_t limit)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += static_cast<char>(c);
            break;
        default:
            if (c < ' ' || c > '~') {
                const char digits[] = "0123456789abcdef";
                out += "\\x";
                out += digits[c >> 4];
                out += digits[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + (text.size() > limit ? "...\"" : "\"");
}

} // namespace tarnvel
