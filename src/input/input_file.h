// The way every input file is read: opened, scanned through a scan_stream,
// closed.
#ifndef TARNVEL_INPUT_INPUT_FILE_H
#define TARNVEL_INPUT_INPUT_FILE_H

#include <cstdio>

#include "input/scan_stream.h"

enum class input_status {
    read,        // the file was opened and `read` ran over it
    cannot_open, // the file could not be opened or read at all; nothing was read
    no_buffer,   // the file was opened, but no buffer could be had to read it
};

// Opens the input file `name` for reading only, without line-end
// translation, runs `read(stream)` over a scan_stream of it and closes it.
// Prints nothing.
template <typename Reader>
input_status read_input_file(const char* name, Reader&& read)
{
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return input_status::cannot_open;
    input_status status = input_status::read;
    {
        scan_stream stream(file);
        if (!stream.ok())
            status = input_status::no_buffer;
        else if (stream.read_failed())
            status = input_status::cannot_open;
        else
            read(stream);
    }
    std::fclose(file);
    return status;
}

// What a reader returns for `status`: `read_result` when its file was read;
// when the file cannot be opened, `missing_result` after printing
// `missing_text`, `missing_name` and a line feed; when no buffer could be
// had, no_memory (state/state.h) after printing `memory_text`.
int reader_result(input_status status, int read_result, const char* missing_text,
                  const char* missing_name, int missing_result, const char* memory_text);

#endif
