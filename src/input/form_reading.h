// The reading of a form file ("query.frm", "style.var"): values, each behind
// a label that ends in '=', read with the formatted-input conversions, and,
// when asked for, where each value's text lies.
#ifndef TARNVEL_INPUT_FORM_READING_H
#define TARNVEL_INPUT_FORM_READING_H

#include "input/scan_stream.h"
#include "input/text_spans.h"

namespace tarnvel {

class form_reading {
public:
    // Reads from `stream`; with `spans`, an array of one form_value per
    // value of the form, notes where each value lies.
    form_reading(scan_stream& stream, form_value* spans) : stream_(stream), spans_(spans) {}

    // Passes the label of the next value and its '=' (the skip of at most
    // 1001 characters); a skip that gives up is counted, not reported.
    void next_value();

    // The conversions, each a part of the current value: "%d" and "%lg"
    // (white space first; a target without a number keeps its value),
    // "%c" (the next character, whatever it is; the target keeps its value at
    // the end of input), "%*c" (one character, thrown away) and "\n" (white
    // space). read_sign is "%c" for a declination's sign character.
    void read_int(int& target);
    void read_double(double& target);
    void read_char(char& target);
    void read_sign(char& target);
    void skip_char() { stream_.get(); }
    void skip_whitespace() { stream_.skip_whitespace(); }

    // How many skips to '=' gave up, each owing the console a report.
    int lost_labels() const { return lost_labels_; }

private:
    value_span* next_part(); // the span of the current value's next part, or null
    // "%d" or "%lg" by `convert`, which returns whether it found a number,
    // with white space skipped first and the part's span noted.
    template <typename Conversion>
    void read_number(Conversion convert);

    scan_stream& stream_;
    form_value* spans_;
    int value_ = -1; // the current value
    int lost_labels_ = 0;
};

} // namespace tarnvel

#endif
