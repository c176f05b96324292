// The query form and the style file, read with the program's own readers
// and checks, and the findings about each value.
#include "check/form_check.h"

#include <algorithm>
#include <string>

#include "check/line_index.h"
#include "input/readers.h"
#include "input/reading.h"
#include "input/scan_stream.h"
#include "model/sky_coords.h"
#include "report/arc_text.h"
#include "state/state.h"

namespace tarnvel {

namespace {

const char* const query_value_names[11] = {"the epoch",
                                           "the minimal right ascension",
                                           "the maximal right ascension",
                                           "the minimal declination",
                                           "the maximal declination",
                                           "the minimal redshift",
                                           "the maximal redshift",
                                           "the minimal apparent magnitude",
                                           "the maximal apparent magnitude",
                                           "the minimal absolute magnitude",
                                           "the maximal absolute magnitude"};

const char* const style_value_names[6] = {
    "the border",          "the width", "the height", "the colour switch", "the header's alignment",
    "the cells' alignment"};

const char* const arc_part_names[3] = {"leading unit", "minutes", "seconds"};

// White space on a line: the scanner's, but the line feed.
bool is_blank(char c)
{
    return c != '\n' && is_white_space(static_cast<unsigned char>(c));
}

// What the checks of both forms share: the text's lines and the findings.
struct form_walk {
    line_index lines;
    file_findings& findings;
    long long size;

    form_walk(const text_source& text, file_findings& out)
        : lines(text), findings(out), size(text.length())
    {
    }

    void add(severity level, long long offset, const std::string& message)
    {
        findings.add(level, lines.position(offset), message);
    }

    // The rest of the line from `offset` on, its line end left out.
    std::string rest_of_line(long long offset)
    {
        std::string rest = lines.text_between(offset, offset + 200);
        const std::size_t end = rest.find('\n');
        if (end != std::string::npos)
            rest.resize(end);
        while (!rest.empty() && rest.back() == '\r')
            rest.pop_back();
        return rest;
    }

    // A value's '=': lost, or followed on its line by a second '=' (once per
    // form: a label that holds '=' shifts this value and every later one).
    void check_label(const form_value& value, const char* name)
    {
        if (value.equals < 0) {
            add(severity::error, value.parts[0].field >= 0 ? value.parts[0].field : size,
                std::string("no '=' in front of ") + name +
                    " within 1001 characters, or the file ends: tarnvel prints \"file read "
                    "message: stop_signal '=' lost\" and reads it from here");
            return;
        }
        const std::string line = rest_of_line(value.equals + 1);
        const std::size_t second = line.find('=');
        if (!shifted && second != std::string::npos) {
            add(severity::error, value.equals + 1 + static_cast<long long>(second),
                std::string("a second '=' on the line of ") + name +
                    ": a label that holds '=' shifts this value and every later one");
            shifted = true;
        }
    }
    bool shifted = false;

    // A '=' after the last value read: a value that is never read.
    void check_unread_values(const form_value& last)
    {
        const value_span& end = last.parts[last.part_count > 0 ? last.part_count - 1 : 0];
        if (last.equals < 0 || end.end < 0)
            return;
        const std::string rest = lines.text_between(end.end, end.end + (1 << 16), 1 << 16);
        const std::size_t equals = rest.find('=');
        if (equals != std::string::npos)
            add(severity::note, end.end + static_cast<long long>(equals),
                "this '=' comes after the last value tarnvel reads: what follows is never read");
    }

