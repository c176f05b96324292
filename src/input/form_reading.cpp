// The conversions of a form's values, and their spans.
#include "input/form_reading.h"

#include "input/stop_scan.h"

namespace tarnvel {

void form_reading::next_value()
{
    ++value_;
    const bool found = skip_to_stop(stream_, '=');
    if (!found)
        ++lost_labels_;
    if (spans_ != nullptr)
        spans_[value_].equals = found ? stream_.offset() - 1 : -1;
}

value_span* form_reading::next_part()
{
    if (spans_ == nullptr || value_ < 0)
        return nullptr;
    form_value& value = spans_[value_];
    if (value.part_count == 3)
        return nullptr;
    value_span* part = &value.parts[value.part_count++];
    part->field = stream_.offset();
    return part;
}

template <typename Conversion>
void form_reading::read_number(Conversion convert)
{
    value_span* part = next_part();
    stream_.skip_whitespace();
    if (part != nullptr)
        part->start = stream_.offset();
    const bool found = convert();
    if (part != nullptr) {
        part->found = found;
        part->end = stream_.offset();
    }
}

void form_reading::read_int(int& target)
{
    read_number([&] { return stream_.read_int(target); });
}

void form_reading::read_double(double& target)
{
    read_number([&] { return stream_.read_double(target); });
}

void form_reading::read_char(char& target)
{
    value_span* part = next_part();
    const int c = stream_.get();
    if (c >= 0)
        target = static_cast<char>(c);
    if (part != nullptr) {
        part->start = part->field;
        part->found = c >= 0;
        part->end = stream_.offset();
    }
}

void form_reading::read_sign(char& target)
{
    if (spans_ != nullptr && value_ >= 0)
        spans_[value_].sign = stream_.offset();
    const int c = stream_.get();
    if (c >= 0)
        target = static_cast<char>(c);
}

} // namespace tarnvel
