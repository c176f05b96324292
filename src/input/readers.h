// The readers of the three input files. Each opens its file for reading,
// reads it through a scan_stream and closes it; each reports its failures on
// standard output. A reader that runs out of memory prints "not enough
// memory ...", sets ran_out_of_memory (state/state.h) and returns its
// failure.
#ifndef TARNVEL_INPUT_READERS_H
#define TARNVEL_INPUT_READERS_H

#include "input/scan_stream.h"

// "style.var": six values, each behind a label ending in '=', into border,
// width, height ("%d\n") and color_interchange, header_align, cell_align
// ("%c\n"). Returns 0 when the file was read, 1 (after "error of opening
// file style.var\n") when it could not be opened; no global changes then.
int init_style_variables();
// The six values from `stream`, as init_style_variables reads them.
void read_style(scan_stream& stream);

// "query.frm": the epoch and the ten bounds, each behind a label ending in
// '='. The declination bounds get their signs from the character right
// behind their '='. Every check is made and every failure printed, in order.
// Returns 1 for a valid query, 0 for a refused one or when the file could not
// be opened ("error of opening file query.form\n"; no global changes then).
int init_query_parameters();
// The query from `stream`, read and checked as init_query_parameters does;
// returns 1 for a valid query, 0 for a refused one.
int read_query(scan_stream& stream);

// The catalogue `file_name` (read_catalogue, input/catalogue_parts.h), on
// every core. Returns 0 when the file was read, 1 when it could not be read
// (after "error open file <name>\n"; the list is DB_First alone, as it was)
// or memory ran out.
int Read_record_list(const char* file_name);

#endif
