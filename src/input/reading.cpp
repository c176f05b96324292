// The console's word on an input file that was not read.
#include "input/reading.h"

#include <cstdio>

#include "state/state.h"

namespace tarnvel {

void report_unread(reading_outcome outcome, const unread_file_texts& texts)
{
    switch (outcome) {
    case reading_outcome::read:
        return;
    case reading_outcome::cannot_open:
        std::fputs(texts.cannot_open_text, stdout);
        std::fputs(texts.cannot_open_name, stdout);
        std::fputs("\n", stdout);
        return;
    case reading_outcome::no_memory:
        std::fputs(texts.no_memory_text, stdout);
        ran_out_of_memory = true;
        return;
    }
}

} // namespace tarnvel
