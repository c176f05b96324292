// How every input file is read: opened once, scanned through a scan_stream,
// closed; and what the console says of a file that was not read.
#ifndef TARNVEL_INPUT_READING_H
#define TARNVEL_INPUT_READING_H

#include "input/scan_stream.h"
#include "system/input_file.h"

namespace tarnvel {

// How the reading of an input file went.
enum class reading_outcome {
    read,        // the file was read
    cannot_open, // it could not be opened or read at all; nothing was read
    no_memory,   // memory ran out before it was read whole
};

// The console's texts for a file that was not read: cannot_open_text, then
// cannot_open_name and a line feed when it could not be opened;
// no_memory_text when memory ran out.
struct unread_file_texts {
    const char* cannot_open_text;
    const char* cannot_open_name;
    const char* no_memory_text;
};

// Whether the text that `stream` has just begun to read can be read: its
// buffer was allocated, and its first read did not fail.
inline reading_outcome first_reading(const scan_stream& stream)
{
    if (!stream.ok())
        return reading_outcome::no_memory;
    return stream.read_failed() ? reading_outcome::cannot_open : reading_outcome::read;
}

// Opens the input file `name` for reading only and, when it can be read,
// runs `read(stream)` over a scan_stream of it from its start; closes it.
// Prints nothing.
template <typename Reader>
reading_outcome read_input_file(const char* name, Reader&& read)
{
    input_file file;
    if (!file.open(name))
        return reading_outcome::cannot_open;
    text_source source;
    source.file = &file;
    scan_stream stream(source);
    const reading_outcome outcome = first_reading(stream);
    if (outcome == reading_outcome::read)
        read(stream);
    return outcome;
}

// Prints what `texts` hold for `outcome` (nothing for a file that was
// read); when memory ran out, also sets ran_out_of_memory (state/state.h).
void report_unread(reading_outcome outcome, const unread_file_texts& texts);

} // namespace tarnvel

#endif
