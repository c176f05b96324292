// Decoding UTF-8 strictly, and the two escapings of cleaned text.
#include "report/clean_text.h"

namespace tarnvel {

namespace {

bool continuation(unsigned char b)
{
    return (b & 0xC0U) == 0x80U;
}

// Appends `text` cleaned, each character through `put`.
template <typename Put>
void for_each_clean(const char* text, std::size_t size, Put put)
{
    for (std::size_t at = 0; at < size;) {
        const char32_t c = decode_utf8(text, size, at);
        put(xml_allows(c) ? c : replacement_character);
    }
}

} // namespace

char32_t decode_utf8(const char* text, std::size_t size, std::size_t& at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80U) {
        ++at;
        return lead;
    }
    // The length of the sequence and the range its second byte must lie in
    // (Unicode's table of well-formed sequences).
    int length = 0;
    unsigned char low = 0x80U;
    unsigned char high = 0xBFU;
    char32_t value = 0;
    if (lead >= 0xC2U && lead <= 0xDFU) {
        length = 2;
        value = lead & 0x1FU;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
        length = 3;
        value = lead & 0x0FU;
        if (lead == 0xE0U)
            low = 0xA0U; // no overlong form
        if (lead == 0xEDU)
            high = 0x9FU; // no surrogate
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
        length = 4;
        value = lead & 0x07U;
        if (lead == 0xF0U)
            low = 0x90U; // no overlong form
        if (lead == 0xF4U)
            high = 0x8FU; // nothing above U+10FFFF
    } else {
        ++at;
        return replacement_character;
    }
    if (size - at < static_cast<std::size_t>(length) || byte(at + 1) < low || byte(at + 1) > high) {
        ++at;
        return replacement_character;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char b = byte(at + static_cast<std::size_t>(i));
        if (!continuation(b)) {
            ++at;
            return replacement_character;
        }
        value = (value << 6U) | (b & 0x3FU);
    }
    at += static_cast<std::size_t>(length);
    return value;
}

bool xml_allows(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void append_utf8(std::string& out, char32_t c)
{
    const auto put = [&](char32_t bits) { out += static_cast<char>(bits); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0U | (c >> 6U));
        put(0x80U | (c & 0x3FU));
    } else if (c < 0x10000) {
        put(0xE0U | (c >> 12U));
        put(0x80U | ((c >> 6U) & 0x3FU));
        put(0x80U | (c & 0x3FU));
    } else {
        put(0xF0U | (c >> 18U));
        put(0x80U | ((c >> 12U) & 0x3FU));
        put(0x80U | ((c >> 6U) & 0x3FU));
        put(0x80U | (c & 0x3FU));
    }
}

void append_xml_escaped(std::string& out, const char* text, std::size_t size)
{
    for_each_clean(text, size, [&](char32_t c) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            append_utf8(out, c);
        }
    });
}

void append_csv_field(std::string& out, const char* text, std::size_t size)
{
    std::string field;
    bool quote = size > 0 && (text[0] == ' ' || text[size - 1] == ' ');
    for_each_clean(text, size, [&](char32_t c) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            quote = true;
        if (c == '"')
            field += '"';
        append_utf8(field, c);
    });
    if (quote)
        out += '"';
    out += field;
    if (quote)
        out += '"';
}

} // namespace tarnvel