    // Parts without a number, and text behind a value on its line.
    void check_numbers(const form_value& value, const char* name, const char* kept)
    {
        for (int p = 0; p < value.part_count; ++p) {
            const value_span& part = value.parts[p];
            if (!part.found)
                add(severity::error, part.start,
                    std::string(name) +
                        (value.part_count == 3 ? std::string(" (") + arc_part_names[p] + ")" : "") +
                        " holds no number here: tarnvel keeps " + kept);
        }
        if (value.part_count == 0 || !value.parts[value.part_count - 1].found)
            return;
        const long long end = value.parts[value.part_count - 1].end;
        const std::string rest = rest_of_line(end);
        const auto text =
            std::find_if(rest.begin(), rest.end(), [](char c) { return !is_blank(c); });
        if (text != rest.end())
            add(severity::warning, end + (text - rest.begin()),
                std::string(name) + " ends before " + quoted(std::string(text, rest.end())) +
                    ", which tarnvel passes over with the next label");
    }
};

// A bound as the page's query summary writes it.
std::string arc_text(const arc& a, bool is_declination)
{
    char text[max_arc_text];
    return std::string(text, put_arc_text(text, a, is_declination, seconds_form::truncated));
}

// Which arc of a position the program's own range check refuses.
bool declination_refused(const arc& declination)
{
    sky_coords alone;
    alone.declination = declination;
    return alone.value_checker() == 0;
}

bool ascension_refused(const arc& ascension)
{
    sky_coords alone;
    alone.ascension = ascension;
    return alone.value_checker() == 0;
}

// Reads the form `text` with `read(stream)`, as the program reads it;
// false when it cannot be read.
template <typename Reader>
bool read_form(const text_source& text, Reader read)
{
    scan_stream stream(text);
    if (first_reading(stream) != reading_outcome::read)
        return false;
    read(stream);
    return true;
}

} // namespace

bool check_query_form(const text_source& text, file_findings& findings)
{
    query_spans spans;
    query_text read;
    if (!read_form(text, [&](scan_stream& stream) { read = read_query_values(stream, &spans); }))
        return false;
    form_walk walk(text, findings);
    for (int v = 0; v < 11; ++v) {
        walk.check_label(spans.values[v], query_value_names[v]);
        walk.check_numbers(spans.values[v], query_value_names[v], v == 0 ? "the epoch 2000" : "0");
    }

    walk.check_unread_values(spans.values[10]);

    const query_faults faults = check_query(read);
    const form_value* const values = spans.values;
    const char* const refuses = "tarnvel refuses the query: ";
    if (faults.minimal_sign_lost)
        walk.add(severity::error, values[3].sign,
                 std::string(refuses) + "\"Sign '+' or '-' of minimal declination is lost\": the "
                                        "character right behind '=' is the sign");
    if (faults.maximal_sign_lost)
        walk.add(severity::error, values[4].sign,
                 std::string(refuses) + "\"Sign '+' or '-' of maximal declination is lost\": the "
                                        "character right behind '=' is the sign");
    const char* const rules = "\"Error: parameters have to be the following\": ";
    const struct {
        bool refused;
        int value;
        const char* range;
    } bounds[] = {
        {faults.lower_out_of_range && ascension_refused(minimal_ascension), 1,
         "right ascensions from 00:00:00 to 24:00:00, minutes 0 to 59, seconds below 60"},
        {faults.upper_out_of_range && ascension_refused(maximal_ascension), 2,
         "right ascensions from 00:00:00 to 24:00:00, minutes 0 to 59, seconds below 60"},
        {faults.lower_out_of_range && declination_refused(minimal_declination), 3,
         "declinations from -90:00:00 to +90:00:00, minutes 0 to 59, seconds below 60"},
        {faults.upper_out_of_range && declination_refused(maximal_declination), 4,
         "declinations from -90:00:00 to +90:00:00, minutes 0 to 59, seconds below 60"},
    };
    for (const auto& bound : bounds)
        if (bound.refused)
            walk.add(severity::error, values[bound.value].parts[0].start,
                     std::string(refuses) + rules + query_value_names[bound.value] +
                         " lies outside " + bound.range);
    if (faults.declinations_reversed)
        walk.add(severity::error, values[3].parts[0].start,
                 std::string(refuses) +
                     "\"minimal declination must be less then maximal declination\": " +
                     arc_text(minimal_declination, true) + " lies above " +
                     arc_text(maximal_declination, true));
    if (faults.ascensions_reversed) {
        walk.add(severity::error, values[1].parts[0].start,
                 std::string(refuses) +
                     "\"minimal ascension must be less then maximal ascension\": " +
                     arc_text(minimal_ascension, false) + " lies above " +
                     arc_text(maximal_ascension, false));
        walk.add(severity::note, values[1].parts[0].start,
                 "an interval through 0 h is asked as two queries: from the minimum to "
                 "24:00:00, and from 00:00:00 to the maximum");
    }
    if (faults.redshifts_reversed)
        walk.add(severity::error, values[5].parts[0].start,
                 std::string(refuses) + "\"minimal redshift must be less then maximal redshift\"");
    if (epoch != 2000 && epoch != 1950)
        walk.add(severity::error, values[0].parts[0].start,
                 "the epoch " + std::to_string(epoch) +
                     ": tarnvel answers only for 2000 and 1950 (\"Invalid epoch value\") and "
                     "writes no page");
    const struct {
        double low, high;
        int value;
        const char* name;
    } magnitudes[] = {
        {min_apparent_magnitude, max_apparent_magnitude, 7, "apparent"},
        {min_absolute_magnitude, max_absolute_magnitude, 9, "absolute"},
    };
    for (const auto& m : magnitudes)
        if (m.low > m.high)
            walk.add(severity::warning, values[m.value].parts[0].start,
                     std::string("the minimal ") + m.name +
                         " magnitude lies above the maximal: only entries without that magnitude "
                         "(1e8) pass");
    return true;
}

bool check_style_file(const text_source& text, file_findings& findings)
{
    style_spans spans;
    if (!read_form(text, [&](scan_stream& stream) { read_style(stream, &spans); }))
        return false;
    form_walk walk(text, findings);
    for (int v = 0; v < 6; ++v) {
        walk.check_label(spans.values[v], style_value_names[v]);
        if (v < 3)
            walk.check_numbers(spans.values[v], style_value_names[v], "0");
    }
    const form_value* const values = spans.values;
    if (border < 0)
        walk.add(severity::note, values[0].parts[0].start,
                 "a negative border: the table gets no border attribute");
    const int sizes[2] = {width, height};
    for (int v = 1; v <= 2; ++v)
        if (sizes[v - 1] < 0 || sizes[v - 1] > 100)
            walk.add(severity::warning, values[v].parts[0].start,
                     std::string(style_value_names[v]) + " is " + std::to_string(sizes[v - 1]) +
                         " percent, where 0 to 100 is meant" +
                         (sizes[v - 1] < 0 ? ", which the page writes as " +
                                                 std::to_string(static_cast<unsigned>(sizes[v - 1]))
                                           : std::string()));
    const char letters[3] = {color_interchange, header_align, cell_align};
    for (int v = 3; v < 6; ++v) {
        const char letter = letters[v - 3];
        const long long at = values[v].parts[0].start;
        if (!values[v].parts[0].found)
            continue;
        if (v == 3) {
            if (letter != 'y' && letter != 'n')
                walk.add(severity::warning, at,
                         quoted(std::string(1, letter)) +
                             " is no colour switch: only 'y' (lower case, right behind '=') turns "
                             "alternating row colours on");
        } else if (letter != 'l' && letter != 'c' && letter != 'r') {
            walk.add(severity::warning, at,
                     quoted(std::string(1, letter)) +
                         " is no alignment letter: " + style_value_names[v] +
                         " is written empty; the letters are l, c and r, right behind '='");
        }
    }
    return true;
}

} // namespace tarnvel
