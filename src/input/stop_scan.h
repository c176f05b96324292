// Stop-character scanning: moving over the labels and field tails that end
// in '=' (query and style files) or '$' (catalogue).
#ifndef TARNVEL_INPUT_STOP_SCAN_H
#define TARNVEL_INPUT_STOP_SCAN_H

#include "input/scan_stream.h"

// Consumes characters of `stream` up to and including the next `stop`,
// reading at most 1001 characters. Returns 0 when the stop character was
// read. Otherwise (1001 characters read without it, or end of input) prints
// "file read message: stop_signal '<stop>' lost\n" on standard output and
// returns 1; the stream then stands after the last character read.
int descriptor_shift(scan_stream& stream, char stop);

// descriptor_shift for a stop character that usually comes next: the same
// result and effect, without a call in the usual case.
inline int skip_past(scan_stream& stream, char stop)
{
    return stream.skip_if_next(stop) ? 0 : descriptor_shift(stream, stop);
}

#endif
