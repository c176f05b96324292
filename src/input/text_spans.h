// Where the readers met each value in a file's text, as offsets: what a
// reader notes for the input checker (tarnvel-check), which points at the
// text. The program itself asks for none and pays nothing for them.
#ifndef TARNVEL_INPUT_TEXT_SPANS_H
#define TARNVEL_INPUT_TEXT_SPANS_H

#include <cstddef>

namespace tarnvel {

// One value's text.
struct value_span {
    long long field = -1; // where the reader began on it: behind its '$' or '='
    long long start = -1; // where its value begins, white space skipped
    long long end = -1;   // just past the value's text, or where the reader gave up
    bool found = false;   // a value was read there (a number, a letter)
};

// A value of a form ("query.frm", "style.var") behind its label.
struct form_value {
    long long equals = -1; // the offset of its '=', or -1 when the skip gave up
    int part_count = 0;    // how many parts follow: 1, or 3 for an arc
    value_span parts[3];   // its number(s) or letter
    long long sign = -1;   // a declination's sign character, right behind the '='
};

// The values of a form, in file order.
template <std::size_t count>
struct form_spans {
    form_value values[count];
};

} // namespace tarnvel

#endif
