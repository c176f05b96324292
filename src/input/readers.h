// The readers of the three input files. Each opens its file for reading,
// reads it through a scan_stream and closes it; each reports its failures on
// standard output. A reader that cannot get the memory to read its file
// prints "not enough memory ..." and returns no_memory (state/state.h).
#ifndef TARNVEL_INPUT_READERS_H
#define TARNVEL_INPUT_READERS_H

#include "input/scan_stream.h"

// "style.var": six values, each behind a label ending in '=', into border,
// width, height ("%d\n") and color_interchange, header_align, cell_align
// ("%c\n"). Returns 0 when the file was read, 1 (after "error of opening
// file style.var\n") when it could not be opened; no global changes then.
int init_style_variables();
void read_style(scan_stream& stream);

// "query.frm": the epoch and the ten bounds, each behind a label ending in
// '='. The declination bounds get their signs from the character right
// behind their '='. Every check is made and every failure printed, in order.
// Returns 1 for a valid query, 0 for a refused one or when the file could not
// be opened ("error of opening file query.form\n"; no global changes then).
int init_query_parameters();
int read_query(scan_stream& stream);

// The catalogue `file_name`: 17 '$'-ended fields per entry, the first entry
// into DB_First and every further one into a record of catalogue_records
// appended to the list, up to an entry whose first name is empty, or the end
// of input (a first name that it cuts is no entry). Returns 0 when the file
// was read, 1 (after "error open file <name>\n") when it could not be
// opened, leaving the list DB_First alone, as it was.
int Read_record_list(const char* file_name);
// The same from `stream`; returns 0 or no_memory.
int read_catalogue(scan_stream& stream);

#endif
