// The reader of the table style file "style.var".
#include "input/form_reading.h"
#include "input/readers.h"
#include "input/reading.h"
#include "input/stop_scan.h"
#include "state/state.h"

namespace tarnvel {

namespace {

// Skip to '=', then "%d\n".
void read_number(form_reading& form, int& target)
{
    form.next_value();
    form.read_int(target);
    form.skip_whitespace();
}

// Skip to '=', then "%c\n".
void read_letter(form_reading& form, char& target)
{
    form.next_value();
    form.read_char(target);
    form.skip_whitespace();
}

} // namespace

int read_style(scan_stream& stream, style_spans* spans)
{
    form_reading form(stream, spans != nullptr ? spans->values : nullptr);
    read_number(form, border);
    read_number(form, width);
    read_number(form, height);
    read_letter(form, color_interchange);
    read_letter(form, header_align);
    read_letter(form, cell_align);
    return form.lost_labels();
}

int init_style_variables()
{
    int lost_labels = 0;
    const reading_outcome outcome =
        read_input_file("style.var", [&](scan_stream& s) { lost_labels = read_style(s); });
    report_stop_lost('=', lost_labels);
    report_unread(outcome,
                  {"error of opening file ", "style.var", "not enough memory to read style.var\n"});
    return outcome == reading_outcome::read ? 0 : 1;
}

} // namespace tarnvel
