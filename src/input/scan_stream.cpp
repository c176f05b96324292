// The buffered character source and its conversions.
#include "input/scan_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "decimal/number_text.h"
#include "decimal/parse.h"

namespace tarnvel {

namespace {

// A sink of scan_number for "%d": the magnitude, kept just beyond every
// int's once it grows past them, and the sign.
struct int_digits {
    static constexpr long long beyond = -static_cast<long long>(std::numeric_limits<int>::min());
    long long magnitude = 0;
    bool negative = false;

    void set_negative(bool n) { negative = n; }
    bool take(unsigned digit, bool)
    {
        if (magnitude <= beyond)
            magnitude = magnitude * 10 + digit;
        return true;
    }
    void set_exponent_negative(bool) {}
    bool take_exponent_digit(unsigned) { return true; }

    // The value, clamped to the int range.
    int value() const
    {
        if (negative)
            return magnitude >= beyond ? std::numeric_limits<int>::min()
                                       : static_cast<int>(-magnitude);
        return magnitude >= beyond ? std::numeric_limits<int>::max() : static_cast<int>(magnitude);
    }
};

} // namespace

// The stream as scan_number reads it: each peek refills the buffer as
// needed, and advancing passes over characters peeked.
class scan_stream::number_source {
public:
    explicit number_source(scan_stream& stream) : stream_(stream) {}
    int peek(int ahead) { return stream_.peek(ahead); }
    void advance(int count) { stream_.pos_ += count; }

private:
    scan_stream& stream_;
};

// The default buffer is large enough that a catalogue of a hundred megabytes
// takes a few hundred reads, and small enough to stay a minor part of the
// program's memory.
scan_stream::scan_stream(const text_source& source, long long offset, std::size_t buffer_size)
    : file_(source.file), positional_(source.file != nullptr && source.file->is_regular()),
      file_offset_(offset), buffer_(nullptr),
      buffer_size_(buffer_size < min_buffer_size ? min_buffer_size : buffer_size), base_(nullptr),
      base_offset_(offset), pos_(nullptr), end_(nullptr), at_end_(true), failed_(false)
{
    if (file_ == nullptr) {
        const std::size_t from = offset <= 0 ? 0
                                             : (static_cast<std::size_t>(offset) < source.size
                                                    ? static_cast<std::size_t>(offset)
                                                    : source.size);
        base_ = pos_ = source.data + from;
        end_ = source.data + source.size;
        base_offset_ = static_cast<long long>(from);
        return;
    }
    buffer_ = new (std::nothrow) char[buffer_size_];
    base_ = pos_ = end_ = buffer_;
    if (buffer_ == nullptr)
        return;
    at_end_ = false;
    refill();
}

scan_stream::scan_stream(const char* data, std::size_t size, long long offset)
    : file_(nullptr), positional_(false), file_offset_(0), buffer_(nullptr), buffer_size_(0),
      base_(data), base_offset_(offset), pos_(data), end_(data + size), at_end_(true),
      failed_(false)
{
}

scan_stream::~scan_stream()
{
    delete[] buffer_;
}

long long scan_stream::read_more(char* into, std::size_t room)
{
    const long long got =
        positional_ ? file_->read_at(file_offset_, into, room) : file_->read(into, room);
    if (got < 0) {
        failed_ = true;
        return 0;
    }
    file_offset_ += got;
    return got;
}

bool scan_stream::fill_at_least(std::ptrdiff_t count)
{
    if (at_end_)
        return end_ - pos_ >= count;
    const std::size_t kept = static_cast<std::size_t>(end_ - pos_);
    base_offset_ += pos_ - buffer_;
    if (kept != 0 && pos_ != buffer_)
        std::memmove(buffer_, pos_, kept);
    pos_ = base_ = buffer_;
    end_ = buffer_ + kept;
    while (end_ - pos_ < count) {
        const std::size_t room = buffer_size_ - static_cast<std::size_t>(end_ - buffer_);
        const long long got = read_more(buffer_ + (end_ - buffer_), room);
        if (got == 0) {
            at_end_ = true;
            break;
        }
        end_ += got;
    }
    return end_ - pos_ >= count;
}

bool scan_stream::refill()
{
    return fill_at_least(end_ - pos_ + 1);
}

void scan_stream::skip_whitespace_run()
{
    for (;;) {
        while (pos_ != end_ && is_white_space(static_cast<unsigned char>(*pos_)))
            ++pos_;
        if (pos_ != end_ || !refill())
            return;
    }
}

void scan_stream::skip_blanks()
{
    for (;;) {
        while (pos_ != end_ && *pos_ != '\n' && is_white_space(static_cast<unsigned char>(*pos_)))
            ++pos_;
        if (pos_ != end_ || !refill())
            return;
    }
}

template <class Number, class Value>
bool scan_stream::scan_into(Value& target, number_form form)
{
    number_source in(*this);
    Number number;
    if (scan_number(in, number, form) == scanned::none)
        return false;
    target = number.value();
    return true;
}

bool scan_stream::read_int(int& target)
{
    skip_whitespace();
    return scan_into<int_digits>(target, number_form::integer);
}

bool scan_stream::read_double(double& target)
{
    skip_whitespace();
    if (end_ - pos_ >= short_decimal_window) {
        if (const char* after = parse_short_decimal(pos_, target)) {
            pos_ = after;
            return true;
        }
    }
    return read_double_general(target);
}

bool scan_stream::read_double_general(double& target)
{
    return scan_into<decimal_accumulator>(target, number_form::decimal);
}

int scan_stream::read_number_fields(double* const* targets, int count, char stop, long long* stops)
{
    const char* p = pos_;
    int done = 0;
    while (done < count && end_ - p >= short_decimal_window) {
        double value;
        const char* after = parse_short_decimal(p, value);
        if (after == nullptr || *after != stop)
            break;
        if (stops != nullptr)
            stops[done] = base_offset_ + (after - base_);
        *targets[done++] = value;
        p = after + 1;
    }
    pos_ = p;
    return done;
}

long long scan_stream::skip_to(char stop, long long limit)
{
    long long count = 0;
    while (count < limit) {
        if (pos_ == end_ && !refill())
            return -1;
        long long window = end_ - pos_;
        if (window > limit - count)
            window = limit - count;
        const void* found = std::memchr(pos_, stop, static_cast<std::size_t>(window));
        if (found != nullptr) {
            const char* at = static_cast<const char*>(found);
            count += (at - pos_) + 1;
            pos_ = at + 1;
            return count;
        }
        count += window;
        pos_ += window;
    }
    return -1;
}

long long scan_stream::find_line_starting_with(char c, long long limit)
{
    const long long line_feeds_end = offset() + limit;
    for (;;) {
        if (pos_ == end_ && !refill())
            return -1;
        const long long window = std::min<long long>(end_ - pos_, line_feeds_end - offset());
        if (window <= 0)
            return -1;
        const void* found = std::memchr(pos_, '\n', static_cast<std::size_t>(window));
        if (found == nullptr) {
            pos_ += window;
            continue;
        }
        pos_ = static_cast<const char*>(found) + 1;
        // Most lines begin at once with something else: one look decides.
        if (pos_ != end_ && *pos_ != c && static_cast<unsigned char>(*pos_) > ' ')
            continue;
        skip_blanks();
        if (peek() == static_cast<unsigned char>(c))
            return offset();
    }
}

int scan_stream::read_field_general(char* buffer, int capacity, char stop, bool& stopped)
{
    int stored = 0;
    for (;;) {
        if (pos_ == end_ && !refill()) {
            stopped = false;
            return stored;
        }
        const std::size_t window = static_cast<std::size_t>(end_ - pos_);
        const void* found = std::memchr(pos_, stop, window);
        const char* field_end = found != nullptr ? static_cast<const char*>(found) : end_;
        std::ptrdiff_t length = field_end - pos_;
        if (length > capacity - stored)
            length = capacity - stored;
        std::memcpy(buffer + stored, pos_, static_cast<std::size_t>(length));
        stored += static_cast<int>(length);
        if (found != nullptr) {
            pos_ = field_end + 1;
            return stored;
        }
        pos_ = end_;
    }
}

} // namespace tarnvel
