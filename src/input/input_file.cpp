// The console's word on an input file that could not be read.
#include "input/input_file.h"

#include "state/state.h"

int reader_result(input_status status, int read_result, const char* missing_text,
                  const char* missing_name, int missing_result, const char* memory_text)
{
    switch (status) {
    case input_status::read:
        return read_result;
    case input_status::cannot_open:
        std::fputs(missing_text, stdout);
        std::fputs(missing_name, stdout);
        std::fputs("\n", stdout);
        return missing_result;
    case input_status::no_buffer:
        break;
    }
    std::fputs(memory_text, stdout);
    return no_memory;
}
