// The reader and the checks of the query form "query.frm".
#include <cmath>
#include <cstdio>

#include "input/form_reading.h"
#include "input/readers.h"
#include "input/reading.h"
#include "input/stop_scan.h"
#include "state/state.h"
#include "system/process.h"

namespace tarnvel {

namespace {

// "%lg", "%*c", "%lg", "%*c", "%lg", "\n": leading unit, separator, minutes,
// separator, seconds.
void read_arc(form_reading& form, arc& target)
{
    form.read_double(target.units);
    form.skip_char();
    form.read_double(target.minutes);
    form.skip_char();
    form.read_double(target.seconds);
    form.skip_whitespace();
}

// "%lg", "\n".
void read_bound(form_reading& form, double& target)
{
    form.next_value();
    form.read_double(target);
    form.skip_whitespace();
}

// "%c": the sign character right behind the '=', then the arc.
void read_declination(form_reading& form, char& sign_character, arc& target)
{
    form.next_value();
    form.read_sign(sign_character);
    read_arc(form, target);
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

bool query_faults::refused() const
{
    return minimal_sign_lost || maximal_sign_lost || lower_out_of_range || upper_out_of_range ||
           declinations_reversed || ascensions_reversed || redshifts_reversed;
}

query_text read_query_values(scan_stream& stream, query_spans* spans)
{
    form_reading form(stream, spans != nullptr ? spans->values : nullptr);
    query_text text;
    form.next_value();
    form.read_int(epoch);
    form.skip_whitespace();
    form.next_value();
    read_arc(form, minimal_ascension);
    form.next_value();
    read_arc(form, maximal_ascension);
    read_declination(form, text.minimal_sign, minimal_declination);
    read_declination(form, text.maximal_sign, maximal_declination);
    read_bound(form, min_redshift);
    read_bound(form, max_redshift);
    read_bound(form, min_apparent_magnitude);
    read_bound(form, max_apparent_magnitude);
    read_bound(form, min_absolute_magnitude);
    read_bound(form, max_absolute_magnitude);
    text.lost_labels = form.lost_labels();
    return text;
}

query_faults check_query(const query_text& text)
{
    query_faults faults;
    faults.minimal_sign_lost = !is_sign(text.minimal_sign);
    faults.maximal_sign_lost = !is_sign(text.maximal_sign);
    normalise(minimal_declination, text.minimal_sign);
    normalise(maximal_declination, text.maximal_sign);

    sky_coords lower;
    lower.declination = minimal_declination;
    lower.ascension = minimal_ascension;
    sky_coords upper;
    upper.declination = maximal_declination;
    upper.ascension = maximal_ascension;
    // Both verdicts are always made.
    const int lower_verdict = lower.value_checker();
    const int upper_verdict = upper.value_checker();
    faults.lower_out_of_range = lower_verdict == 0;
    faults.upper_out_of_range = upper_verdict == 0;

    faults.declinations_reversed = minimal_declination.value() > maximal_declination.value();
    faults.ascensions_reversed = minimal_ascension.value() > maximal_ascension.value();
    faults.redshifts_reversed = min_redshift > max_redshift;
    return faults;
}

void report_query_faults(const query_faults& faults)
{
    if (faults.minimal_sign_lost)
        console_write("Sign '+' or '-' of minimal declination is lost\n");
    if (faults.maximal_sign_lost)
        console_write("Sign '+' or '-' of maximal declination is lost\n");
    if (faults.minimal_sign_lost || faults.maximal_sign_lost || faults.lower_out_of_range ||
        faults.upper_out_of_range) {
        console_write("Error: parameters have to be the following:\n");
        console_write("-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  ");
        console_write("redshift>=0,\n");
        console_write("00<=min<=59,  00<=sec<60 \n");
    }
    if (faults.declinations_reversed)
        console_write("minimal declination must be less then maximal declination\n");
    if (faults.ascensions_reversed)
        console_write("minimal ascension must be less then maximal ascension\n");
    if (faults.redshifts_reversed)
        console_write("minimal redshift must be less then maximal redshift\n");
}

int read_query(scan_stream& stream)
{
    const query_text text = read_query_values(stream);
    report_stop_lost('=', text.lost_labels);
    const query_faults faults = check_query(text);
    report_query_faults(faults);
    return faults.refused() ? 0 : 1;
}

int init_query_parameters()
{
    int result = 0;
    const reading_outcome outcome =
        read_input_file("query.frm", [&](scan_stream& s) { result = read_query(s); });
    // The message names "query.form", as it always has.
    report_unread(
        outcome, {"error of opening file ", "query.form", "not enough memory to read query.frm\n"});
    return outcome == reading_outcome::read ? result : 0;
}

} // namespace tarnvel
