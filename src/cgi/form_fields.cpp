// Decoding a query's fields and checking them against their grammars.
#include "cgi/form_fields.h"

#include "decimal/number_text.h"
#include "decimal/parse.h"

namespace tarnvel {

// One row a field, in the order of "query.frm".
const field_rule query_fields[query_field_count] = {
    {"epoch", "Epoch of the coordinates", "Epoch", field_kind::epoch, "2000 or 1950"},
    {"ra_min", "Minimal right ascension", "Minimal right ascension", field_kind::ascension,
     "hh:mm:ss, the seconds with a fraction if you like"},
    {"ra_max", "Maximal right ascension", "Maximal right ascension", field_kind::ascension,
     "hh:mm:ss, up to 24:00:00"},
    {"dec_min", "Minimal declination", "Minimal declination", field_kind::declination,
     "a sign, then dd:mm:ss (-30:00:00)"},
    {"dec_max", "Maximal declination", "Maximal declination", field_kind::declination,
     "a sign, then dd:mm:ss (+45:15:00)"},
    {"z_min", "Minimal emission redshift", "Minimal redshift", field_kind::number, "a number: 1.5"},
    {"z_max", "Maximal emission redshift", "Maximal redshift", field_kind::number, "a number: 4"},
    {"v_min", "Minimal apparent magnitude V", "Minimal apparent magnitude", field_kind::number,
     "a number: 10"},
    {"v_max", "Maximal apparent magnitude V", "Maximal apparent magnitude", field_kind::number,
     "a number: 20"},
    {"m_min", "Minimal absolute magnitude M", "Minimal absolute magnitude", field_kind::number,
     "a number: -30"},
    {"m_max", "Maximal absolute magnitude M", "Maximal absolute magnitude", field_kind::number,
     "a number: -20"},
};

namespace {

const std::string too_long_fault =
    "this value is too long: at most " + std::to_string(max_value_length) + " characters";

// A run of one to `most` digits at `text[at]`; moves `at` past it.
bool digits(const std::string& text, std::size_t& at, std::size_t most)
{
    const std::size_t start = at;
    while (at < text.size() && at - start < most && is_digit(static_cast<unsigned char>(text[at])))
        ++at;
    return at > start && (at == text.size() || !is_digit(static_cast<unsigned char>(text[at])));
}

// True, past it, when the character `c` stands at `at`.
bool take(const std::string& text, std::size_t& at, char c)
{
    if (at == text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

// hh:mm:ss with an optional fraction of the seconds, from `at` to the end.
bool sexagesimal(const std::string& text, std::size_t at)
{
    if (!digits(text, at, 2) || !take(text, at, ':') || !digits(text, at, 2) ||
        !take(text, at, ':') || !digits(text, at, 2))
        return false;
    if (at == text.size())
        return true;
    return take(text, at, '.') && digits(text, at, 9) && at == text.size();
}

// The text as scan_number's source, bounded by its end.
struct text_source_view {
    const std::string& text;
    std::size_t at;
    int peek(int ahead) const
    {
        const std::size_t place = at + static_cast<std::size_t>(ahead);
        return place < text.size() ? static_cast<unsigned char>(text[place]) : -1;
    }
    void advance(int count) { at += static_cast<std::size_t>(count); }
};

// A number as the program's readers take it, and nothing more.
bool decimal_number(const std::string& text)
{
    text_source_view in{text, 0};
    decimal_accumulator number;
    return scan_number(in, number, number_form::decimal) == scanned::number && in.at == text.size();
}

int hex_value(char c)
{
    if (is_digit(static_cast<unsigned char>(c)))
        return static_cast<int>(digit_value(c));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Each grammar as an HTML pattern, and what a value that breaks it is told.
struct grammar_texts {
    const char* pattern;
    const char* fault;
};

const grammar_texts& texts_of(field_kind kind)
{
    static const grammar_texts texts[] = {
        {"[0-9]{1,9}", "write the epoch in digits, as 2000"},
        {"[0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2}(\\.[0-9]{1,9})?",
         "write a right ascension as hh:mm:ss, as 02:30:00 or 14:00:30.5"},
        {"[+\\-][0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2}(\\.[0-9]{1,9})?",
         "write a declination as a sign, then dd:mm:ss, as -30:00:00 or +45:15:00"},
        {"[+\\-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+\\-]?[0-9]+)?",
         "write a number in decimal notation, as 1.5, -26 or 1e8"},
    };
    return texts[static_cast<int>(kind)];
}

} // namespace

bool query_request::valid() const
{
    for (const char* fault : faults)
        if (fault != nullptr)
            return false;
    return true;
}

bool decode_component(const std::string& encoded, std::string& decoded)
{
    decoded.clear();
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            const int high = i + 1 < encoded.size() ? hex_value(encoded[i + 1]) : -1;
            const int low = i + 2 < encoded.size() ? hex_value(encoded[i + 2]) : -1;
            if (high < 0 || low < 0)
                return false;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += c;
        }
    }
    return true;
}

bool follows_grammar(field_kind kind, const std::string& text)
{
    if (text.empty() || text.size() > max_value_length)
        return false;
    switch (kind) {
    case field_kind::epoch: {
        std::size_t at = 0;
        return digits(text, at, 9) && at == text.size();
    }
    case field_kind::ascension:
        return sexagesimal(text, 0);
    case field_kind::declination:
        return (text[0] == '+' || text[0] == '-') && sexagesimal(text, 1);
    case field_kind::number:
        return decimal_number(text);
    }
    return false;
}

const char* grammar_pattern(field_kind kind)
{
    return texts_of(kind).pattern;
}

query_request decode_query(const std::string& encoded)
{
    query_request request;
    bool given[query_field_count] = {};
    for (std::size_t start = 0; start <= encoded.size();) {
        std::size_t end = encoded.find('&', start);
        if (end == std::string::npos)
            end = encoded.size();
        const std::string pair = encoded.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = pair.find('=');
        std::string key;
        std::string value;
        const bool decoded =
            decode_component(pair.substr(0, equals), key) &&
            decode_component(equals == std::string::npos ? "" : pair.substr(equals + 1), value);
        for (int f = 0; f < query_field_count; ++f) {
            if (key != query_fields[f].key)
                continue;
            if (given[f]) {
                request.faults[f] = "this field was sent more than once";
            } else if (!decoded) {
                request.faults[f] = "this field was not sent in the form's encoding";
            } else {
                request.values[f] = value;
            }
            given[f] = true;
        }
    }
    for (int f = 0; f < query_field_count; ++f) {
        if (request.faults[f] != nullptr)
            continue;
        if (!given[f] || request.values[f].empty())
            request.faults[f] = "this field is required";
        else if (request.values[f].size() > max_value_length)
            request.faults[f] = too_long_fault.c_str();
        else if (!follows_grammar(query_fields[f].kind, request.values[f]))
            request.faults[f] = texts_of(query_fields[f].kind).fault;
    }
    return request;
}

std::string query_form_text(const query_request& request)
{
    std::string text = "Query form: intervals of the coordinates, redshift and magnitudes\n";
    for (int f = 0; f < query_field_count; ++f)
        text += std::string(query_fields[f].form_label) + "=" + request.values[f] + "\n";
    return text;
}

query_request demo_request()
{
    query_request request;
    const char* const values[query_field_count] = {
        "2000", "02:30:00", "14:00:30.5", "-30:00:00", "+45:15:00", "1.5",
        "4",    "10",       "20",         "-30",       "-20"};
    for (int f = 0; f < query_field_count; ++f)
        request.values[f] = values[f];
    return request;
}

} // namespace tarnvel
