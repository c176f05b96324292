// The buffered character source and its conversions.
#include "input/scan_stream.h"

#include <cstdint>
#include <cstring>

#include "input/decimal_parse.h"

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
scan_stream::scan_stream(std::FILE* file, std::size_t buffer_size)
    : file_(file), buffer_(new char[buffer_size < 16 ? 16 : buffer_size]),
      buffer_size_(buffer_size < 16 ? 16 : buffer_size), pos_(buffer_), end_(buffer_),
      at_end_(false)
{
    // This stream does all the buffering; the FILE's own would only copy twice.
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

scan_stream::scan_stream(const char* data, std::size_t size)
    : file_(nullptr), buffer_(nullptr), buffer_size_(0), pos_(data), end_(data + size),
      at_end_(true)
{
}

scan_stream::~scan_stream()
{
    delete[] buffer_;
}

bool scan_stream::fill_at_least(long count)
{
    if (at_end_)
        return end_ - pos_ >= count;
    const std::size_t kept = static_cast<std::size_t>(end_ - pos_);
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
    const long long limit = 2147483648LL; // |INT_MIN|
    long long magnitude = 0;
    for (int c = peek(0); is_digit(c); c = peek(0)) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (c - '0');
        ++pos_;
    }
    if (negative)
        target = magnitude >= limit ? -2147483647 - 1 : static_cast<int>(-magnitude);
    else
        target = magnitude >= limit ? 2147483647 : static_cast<int>(magnitude);
    return true;
}

namespace {

// The digits of a number as they are read: up to 19 of them in an integer,
// more as text (significant digits only, at most max_significant_digits, the
// rest only noted as non-zero or not). The number is digits * 10^exponent.
struct decimal_accumulator {
    std::uint64_t head = 0;
    int count = 0; // digits in `head` (leading zeros included), or in `digits`
    bool spilled = false;
    bool truncated = false;
    long long exponent = 0;
    char digits[max_significant_digits];

    // Moves the integer's digits into `digits`, without leading zeros.
    void spill()
    {
        char reversed[20];
        int n = 0;
        for (std::uint64_t rest = head; rest != 0; rest /= 10)
            reversed[n++] = static_cast<char>('0' + rest % 10);
        for (count = 0; n > 0;)
            digits[count++] = reversed[--n];
        spilled = true;
    }

    void take(unsigned digit, bool fraction)
    {
        if (!spilled) {
            if (count < 19) {
                head = head * 10 + digit;
                ++count;
                exponent -= fraction;
                return;
            }
            spill();
        }
        if (count < max_significant_digits) {
            if (count != 0 || digit != 0)
                digits[count++] = static_cast<char>('0' + digit);
            exponent -= fraction;
        } else {
            truncated |= digit != 0;
            exponent += !fraction;
        }
    }

    double value(bool negative) const
    {
        return spilled ? decimal_to_double(digits, count, truncated, exponent, negative)
                       : decimal_to_double(head, exponent, negative);
    }
};

} // namespace

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
                if (written < 1000000000000LL)
                    written = written * 10 + (c - '0');
                ++pos_;
            }
            number.exponent += after_e == '-' ? -written : written;
        }
    }
    target = number.value(first == '-');
    return true;
}

long scan_stream::skip_to(char stop, long limit)
{
    long count = 0;
    while (count < limit) {
        if (pos_ == end_ && !refill())
            return -1;
        long window = end_ - pos_;
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

int scan_stream::read_field_general(char* buffer, int capacity, char stop)
{
    int stored = 0;
    for (;;) {
        if (pos_ == end_ && !refill())
            return stored;
        const std::size_t window = static_cast<std::size_t>(end_ - pos_);
        const void* found = std::memchr(pos_, stop, window);
        const char* field_end = found != nullptr ? static_cast<const char*>(found) : end_;
        long length = field_end - pos_;
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
