// The reader of the table style file "style.var".
#include <cstdio>

#include "state/state.h"
#include "input/input_file.h"
#include "input/readers.h"
#include "input/stop_scan.h"

namespace {

// Skip to '=', then "%d\n".
void read_number(scan_stream& stream, int& target)
{
    descriptor_shift(stream, '=');
    stream.read_int(target);
    stream.skip_whitespace();
}

// Skip to '=', then "%c\n".
void read_letter(scan_stream& stream, char& target)
{
    descriptor_shift(stream, '=');
    const int c = stream.get();
    if (c >= 0)
        target = static_cast<char>(c);
    stream.skip_whitespace();
}

} // namespace

void read_style(scan_stream& stream)
{
    read_number(stream, border);
    read_number(stream, width);
    read_number(stream, height);
    read_letter(stream, color_interchange);
    read_letter(stream, header_align);
    read_letter(stream, cell_align);
}

int init_style_variables()
{
    switch (read_input_file("style.var", read_style)) {
    case input_status::read:
        return 0;
    case input_status::cannot_open:
        std::fputs("error of opening file style.var\n", stdout);
        return 1;
    case input_status::no_buffer:
        break;
    }
    std::fputs("not enough memory to read style.var\n", stdout);
    return no_memory;
}
