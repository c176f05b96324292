// The reader and the checks of the query form "query.frm".
#include <cmath>
#include <cstdio>

#include "input/reading.h"
#include "input/readers.h"
#include "input/stop_scan.h"
#include "state/state.h"

namespace {

// "%lg", "%*c", "%lg", "%*c", "%lg", "\n": leading unit, separator, minutes,
// separator, seconds.
void read_arc(scan_stream& stream, arc& target)
{
    stream.read_double(target.units);
    stream.get();
    stream.read_double(target.minutes);
    stream.get();
    stream.read_double(target.seconds);
    stream.skip_whitespace();
}

// "%lg", "\n".
void read_bound(scan_stream& stream, double& target)
{
    descriptor_shift(stream, '=');
    stream.read_double(target);
    stream.skip_whitespace();
}

// "%c": the sign character right behind the '=', then the arc.
void read_declination(scan_stream& stream, char& sign_character, arc& target)
{
    descriptor_shift(stream, '=');
    const int c = stream.get();
    if (c >= 0)
        sign_character = static_cast<char>(c);
    read_arc(stream, target);
}

void normalise(arc& bound, char sign_character)
{
    bound.units = std::fabs(bound.units);
    bound.sign = sign_character == '-' ? -1 : 1;
}

bool is_sign(char c)
{
    return c == '+' || c == '-';
}

} // namespace

int read_query(scan_stream& stream)
{
    int result = 1;

    descriptor_shift(stream, '=');
    stream.read_int(epoch);
    stream.skip_whitespace();
    descriptor_shift(stream, '=');
    read_arc(stream, minimal_ascension);
    descriptor_shift(stream, '=');
    read_arc(stream, maximal_ascension);
    char minimal_sign = '+';
    char maximal_sign = '+';
    read_declination(stream, minimal_sign, minimal_declination);
    read_declination(stream, maximal_sign, maximal_declination);
    read_bound(stream, min_redshift);
    read_bound(stream, max_redshift);
    read_bound(stream, min_apparent_magnitude);
    read_bound(stream, max_apparent_magnitude);
    read_bound(stream, min_absolute_magnitude);
    read_bound(stream, max_absolute_magnitude);

    if (!is_sign(minimal_sign)) {
        std::fputs("Sign '+' or '-' of minimal declination is lost\n", stdout);
        result = 0;
    }
    if (!is_sign(maximal_sign)) {
        std::fputs("Sign '+' or '-' of maximal declination is lost\n", stdout);
        result = 0;
    }
    normalise(minimal_declination, minimal_sign);
    normalise(maximal_declination, maximal_sign);

    sky_coords lower;
    lower.declination = minimal_declination;
    lower.ascension = minimal_ascension;
    sky_coords upper;
    upper.declination = maximal_declination;
    upper.ascension = maximal_ascension;
    const int lower_verdict = lower.value_checker();
    const int upper_verdict = upper.value_checker();
    result = result * lower_verdict * upper_verdict;

    if (result == 0) {
        std::fputs("Error: parameters have to be the following:\n", stdout);
        std::fputs("-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  ", stdout);
        std::fputs("redshift>=0,\n", stdout);
        std::fputs("00<=min<=59,  00<=sec<60 \n", stdout);
    }
    if (minimal_declination.value() > maximal_declination.value()) {
        std::fputs("minimal declination must be less then maximal declination\n", stdout);
        result = 0;
    }
    if (minimal_ascension.value() > maximal_ascension.value()) {
        std::fputs("minimal ascension must be less then maximal ascension\n", stdout);
        result = 0;
    }
    if (min_redshift > max_redshift) {
        std::fputs("minimal redshift must be less then maximal redshift\n", stdout);
        result = 0;
    }
    return result;
}

int init_query_parameters()
{
    int result = 0;
    const reading_outcome outcome =
        read_input_file("query.frm", [&](scan_stream& s) { result = read_query(s); });
    // The message names "query.form", as it always has.
    report_unread(outcome,
                  {"error of opening file ", "query.form", "not enough memory to read query.frm\n"});
    return outcome == reading_outcome::read ? result : 0;
}
