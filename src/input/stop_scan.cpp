// The skip to a stop character and the reading of a text field.
#include "input/stop_scan.h"

#include <cstdio>

#include "model/string.h"

int descriptor_shift(scan_stream& stream, char stop)
{
    const long limit = 1001;
    if (stream.skip_to(stop, limit) >= 0)
        return 0;
    std::fputs("file read message: stop_signal '", stdout);
    std::fputc(stop, stdout);
    std::fputs("' lost\n", stdout);
    return 1;
}

int string::Read_string(scan_stream& stream, char stop)
{
    const int stored = stream.read_field(text, 99, stop);
    text[stored] = '\0';
    return stored;
}
