// The reader of the table style file "style.var".
#include <cstdio>

#include "input/reading.h"
#include "input/readers.h"
#include "input/stop_scan.h"
#include "state/state.h"

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
    const reading_outcome outcome = read_input_file("style.var", read_style);
    report_unread(outcome,
                  {"error of opening file ", "style.var", "not enough memory to read style.var\n"});
    return outcome == reading_outcome::read ? 0 : 1;
}
