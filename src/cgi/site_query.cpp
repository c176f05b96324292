// The site's query form as the form's default values.
#include "cgi/site_query.h"

#include "input/readers.h"
#include "input/reading.h"

namespace tarnvel {

namespace {

// The most of the site's form that is read: far more than eleven values.
constexpr std::size_t max_form_bytes = 1 << 16;

} // namespace

query_request site_query(const std::string& path)
{
    query_request request = demo_request();
    if (path.empty())
        return request;
    input_file file;
    if (!file.open(path.c_str()))
        return request;
    std::string text(max_form_bytes, '\0');
    const long long got = file.read(&text[0], text.size());
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    scan_stream stream(text.data(), text.size());
    query_spans spans;
    read_query_values(stream, &spans);
    for (int f = 0; f < query_field_count; ++f) {
        const form_value& value = spans.values[f];
        if (value.part_count == 0 || !value.parts[value.part_count - 1].found)
            continue;
        const long long from = value.sign >= 0 ? value.sign : value.parts[0].start;
        const long long to = value.parts[value.part_count - 1].end;
        if (from >= 0 && to > from && static_cast<std::size_t>(to) <= text.size())
            request.values[f] =
                text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    }
    return request;
}

} // namespace tarnvel
