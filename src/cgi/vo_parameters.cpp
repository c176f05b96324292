// Reading the parameters of cone searches and of the form's table answers.
#include "cgi/vo_parameters.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "cgi/form_fields.h"
#include "decimal/number_text.h"
#include "decimal/parse.h"

namespace tarnvel {

namespace {

// One parameter of a request: its name in upper case and its value.
struct parameter {
    std::string name;
    std::string value;
    bool decoded = true;
};

std::string upper_case(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::vector<parameter> parameters_of(const std::string& encoded)
{
    std::vector<parameter> list;
    std::size_t from = 0;
    while (from <= encoded.size()) {
        std::size_t to = encoded.find('&', from);
        if (to == std::string::npos)
            to = encoded.size();
        const std::string pair = encoded.substr(from, to - from);
        from = to + 1;
        if (pair.empty())
            continue;
        const std::size_t equals = pair.find('=');
        parameter p;
        std::string name;
        p.decoded =
            decode_component(pair.substr(0, equals), name) &&
            decode_component(equals == std::string::npos ? "" : pair.substr(equals + 1), p.value);
        p.name = upper_case(name);
        list.push_back(p);
    }
    return list;
}

// The value of the parameter `name` into `value`: "" when it is not given,
// an error text when it is given twice or not in the form's encoding.
std::string find_parameter(const std::vector<parameter>& list, const char* name, std::string& value,
                           bool& given)
{
    given = false;
    for (const parameter& p : list) {
        if (p.name != name)
            continue;
        if (given)
            return std::string(name) + " is given more than once";
        if (!p.decoded)
            return std::string(name) + " is not in the form's encoding (%HH)";
        value = p.value;
        given = true;
    }
    return "";
}

// A scan_number source over a text.
struct text_cursor {
    const std::string& text;
    std::size_t at;
    int peek(int ahead) const
    {
        const std::size_t i = at + static_cast<std::size_t>(ahead);
        return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
    }
    void advance(int count) { at += static_cast<std::size_t>(count); }
};

// Reads the required angle `name` into `value` and checks it against
// [low, high]; an error text (`range` when it lies outside) when it cannot.
std::string read_angle(const std::vector<parameter>& list, const char* name, double low,
                       double high, const char* range, double& value)
{
    std::string text;
    bool given = false;
    std::string error = find_parameter(list, name, text, given);
    if (!error.empty())
        return error;
    if (!given)
        return std::string(name) + " is missing: a cone search needs RA, DEC and SR in degrees";
    if (!read_decimal(text, value) || !std::isfinite(value))
        return std::string(name) + " is not a number in degrees: \"" + text + "\"";
    if (value < low || value > high)
        return range;
    return "";
}

} // namespace

bool read_decimal(const std::string& text, double& value)
{
    text_cursor in{text, 0};
    while (in.at < text.size() && text[in.at] == ' ')
        ++in.at;
    decimal_accumulator number;
    if (scan_number(in, number, number_form::decimal) != scanned::number)
        return false;
    while (in.at < text.size() && text[in.at] == ' ')
        ++in.at;
    if (in.at != text.size())
        return false;
    value = number.value();
    return true;
}

bool read_answer_format(const std::string& value, answer_format& format)
{
    const std::string name = upper_case(value);
    if (name == "VOTABLE" || name == "TEXT/XML")
        format = {answer_format::votable, "text/xml"};
    else if (name == "APPLICATION/X-VOTABLE+XML")
        format = {answer_format::votable, "application/x-votable+xml"};
    else if (name == "CSV" || name == "TEXT/CSV")
        format = {answer_format::csv, "text/csv"};
    else if (name == "HTML" || name == "TEXT/HTML")
        format = {answer_format::page, "text/html"};
    else
        return false;
    return true;
}

cone_request read_cone_request(const std::string& encoded)
{
    const std::vector<parameter> list = parameters_of(encoded);
    cone_request request;
    std::string& error = request.error;
    error = read_angle(list, "RA", -HUGE_VAL, HUGE_VAL, "", request.ascension);
    if (error.empty())
        error = read_angle(list, "DEC", -90.0, 90.0, "DEC must lie in -90..90 degrees",
                           request.declination);
    if (error.empty())
        error = read_angle(list, "SR", 0.0, max_search_radius, "SR must lie in 0..180 degrees",
                           request.radius);
    if (!error.empty())
        return request;
    request.ascension = std::fmod(request.ascension, 360.0);
    if (request.ascension < 0)
        request.ascension += 360.0;
    if (request.ascension >= 360.0) // a tiny negative value rounds up to a whole turn
        request.ascension = 0.0;

    std::string text;
    bool given = false;
    error = find_parameter(list, "VERB", text, given);
    if (!error.empty())
        return request;
    if (given) {
        if (text == "1")
            request.detail = table_detail::least;
        else if (text == "2")
            request.detail = table_detail::usual;
        else if (text == "3")
            request.detail = table_detail::most;
        else
            return error = "VERB must be 1, 2 or 3", request;
    }

    error = find_parameter(list, "MAXREC", text, given);
    if (!error.empty())
        return request;
    if (given) {
        long long records = 0;
        for (const char c : text) {
            if (!is_digit(static_cast<unsigned char>(c)))
                return error = "MAXREC must be a whole number of rows", request;
            if (records <= hard_max_records)
                records = records * 10 + static_cast<long long>(digit_value(c));
        }
        if (text.empty())
            return error = "MAXREC must be a whole number of rows", request;
        request.max_records = records < hard_max_records ? records : hard_max_records;
    }

    error = find_parameter(list, "RESPONSEFORMAT", text, given);
    if (!error.empty())
        return request;
    if (given &&
        (!read_answer_format(text, request.format) || request.format.kind == answer_format::page))
        error = "RESPONSEFORMAT \"" + text + "\" is not offered: votable or csv";
    return request;
}

bool read_form_answer_format(const std::string& encoded, answer_format& format, std::string& error)
{
    const std::vector<parameter> list = parameters_of(encoded);
    std::string text;
    bool given = false;
    error = find_parameter(list, "RESPONSEFORMAT", text, given);
    if (!error.empty())
        return false;
    format = answer_format();
    if (given && !read_answer_format(text, format)) {
        error = "RESPONSEFORMAT \"" + text + "\" is not offered: html, votable or csv";
        return false;
    }
    return true;
}

} // namespace tarnvel
