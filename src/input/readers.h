// The readers of the three input files. Each opens its file for reading,
// reads it through a scan_stream and closes it; each reports its failures on
// standard output. A reader that runs out of memory prints "not enough
// memory ...", sets ran_out_of_memory (state/state.h) and returns its
// failure.
#ifndef TARNVEL_INPUT_READERS_H
#define TARNVEL_INPUT_READERS_H

#include "input/scan_stream.h"
#include "input/text_spans.h"

namespace tarnvel {

// Where the values of the two forms lie.
using style_spans = form_spans<6>;
using query_spans = form_spans<11>;

// "style.var": six values, each behind a label ending in '=', into border,
// width, height ("%d\n") and color_interchange, header_align, cell_align
// ("%c\n"). Returns 0 when the file was read, 1 (after "error of opening
// file style.var\n") when it could not be opened; no global changes then.
int init_style_variables();
// The six values from `stream`, as init_style_variables reads them; with
// `spans`, notes where each lies. Returns how many skips to '=' gave up:
// the reader prints "file read message: stop_signal '=' lost\n" for each.
int read_style(scan_stream& stream, style_spans* spans = nullptr);

// "query.frm": the epoch and the ten bounds, each behind a label ending in
// '='. The declination bounds get their signs from the character right
// behind their '='. Every check is made and every failure printed, in order.
// Returns 1 for a valid query, 0 for a refused one or when the file could not
// be opened ("error of opening file query.form\n"; no global changes then).
int init_query_parameters();
// The query from `stream`, read and checked as init_query_parameters does,
// with every message; returns 1 for a valid query, 0 for a refused one.
int read_query(scan_stream& stream);

// What read_query reads besides the query globals: the declinations' sign
// characters ('+' where none was read) and the skips to '=' that gave up.
struct query_text {
    char minimal_sign = '+';
    char maximal_sign = '+';
    int lost_labels = 0;
};

// Why a query is refused: the checks of read_query, every one made.
struct query_faults {
    bool minimal_sign_lost = false; // no '+' or '-' behind the '='
    bool maximal_sign_lost = false;
    bool lower_out_of_range = false; // sky_coords::value_checker refuses the
    bool upper_out_of_range = false; // minimal (maximal) declination and ascension
    bool declinations_reversed = false;
    bool ascensions_reversed = false;
    bool redshifts_reversed = false;
    bool refused() const;
};

// The eleven values into the query globals, as read_query reads them,
// printing nothing; with `spans`, notes where each lies.
query_text read_query_values(scan_stream& stream, query_spans* spans = nullptr);

// Gives the declination bounds their signs and makes every check.
query_faults check_query(const query_text& text);

// Prints the messages of `faults`, in the order of the checks.
void report_query_faults(const query_faults& faults);

class entry_test; // input/catalogue_entries.h

// The catalogue `file_name` (read_catalogue, input/catalogue_parts.h), on
// every core. Without `test`, every entry is kept as read. With it, each
// entry is normalised as it is read (Correct_record_list's rule) and counted
// in total_number as Correct_record_list counts the list of every entry, so
// that Correct_record_list is not run after it, and only the further
// entries that `test` passes are kept behind DB_First. Returns 0 when the
// file was read, 1 when it could not be read (after "error open file
// <name>\n"; the list is DB_First alone, as it was) or memory ran out
// (after "not enough memory for the catalogue\n").
int Read_record_list(const char* file_name, const entry_test* test = nullptr);

} // namespace tarnvel

#endif
