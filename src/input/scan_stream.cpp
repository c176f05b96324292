// The buffered character source and its conversions.
#include "input/scan_stream.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "decimal/parse.h"

namespace {

bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

bool is_space(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

// The default buffer is large enough that a catalogue of a hundred megabytes
// takes a few hundred reads, and small enough to stay a minor part of the
// program's memory.
scan_stream::scan_stream(std::FILE* file, std::size_t buffer_size, long long offset)
    : file_(file), buffer_(nullptr),
      buffer_size_(buffer_size < min_buffer_size ? min_buffer_size : buffer_size),
      base_(nullptr), base_offset_(offset), pos_(nullptr), end_(nullptr), at_end_(true)
{
    buffer_ = new (std::nothrow) char[buffer_size_];
    base_ = pos_ = end_ = buffer_;
    if (buffer_ == nullptr)
        return;
    at_end_ = false;
    // This stream does all the buffering; the FILE's own would only copy twice.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    refill();
}

scan_stream::scan_stream(const char* data, std::size_t size, long long offset)
    : file_(nullptr), buffer_(nullptr), buffer_size_(0), base_(data), base_offset_(offset),
      pos_(data), end_(data + size), at_end_(true)
{
}

scan_stream::~scan_stream()
{
    delete[] buffer_;
}

bool scan_stream::fill_at_least(std::ptrdiff_t count)
{
    if (at_end_)
        return end_ - pos_ >= count;
    const std::size_t kept = static_cast<std::size_t>(end_ - pos_);
    base_offset_ += pos_ - buffer_;
    if (kept != 0 && pos_ != buffer_)
        std::memmove(buffer_, pos_, kept);
    pos_ = buffer_;
    end_ = buffer_ + kept;
    while (end_ - pos_ < count) {
        const std::size_t room = buffer_size_ - static_cast<std::size_t>(end_ - buffer_);
        const std::size_t got = std::fread(buffer_ + (end_ - buffer_), 1, room, file_);
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
        while (pos_ != end_ && is_space(static_cast<unsigned char>(*pos_)))
            ++pos_;
        if (pos_ != end_ || !refill())
            return;
    }
}

bool scan_stream::read_int(int& target)
{
    skip_whitespace();
    int sign_length = 0;
    const int first = peek(0);
    if (first == '+' || first == '-')
        sign_length = 1;
    if (!is_digit(peek(sign_length)))
        return false;
    pos_ += sign_length;
    const bool negative = first == '-';
    constexpr int highest = std::numeric_limits<int>::max();
    constexpr int lowest = std::numeric_limits<int>::min();
    const long long limit = -static_cast<long long>(lowest); // beyond every int's magnitude
    long long magnitude = 0;
    for (int c = peek(0); is_digit(c); c = peek(0)) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (c - '0');
        ++pos_;
    }
    if (negative)
        target = magnitude >= limit ? lowest : static_cast<int>(-magnitude);
    else
        target = magnitude >= limit ? highest : static_cast<int>(magnitude);
    return true;
}

// Takes the run of digits at the stream's position into `number`.
template <typename Accumulator>
void scan_stream::read_digits(Accumulator& number, bool fraction)
{
    for (;;) {
        const char* p = pos_;
        const char* const e = end_;
        while (p != e) {
            const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
            if (digit > 9)
                break;
            number.take(digit, fraction);
            ++p;
        }
        pos_ = p;
        if (p != e || !refill())
            return;
    }
}

bool scan_stream::read_double_general(double& target)
{
    // Written exponents beyond this are kept at it: far past every double's
    // range, and far from overflowing.
    constexpr long long exponent_limit = 1000000000000LL;
    int sign_length = 0;
    const int first = peek(0);
    if (first == '+' || first == '-')
        sign_length = 1;
    const int lead = peek(sign_length);
    if (!is_digit(lead) && !(lead == '.' && is_digit(peek(sign_length + 1))))
        return false;
    pos_ += sign_length;

    decimal_accumulator number;
    read_digits(number, false);
    if (peek(0) == '.') {
        ++pos_;
        read_digits(number, true);
    }
    const int mark = peek(0);
    if (mark == 'e' || mark == 'E') {
        int exponent_sign_length = 0;
        const int after_e = peek(1);
        if (after_e == '+' || after_e == '-')
            exponent_sign_length = 1;
        if (is_digit(peek(1 + exponent_sign_length))) {
            pos_ += 1 + exponent_sign_length;
            long long written = 0;
            for (int c = peek(0); is_digit(c); c = peek(0)) {
                if (written < exponent_limit)
                    written = written * 10 + (c - '0');
                ++pos_;
            }
            number.scale(after_e == '-' ? -written : written);
        }
    }
    target = number.value(first == '-');
    return true;
}

std::ptrdiff_t scan_stream::skip_to(char stop, std::ptrdiff_t limit)
{
    std::ptrdiff_t count = 0;
    while (count < limit) {
        if (pos_ == end_ && !refill())
            return -1;
        std::ptrdiff_t window = end_ - pos_;
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
