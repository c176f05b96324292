// Stop-character scanning: moving over the labels and field tails that end
// in '=' (query and style files) or '$' (catalogue).
#ifndef TARNVEL_INPUT_STOP_SCAN_H
#define TARNVEL_INPUT_STOP_SCAN_H

#include "input/scan_stream.h"

namespace tarnvel {

// The most characters one skip reads: a label or field tail of up to 1000
// characters and its stop character.
constexpr long long stop_scan_limit = 1001;

// Consumes characters of `stream` up to and including the next `stop`,
// reading at most stop_scan_limit characters. Returns true when the stop
// character was read; false (1001 characters read without it, or end of
// input) leaves the stream after the last character read. Prints nothing.
inline bool skip_to_stop(scan_stream& stream, char stop)
{
    return stream.skip_if_next(stop) || stream.skip_to(stop, stop_scan_limit) >= 0;
}

// Prints "file read message: stop_signal '<stop>' lost\n" on standard
// output `times` times: the report of a skip that gave up.
void report_stop_lost(char stop, int times = 1);

// skip_to_stop, reported: returns 0 when the stop character was read;
// otherwise prints the report once and returns 1.
int descriptor_shift(scan_stream& stream, char stop);

} // namespace tarnvel

#endif
