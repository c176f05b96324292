// The console's word on an input file that was not read.
#include "input/reading.h"

#include <cstdio>

#include "state/state.h"
#include "system/process.h"

namespace tarnvel {

void report_unread(reading_outcome outcome, const unread_file_texts& texts)
{
    switch (outcome) {
    case reading_outcome::read:
        return;
    case reading_outcome::cannot_open:
        console_write(texts.cannot_open_text);
        console_write(texts.cannot_open_name);
        console_write("\n");
        return;
    case reading_outcome::no_memory:
        console_write(texts.no_memory_text);
        ran_out_of_memory = true;
        return;
    }
}

} // namespace tarnvel
