// Catalogue bytes as text that XML 1.0 and UTF-8 readers take: well-formed
// UTF-8 is kept, and every byte that begins no well-formed UTF-8 sequence
// and every character XML 1.0 cannot carry is replaced, visibly, by U+FFFD.
// Then escaped for XML or quoted for CSV.
#ifndef TARNVEL_REPORT_CLEAN_TEXT_H
#define TARNVEL_REPORT_CLEAN_TEXT_H

#include <cstddef>
#include <string>

namespace tarnvel {

// The character put in place of what cannot be written.
constexpr char32_t replacement_character = 0xFFFD;

// The character whose UTF-8 sequence begins at `text[at]` (of `size` bytes),
// `at` moved past it; replacement_character, `at` moved one byte on, when
// no well-formed sequence begins there (a stray continuation byte, a cut or
// overlong sequence, a surrogate, a value above U+10FFFF).
char32_t decode_utf8(const char* text, std::size_t size, std::size_t& at);

// True for a character XML 1.0 documents may hold: TAB, LF, CR, U+0020 to
// U+D7FF, U+E000 to U+FFFD, U+10000 to U+10FFFF.
bool xml_allows(char32_t c);

// Appends `c` in UTF-8.
void append_utf8(std::string& out, char32_t c);

// Appends `text` cleaned, with &, <, >, " and ' as character references and
// TAB, LF and CR as numeric ones, so that it keeps every character in
// element content and in attribute values alike.
void append_xml_escaped(std::string& out, const char* text, std::size_t size);
inline void append_xml_escaped(std::string& out, const std::string& text)
{
    append_xml_escaped(out, text.data(), text.size());
}

// Appends `text` cleaned as one CSV field (RFC 4180): in double quotes, with
// each quote doubled, when it holds a comma, a quote, CR or LF, or begins or
// ends with a blank; as it is otherwise.
void append_csv_field(std::string& out, const char* text, std::size_t size);
inline void append_csv_field(std::string& out, const std::string& text)
{
    append_csv_field(out, text.data(), text.size());
}

} // namespace tarnvel

#endif
