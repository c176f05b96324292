// The report of a skip to a stop character that gave up.
#include "input/stop_scan.h"
#include "system/process.h"

#include <cstdio>

namespace tarnvel {

void report_stop_lost(char stop, int times)
{
    for (int i = 0; i < times; ++i) {
        console_write("file read message: stop_signal '");
        console_put(stop);
        console_write("' lost\n");
    }
}

int descriptor_shift(scan_stream& stream, char stop)
{
    if (skip_to_stop(stream, stop))
        return 0;
    report_stop_lost(stop);
    return 1;
}

} // namespace tarnvel
